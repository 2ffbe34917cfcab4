// Destinations as a whole: those skipped or read through, and the font and colour tables that
// the rest of the body refers to by number.
#include "body/rtf/rtf_interpreter_state.h"

namespace parcelo::rtf {

void Interpreter::destinationWord(Group& g, const Word& word) {
    switch (word.kw) {
        case Kw::FontTable:
            g.dest = Dest::FontTable;
            return;
        case Kw::ColorTable:
            g.dest = Dest::ColorTable;
            colors_.clear();
            red_ = green_ = blue_ = -1;
            return;
        case Kw::SkipDest:
            g.dest = Dest::Skip;
            return;
        case Kw::DefaultFont:
            defaultFont_ = word.param;
            return;
        default:
            return;  // the words of the tables themselves are read by their readers
    }
}

void Interpreter::fontTableWord(const Word& word) {
    switch (word.kw) {
        case Kw::Font:
            finishFontName();
            fontEntry_ = word.param;
            fonts_[word.param];
            return;
        case Kw::FontCharset:
            if (fontEntry_ >= 0)
                fonts_[fontEntry_].charset = word.param;
            return;
        case Kw::FontCodePage:
            if (fontEntry_ >= 0 && word.param > 0 && word.param < 100000)
                fonts_[fontEntry_].codePage = static_cast<uint32_t>(word.param);
            return;
        case Kw::FontFamily:
            if (fontEntry_ >= 0)
                fonts_[fontEntry_].hint = static_cast<QFont::StyleHint>(word.arg);
            return;
        default:
            return;
    }
}

// Font names end with a semicolon.
void Interpreter::fontTableText(std::string_view bytes) {
    while (!bytes.empty()) {
        const size_t semicolon = bytes.find(';');
        addBytes(bytes.substr(0, semicolon));
        if (semicolon == std::string_view::npos)
            break;
        flushPending();
        finishFontName();
        bytes.remove_prefix(semicolon + 1);
    }
}

void Interpreter::finishFontName() {
    if (fontEntry_ < 0)
        return;
    flushPending();
    Font& font = fonts_[fontEntry_];
    const QString name = fontName_.trimmed();
    if (!name.isEmpty() && font.name.isEmpty())
        font.name = name;
    fontName_.clear();
    fontEntry_ = -1;
}

void Interpreter::colorTableWord(const Word& word) {
    switch (word.kw) {
        case Kw::Red:
            red_ = std::clamp(word.param, 0, 255);
            return;
        case Kw::Green:
            green_ = std::clamp(word.param, 0, 255);
            return;
        case Kw::Blue:
            blue_ = std::clamp(word.param, 0, 255);
            return;
        default:
            return;
    }
}

// Each colour ends with a semicolon; one without any component is the "auto" colour.
void Interpreter::colorTableText(std::string_view bytes) {
    for (char c : bytes) {
        if (c != ';')
            continue;
        colors_.push_back(red_ < 0 && green_ < 0 && blue_ < 0
                              ? QColor()
                              : QColor(std::max(red_, 0), std::max(green_, 0), std::max(blue_, 0)));
        red_ = green_ = blue_ = -1;
    }
}

}  // namespace parcelo::rtf
