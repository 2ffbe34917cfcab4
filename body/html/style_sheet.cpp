#include "body/html/style_sheet.h"

#include <algorithm>

namespace parcelo {

namespace {

bool isIdentifierChar(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c.unicode() >= 0x80;
}

// Where the string that starts with the quote at `i` ends (just past its closing quote).
qsizetype stringEnd(QStringView css, qsizetype i) {
    const qsizetype close = css.indexOf(css[i], i + 1);
    return close < 0 ? css.size() : close + 1;
}

// Just past the '}' that closes the block whose '{' is at `open`, strings and nested blocks
// skipped.
qsizetype blockEnd(QStringView css, qsizetype open) {
    int depth = 0;
    for (qsizetype i = open; i < css.size(); ++i) {
        const QChar c = css[i];
        if (c == u'"' || c == u'\'') {
            i = stringEnd(css, i) - 1;
        } else if (c == u'{') {
            ++depth;
        } else if (c == u'}' && --depth == 0) {
            return i + 1;
        }
    }
    return css.size();
}

// The first of `stops` at or after `from` outside strings, or the end.
qsizetype findOutsideStrings(QStringView css, qsizetype from, QStringView stops) {
    for (qsizetype i = from; i < css.size(); ++i) {
        if (css[i] == u'"' || css[i] == u'\'')
            i = stringEnd(css, i) - 1;
        else if (stops.contains(css[i]))
            return i;
    }
    return css.size();
}

QString identifier(QStringView text, qsizetype& i) {
    const qsizetype start = i;
    while (i < text.size() && isIdentifierChar(text[i]))
        ++i;
    return text.mid(start, i - start).toString().toLower();
}

}  // namespace

void StyleSheet::add(QStringView text) {
    const QString plain = WithoutCssComments(text);
    const QStringView css(plain);
    qsizetype i = 0;
    while (i < css.size()) {
        if (css[i].isSpace()) {
            ++i;
        } else if (css.mid(i).startsWith(u"<!--")) {
            i += 4;
        } else if (css.mid(i).startsWith(u"-->")) {
            i += 3;
        } else if (css[i] == u'@') {
            // An at-rule ends at its ';' or with its block.
            const qsizetype stop = findOutsideStrings(css, i, u";{");
            i = stop < css.size() && css[stop] == u'{' ? blockEnd(css, stop) : stop + 1;
        } else {
            const qsizetype open = findOutsideStrings(css, i, u"{");
            if (open >= css.size())
                break;
            const qsizetype end = blockEnd(css, open);
            // A block cut off by the end of the sheet ends there, as in a browser.
            const qsizetype close = css[end - 1] == u'}' ? end - 1 : end;
            addRule(css.mid(i, open - i), css.mid(open + 1, close - open - 1));
            i = end;
        }
    }
}

void StyleSheet::addRule(QStringView prelude, QStringView block) {
    std::vector<Selector> selectors;
    if (!parseSelectorList(prelude, selectors))
        return;
    CssDeclarations declarations = SafeCssDeclarations(block);
    if (declarations.empty())
        return;
    const int blockIndex = static_cast<int>(blocks_.size());
    blocks_.push_back(std::move(declarations));
    for (Selector& selector : selectors) {
        selector.block = blockIndex;
        const int index = static_cast<int>(selectors_.size());
        const Compound& subject = selector.compounds.back();
        if (subject.never)
            continue;
        if (!subject.id.isEmpty())
            byId_[subject.id].push_back(index);
        else if (!subject.classes.isEmpty())
            byClass_[subject.classes.first()].push_back(index);
        else if (!subject.name.isEmpty())
            byName_[subject.name].push_back(index);
        else
            universal_.push_back(index);
        hasCombinators_ = hasCombinators_ || selector.compounds.size() > 1;
        selectors_.push_back(std::move(selector));
    }
}

// Reads "p.MsoNormal, li.MsoNormal" or "table td > p"; false when any selector of the list
// cannot be read, which makes a browser drop the whole rule.
bool StyleSheet::parseSelectorList(QStringView prelude, std::vector<Selector>& out) const {
    qsizetype i = 0;
    const qsizetype n = prelude.size();
    for (;;) {
        Selector selector;
        int ids = 0;
        int classes = 0;
        int names = 0;
        for (;;) {
            while (i < n && prelude[i].isSpace())
                ++i;
            Compound compound;
            bool empty = true;
            if (i < n && prelude[i] == u'*') {
                ++i;
                empty = false;
            } else if (i < n && isIdentifierChar(prelude[i]) && !prelude[i].isDigit()) {
                compound.name = identifier(prelude, i);
                ++names;
                empty = false;
            }
            while (i < n) {
                const QChar c = prelude[i];
                if (c == u'.' || c == u'#') {
                    ++i;
                    const QString name = identifier(prelude, i);
                    if (name.isEmpty())
                        return false;
                    if (c == u'.') {
                        compound.classes << name;
                        ++classes;
                    } else {
                        compound.id = name;
                        ++ids;
                    }
                } else if (c == u':') {
                    ++i;
                    if (i < n && prelude[i] == u':')
                        ++i;
                    const QString name = identifier(prelude, i);
                    if (name.isEmpty())
                        return false;
                    if (i < n && prelude[i] == u'(') {
                        const qsizetype close = prelude.indexOf(u')', i);
                        if (close < 0)
                            return false;
                        i = close + 1;
                    }
                    // Of the states, a static page shows only links not yet visited.
                    if (name == u"link")
                        compound.link = true;
                    else
                        compound.never = true;
                    ++classes;
                } else if (c == u'[') {
                    const qsizetype close = prelude.indexOf(u']', i);
                    if (close < 0)
                        return false;
                    i = close + 1;
                    compound.never = true;
                    ++classes;
                } else {
                    break;
                }
                empty = false;
            }
            if (empty)
                return false;
            selector.compounds.push_back(std::move(compound));
            const qsizetype afterCompound = i;
            while (i < n && prelude[i].isSpace())
                ++i;
            if (i >= n || prelude[i] == u',')
                break;
            if (prelude[i] == u'>') {
                ++i;
                selector.childOf.push_back(true);
            } else if (prelude[i] == u'+' || prelude[i] == u'~') {
                // Siblings are not tracked: the selector stays valid but matches nothing.
                ++i;
                selector.childOf.push_back(false);
                selector.compounds.back().never = true;
            } else if (i > afterCompound) {
                selector.childOf.push_back(false);
            } else {
                return false;
            }
        }
        selector.specificity = ids * 10000 + classes * 100 + names;
        out.push_back(std::move(selector));
        if (i >= n)
            return true;
        ++i;  // the ','
    }
}

namespace {

bool matchesCompound(const auto& compound, const CssElement& element) {
    if (compound.never || (compound.link && !element.isLink))
        return false;
    if (!compound.name.isEmpty() && compound.name != element.name)
        return false;
    if (!compound.id.isEmpty() && compound.id != element.id)
        return false;
    return std::all_of(compound.classes.begin(), compound.classes.end(),
                       [&](const QString& name) { return element.classes.contains(name); });
}

}  // namespace

// From the subject outwards; a descendant step takes the nearest ancestor that fits, which
// is exact for the selectors mail carries and keeps the cost to one walk up the path.
bool StyleSheet::matches(const Selector& selector, const std::vector<CssElement>& path) const {
    qsizetype at = static_cast<qsizetype>(path.size()) - 1;
    qsizetype compound = static_cast<qsizetype>(selector.compounds.size()) - 1;
    if (at < 0 || !matchesCompound(selector.compounds[compound], path[at]))
        return false;
    while (compound > 0) {
        const bool child = selector.childOf[compound - 1];
        --compound;
        --at;
        if (child) {
            if (at < 0 || !matchesCompound(selector.compounds[compound], path[at]))
                return false;
            continue;
        }
        while (at >= 0 && !matchesCompound(selector.compounds[compound], path[at]))
            --at;
        if (at < 0)
            return false;
    }
    return true;
}

void StyleSheet::match(const std::vector<CssElement>& path, CssDeclarations& out) const {
    if (path.empty() || selectors_.empty())
        return;
    const CssElement& element = path.back();
    std::vector<int> candidates;
    const auto take = [&](const std::vector<int>& indices) {
        candidates.insert(candidates.end(), indices.begin(), indices.end());
    };
    if (!element.id.isEmpty())
        if (const auto it = byId_.constFind(element.id); it != byId_.constEnd())
            take(*it);
    for (const QString& name : element.classes)
        if (const auto it = byClass_.constFind(name); it != byClass_.constEnd())
            take(*it);
    if (const auto it = byName_.constFind(element.name); it != byName_.constEnd())
        take(*it);
    take(universal_);
    if (candidates.empty())
        return;
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    std::erase_if(candidates, [&](int index) { return !matches(selectors_[index], path); });
    // Selectors are numbered in the order of the sheet: a stable sort by specificity gives
    // the cascade.
    std::stable_sort(candidates.begin(), candidates.end(), [&](int a, int b) {
        return selectors_[a].specificity < selectors_[b].specificity;
    });
    for (int index : candidates) {
        const CssDeclarations& block = blocks_[selectors_[index].block];
        out.insert(out.end(), block.begin(), block.end());
    }
}

}  // namespace parcelo
