// Bytes to characters: the code page of the current font (or the document's), symbol fonts,
// \u with its fallback bytes, and the characters that RTF names by word.
#include "body/rtf/rtf_interpreter_state.h"

namespace parcelo::rtf {

void Interpreter::textDecodingWord(Group& g, const Word& word) {
    switch (word.kw) {
        case Kw::Char:
            emitChar(static_cast<char16_t>(word.arg));
            return;
        case Kw::Unicode: {
            // \u takes a signed 16-bit number; anything outside that is not a character.
            const int param = word.param;
            const char16_t c = param < -32768 || param > 65535
                                   ? u'\uFFFD'
                                   : static_cast<char16_t>(param < 0 ? param + 65536 : param);
            const Encoding e = encoding();
            emitChar(e.symbol != SymbolFont::None ? SymbolFontChar(e.symbol, c) : c);
            skip_ = g.uc;
            skippedLead_ = false;
            return;
        }
        case Kw::UnicodeSkip:
            g.uc = static_cast<uint8_t>(std::clamp(word.param, 0, 16));
            return;
        case Kw::CodePage:
            ansiCodePage_ = static_cast<uint32_t>(word.arg);
            return;
        case Kw::AnsiCodePage:
            if (word.param > 0 && word.param < 100000)
                ansiCodePage_ = static_cast<uint32_t>(word.param);
            return;
        default:
            return;
    }
}

void Interpreter::addBytes(std::string_view bytes) {
    if (bytes.empty())
        return;
    const Encoding e = encoding();
    if (!pending_.empty() &&
        (e.codePage != pendingEncoding_.codePage || e.symbol != pendingEncoding_.symbol)) {
        flushPending();
    }
    // Most text is ASCII in a plain font and goes straight to the run.
    if (pending_.empty() && e.symbol == SymbolFont::None && !html() && state().dest == Dest::Text &&
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; })) {
        if (!state().chars.hidden) {
            const CharProps& props = state().chars;
            if (!runText_.isEmpty() && !(props == runProps_))
                flushRun();
            if (runText_.isEmpty())
                runProps_ = props;
            runText_.append(QLatin1StringView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        }
        return;
    }
    pendingEncoding_ = e;
    pending_.append(bytes);
}

// One byte of a \u character's fallback. Word counts a double-byte fallback character as two
// bytes (\uc2), other writers as one (\uc1); either way its trail byte goes with its lead.
void Interpreter::skipByte(uint8_t byte) {
    --skip_;
    if (skippedLead_) {
        skippedLead_ = false;
        return;
    }
    if (byte >= 0x80 && IsLeadByte(encoding().codePage, byte)) {
        skippedLead_ = true;
        if (skip_ == 0)
            skip_ = 1;
    }
}

void Interpreter::decodePending() {
    decoded_.clear();
    if (pendingEncoding_.symbol != SymbolFont::None) {
        for (char c : pending_)
            decoded_ += QChar(SymbolFontChar(pendingEncoding_.symbol, static_cast<uint8_t>(c)));
    } else {
        decoder_.append(pending_, pendingEncoding_.codePage, decoded_);
    }
    pending_.clear();
    emitText(decoded_);
}

Interpreter::Encoding Interpreter::encoding() {
    const Group& g = state();
    const int index = g.dest == Dest::FontTable ? fontEntry_ : g.chars.font;
    const Font* font = fontAt(g.dest == Dest::FontTable || index >= 0 ? index : defaultFont_);
    if (font == nullptr)
        return {ansiCodePage_, SymbolFont::None};
    // A field's instruction is words and numbers, whatever font the field shows in.
    if (font->charset == 2 && g.dest != Dest::FontTable && g.dest != Dest::FieldInstruction)
        return {ansiCodePage_, SymbolFontNamed(font->name)};
    if (font->codePage != 0)
        return {font->codePage, SymbolFont::None};
    return {CodePageOfCharset(font->charset, ansiCodePage_), SymbolFont::None};
}

}  // namespace parcelo::rtf
