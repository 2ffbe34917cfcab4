// Fields: the instruction of each open field, the hyperlinks that HYPERLINK fields make of
// their results, and the characters of SYMBOL fields.
#include "body/rtf/rtf_interpreter_state.h"

namespace parcelo::rtf {

namespace {

// The words of a field instruction; a quoted string is one word.
std::vector<QString> fieldWords(QStringView instruction) {
    std::vector<QString> words;
    qsizetype i = 0;
    while (i < instruction.size()) {
        while (i < instruction.size() && instruction[i].isSpace())
            ++i;
        if (i >= instruction.size())
            break;
        QString word;
        if (instruction[i] == u'"') {
            ++i;
            while (i < instruction.size() && instruction[i] != u'"') {
                // Field codes double the backslashes of paths.
                if (instruction[i] == u'\\' && i + 1 < instruction.size() &&
                    instruction[i + 1] == u'\\')
                    ++i;
                word += instruction[i++];
            }
            ++i;
        } else {
            while (i < instruction.size() && !instruction[i].isSpace())
                word += instruction[i++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

bool isField(const std::vector<QString>& words, QStringView name) {
    return !words.empty() && words[0].compare(name, Qt::CaseInsensitive) == 0;
}

// A switch word such as \f, in either case.
bool isSwitch(const QString& word, char16_t option) {
    return word.size() == 2 && word[0] == u'\\' && word[1].toLower() == QChar(option);
}

// The target of a HYPERLINK field, with a \l bookmark as its fragment.
QString hyperlinkTarget(const std::vector<QString>& words) {
    if (!isField(words, u"HYPERLINK"))
        return {};
    QString url;
    QString bookmark;
    for (size_t w = 1; w < words.size(); ++w) {
        const QString& word = words[w];
        if (word.size() == 2 && word[0] == u'\\') {
            if (isSwitch(word, u'l') && w + 1 < words.size())
                bookmark = words[++w];
            // \o (tooltip) and \t (target frame) take an argument that is not the target.
            else if ((isSwitch(word, u'o') || isSwitch(word, u't')) && w + 1 < words.size())
                ++w;
            continue;
        }
        if (url.isEmpty())
            url = word;
    }
    if (!bookmark.isEmpty())
        url += u'#' + bookmark;
    return url;
}

}  // namespace

void Interpreter::fieldWord(Group& g, const Word& word) {
    switch (word.kw) {
        case Kw::Field:
            if (fields_.empty() || fields_.back().depth != depth())
                fields_.push_back({depth(), {}});
            else
                fields_.back() = {depth(), {}};
            return;
        case Kw::FieldInst:
            g.dest = (html() || fields_.empty()) ? Dest::Skip : Dest::FieldInstruction;
            return;
        case Kw::FieldResult:
            if (!html() && g.dest == Dest::Text && !fields_.empty()) {
                fields_.back().resultSeen = true;
                const std::vector<QString> words = fieldWords(fields_.back().instruction);
                const QString target = hyperlinkTarget(words);
                if (!target.isEmpty()) {
                    g.chars.link = addLink(target);
                } else if (QString symbol; symbolField(words, g.chars, symbol)) {
                    // The result is Word's rendering of the same character, often in a font
                    // that is not installed here.
                    emitText(symbol);
                    g.dest = Dest::Skip;
                }
            }
            return;
        default:
            return;
    }
}

// A SYMBOL field whose result is missing shows its character all the same.
void Interpreter::endField(const Field& field) {
    if (html() || field.resultSeen || state().dest != Dest::Text)
        return;
    CharProps& chars = state().chars;
    const CharProps saved = chars;
    if (QString symbol; symbolField(fieldWords(field.instruction), chars, symbol))
        emitText(symbol);
    chars = saved;
}

// The character of a SYMBOL field ("SYMBOL 183 \f "Symbol" \s 10"): its code is decimal or
// hexadecimal, read as a character of the field's font (or of the \f font), as Unicode with
// \u, or as Shift-JIS with \j; \s gives its size in points. Gives false for other fields.
bool Interpreter::symbolField(const std::vector<QString>& words, CharProps& props, QString& text) {
    if (!isField(words, u"SYMBOL") || words.size() < 2)
        return false;
    const QString& number = words[1];
    bool ok = false;
    const uint32_t code = number.startsWith(u"0x", Qt::CaseInsensitive)
                              ? number.mid(2).toUInt(&ok, 16)
                              : number.toUInt(&ok, 10);
    if (!ok || code == 0 || code > 0x10FFFF)
        return false;
    enum class Reading { Font, Unicode, ShiftJis } reading = Reading::Font;
    QString fontName;
    int points = 0;
    for (size_t w = 2; w < words.size(); ++w) {
        if (isSwitch(words[w], u'f') && w + 1 < words.size())
            fontName = words[++w];
        else if (isSwitch(words[w], u's') && w + 1 < words.size())
            points = words[++w].toInt();
        else if (isSwitch(words[w], u'u'))
            reading = Reading::Unicode;
        else if (isSwitch(words[w], u'j'))
            reading = Reading::ShiftJis;
    }

    int fontIndex = props.font >= 0 ? props.font : defaultFont_;
    SymbolFont symbol = SymbolFont::None;
    if (!fontName.isEmpty()) {
        fontIndex = -1;
        for (const auto& [index, font] : fonts_) {
            if (font.name.compare(fontName, Qt::CaseInsensitive) == 0) {
                fontIndex = index;
                break;
            }
        }
        if (fontName.contains(u"Symbol", Qt::CaseInsensitive) ||
            fontName.contains(u"Wingdings", Qt::CaseInsensitive) ||
            fontName.contains(u"Webdings", Qt::CaseInsensitive))
            symbol = SymbolFontNamed(fontName);
    }
    uint32_t codePage = ansiCodePage_;
    if (const Font* font = fontAt(fontIndex)) {
        if (font->charset == 2)
            symbol = SymbolFontNamed(font->name);
        codePage =
            font->codePage != 0 ? font->codePage : CodePageOfCharset(font->charset, ansiCodePage_);
    }

    text.clear();
    if (symbol != SymbolFont::None && code <= 0xFFFF && reading != Reading::ShiftJis) {
        text += QChar(SymbolFontChar(symbol, static_cast<char16_t>(code)));
    } else if (reading == Reading::ShiftJis || (reading == Reading::Font && code <= 0xFF)) {
        std::string bytes;
        if (code > 0xFF)
            bytes += static_cast<char>(code >> 8 & 0xFF);
        bytes += static_cast<char>(code & 0xFF);
        decoder_.append(bytes, reading == Reading::ShiftJis ? 932 : codePage, text);
    } else {
        const char32_t c = code;
        text = QString::fromUcs4(&c, 1);
    }
    if (text.isEmpty())
        return false;
    // A glyph without a Unicode counterpart shows only in its own font.
    if (text.size() == 1 && text[0].unicode() >= 0xE000 && text[0].unicode() <= 0xF8FF &&
        fontIndex >= 0)
        props.font = fontIndex;
    if (points > 0)
        props.halfPoints = std::min(points * 2, 3276);
    return true;
}

int Interpreter::addLink(const QString& href) {
    const auto it = linkIndex_.constFind(href);
    if (it != linkIndex_.constEnd())
        return *it;
    links_.push_back(href);
    const int index = static_cast<int>(links_.size()) - 1;
    linkIndex_.insert(href, index);
    return index;
}

}  // namespace parcelo::rtf
