// Lists: the list table's definitions, the override table that numbers them for \ls, the
// older \pn paragraph numbering, and the QTextListFormat a list paragraph gets.
#include "body/rtf/rtf_interpreter_state.h"

namespace parcelo::rtf {

namespace {

QTextListFormat::Style bulletStyleOf(QStringView levelText) {
    for (QChar c : levelText) {
        if (c == u'o')
            return QTextListFormat::ListCircle;
        if (c == u'\u00A7' || c == u'\uF0A7' || c == u'\u25AA' || c == u'\uF06E')
            return QTextListFormat::ListSquare;
    }
    return QTextListFormat::ListDisc;
}

}  // namespace

void Interpreter::listWord(Group& g, const Word& word) {
    switch (word.kw) {
        case Kw::ListTable:
            g.dest = html() ? Dest::Skip : Dest::ListTable;
            return;
        case Kw::ListOverrideTable:
            g.dest = html() ? Dest::Skip : Dest::ListOverrideTable;
            return;
        case Kw::ListLevelText:
            if (g.dest == Dest::ListTable) {
                g.dest = Dest::ListLevelText;
                levelText_.clear();
            } else {
                g.dest = Dest::Skip;
            }
            return;
        case Kw::LegacyList:
            g.dest = html() ? Dest::Skip : Dest::LegacyList;
            return;
        case Kw::ListOverride:
            g.para.listOverride = word.param;
            return;
        case Kw::ListLevel:
            g.para.listLevel = std::clamp(word.param, 0, 8);
            return;
        case Kw::LegacyContinue:
            // Outside a \pn group too, as some writers put it.
            g.para.legacyList = kListContinues;
            return;
        default:
            return;  // the words of the list tables and \pn, read by their readers
    }
}

void Interpreter::listTableWord(const Word& word) {
    switch (word.kw) {
        case Kw::List:
            lists_.emplace_back();
            return;
        case Kw::ListLevelStart:
            if (!lists_.empty() && lists_.back().levels.size() < 9)
                lists_.back().levels.emplace_back();
            return;
        case Kw::LevelNfc:
            if (!lists_.empty() && !lists_.back().levels.empty())
                lists_.back().levels.back().nfc = word.param;
            return;
        case Kw::ListId:
            if (!lists_.empty())
                lists_.back().id = word.param;
            return;
        default:
            return;
    }
}

void Interpreter::listOverrideTableWord(const Word& word) {
    if (word.kw == Kw::ListId)
        overrideListId_ = word.param;
    if (word.kw == Kw::ListOverride)
        listOverrides_[word.param] = overrideListId_;
}

void Interpreter::legacyListWord(Group& g, const Word& word) {
    switch (word.kw) {
        case Kw::LegacyBullet:
            g.para.legacyList = QTextListFormat::ListDisc;
            return;
        case Kw::LegacyBody:
            if (g.para.legacyList >= 0)
                g.para.legacyList = QTextListFormat::ListDecimal;
            return;
        case Kw::LegacyContinue:
            g.para.legacyList = kListContinues;
            return;
        case Kw::LegacyStyle:
            // A continuation names its list's style as well; it still carries no number.
            if (g.para.legacyList != kListContinues)
                g.para.legacyList = static_cast<int8_t>(word.arg);
            return;
        default:
            return;
    }
}

void Interpreter::endListGroup(const Group& popped, Group& parent) {
    if (popped.dest == Dest::LegacyList)
        parent.para.legacyList = popped.para.legacyList;
    if (popped.dest == Dest::ListLevelText && !lists_.empty() && !lists_.back().levels.empty())
        lists_.back().levels.back().text = levelText_;
}

bool Interpreter::listFormatFor(const ParaProps& props, BuiltList& list) {
    if (props.listOverride > 0) {
        QTextListFormat format;
        format.setIndent(props.listLevel + 1);
        format.setStyle(QTextListFormat::ListDisc);
        const auto override = listOverrides_.find(props.listOverride);
        const auto definition =
            override == listOverrides_.end()
                ? lists_.end()
                : std::find_if(lists_.begin(), lists_.end(),
                               [&](const ListDefinition& d) { return d.id == override->second; });
        if (definition != lists_.end() && props.listLevel < int(definition->levels.size())) {
            const ListLevel& level = definition->levels[props.listLevel];
            // The level text is a length, then the number's prefix, placeholders 0..8 for the
            // levels' numbers, and its suffix.
            QStringView text = QStringView(level.text).mid(1);
            if (text.endsWith(u';'))
                text.chop(1);
            switch (level.nfc) {
                case 23:
                    format.setStyle(bulletStyleOf(text));
                    break;
                case 255:
                    return false;  // a list paragraph without a number
                default: {
                    static const std::unordered_map<int, QTextListFormat::Style> kNumbers = {
                        {1, QTextListFormat::ListUpperRoman},
                        {2, QTextListFormat::ListLowerRoman},
                        {3, QTextListFormat::ListUpperAlpha},
                        {4, QTextListFormat::ListLowerAlpha},
                    };
                    const auto style = kNumbers.find(level.nfc);
                    format.setStyle(style == kNumbers.end() ? QTextListFormat::ListDecimal
                                                            : style->second);
                    qsizetype first = -1;
                    qsizetype last = -1;
                    for (qsizetype i = 0; i < text.size(); ++i) {
                        if (text[i].unicode() > 8)
                            continue;
                        if (first < 0)
                            first = i;
                        last = i;
                    }
                    if (first >= 0) {
                        format.setNumberPrefix(text.left(first).toString());
                        format.setNumberSuffix(text.mid(last + 1).toString());
                    }
                    break;
                }
            }
        }
        list.key = static_cast<uint64_t>(static_cast<uint32_t>(props.listOverride)) << 8 |
                   static_cast<uint64_t>(props.listLevel);
        list.format = format;
        return true;
    }
    if (props.legacyList < 0) {
        list.key = 1ull << 63 | legacyListSerial_ << 8 | static_cast<uint8_t>(props.legacyList);
        list.format.setStyle(static_cast<QTextListFormat::Style>(props.legacyList));
        list.format.setIndent(1);
        return true;
    }
    return false;
}

}  // namespace parcelo::rtf
