// Character formatting: the words that set a group's character properties, and the
// QTextCharFormat those properties give a run.
#include "body/rtf/rtf_interpreter_state.h"

namespace parcelo::rtf {

void Interpreter::characterFormatWord(Group& g, const Word& word) {
    CharProps& chars = g.chars;
    const bool on = word.on;
    switch (word.kw) {
        case Kw::Plain: {
            const int link = chars.link;
            chars = CharProps{};
            chars.link = link;
            return;
        }
        case Kw::Bold:
            chars.bold = on;
            return;
        case Kw::Italic:
            chars.italic = on;
            return;
        case Kw::Underline:
            chars.underline = on ? word.arg : QTextCharFormat::NoUnderline;
            return;
        case Kw::UnderlineNone:
            chars.underline = QTextCharFormat::NoUnderline;
            return;
        case Kw::Strike:
            chars.strike = on;
            return;
        case Kw::Font:
            chars.font = word.param;
            return;
        case Kw::FontSize:
            chars.halfPoints = word.param > 0 ? std::min(word.param, 3276) : 24;
            return;
        case Kw::Foreground:
            chars.foreground = word.param;
            return;
        case Kw::Background:
            chars.background = word.param;
            return;
        case Kw::Super:
            chars.vertical = on ? 1 : 0;
            return;
        case Kw::Sub:
            chars.vertical = on ? -1 : 0;
            return;
        case Kw::NoSuperSub:
            chars.vertical = 0;
            return;
        case Kw::Hidden:
            chars.hidden = on;
            return;
        case Kw::Caps:
            chars.caps = on ? 1 : 0;
            return;
        case Kw::SmallCaps:
            chars.caps = on ? 2 : 0;
            return;
        default:
            return;
    }
}

QTextCharFormat Interpreter::formatFor(const CharProps& props) {
    if (formatCached_ && props == cachedProps_)
        return cachedFormat_;
    QTextCharFormat format;
    if (const Font* font = fontAt(props.font >= 0 ? props.font : defaultFont_)) {
        if (!font->name.isEmpty())
            format.setFontFamilies({font->name});
        if (font->hint != QFont::AnyStyle)
            format.setFontStyleHint(font->hint);
    }
    format.setFontPointSize(props.halfPoints / 2.0);
    if (props.bold)
        format.setFontWeight(QFont::Bold);
    if (props.italic)
        format.setFontItalic(true);
    if (props.underline != QTextCharFormat::NoUnderline)
        format.setUnderlineStyle(static_cast<QTextCharFormat::UnderlineStyle>(props.underline));
    if (props.strike)
        format.setFontStrikeOut(true);
    if (props.vertical != 0)
        format.setVerticalAlignment(props.vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                       : QTextCharFormat::AlignSubScript);
    if (props.caps != 0)
        format.setFontCapitalization(props.caps == 1 ? QFont::AllUppercase : QFont::SmallCaps);
    const QColor foreground = colorAt(props.foreground);
    if (foreground.isValid())
        format.setForeground(foreground);
    const QColor background = colorAt(props.background);
    if (background.isValid())
        format.setBackground(background);
    if (props.link >= 0 && props.link < static_cast<int>(links_.size())) {
        format.setAnchor(true);
        format.setAnchorHref(links_[props.link]);
        // A link must look like one even when the body gives it no colour of its own.
        if (!foreground.isValid())
            format.setForeground(QColor(0x05, 0x63, 0xC1));
        if (props.underline == QTextCharFormat::NoUnderline)
            format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    }
    formatCached_ = true;
    cachedProps_ = props;
    cachedFormat_ = format;
    return format;
}

}  // namespace parcelo::rtf
