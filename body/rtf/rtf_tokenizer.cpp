#include "body/rtf/rtf_tokenizer.h"

#include <algorithm>
#include <limits>

namespace parcelo {

namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Bytes that end a run of text: everything else is literal. Line breaks are not text in RTF
// and NUL bytes show up in truncated bodies, so both are dropped.
bool endsText(char c) {
    return c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n' || c == 0;
}

}  // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

RtfToken RtfTokenizer::next() {
    RtfToken token;
    while (pos_ < rtf_.size()) {
        const char c = rtf_[pos_];
        switch (c) {
            case '{':
                ++pos_;
                token.type = RtfToken::Type::GroupStart;
                return token;
            case '}':
                ++pos_;
                token.type = RtfToken::Type::GroupEnd;
                return token;
            case '\\':
                ++pos_;
                return controlAfterBackslash();
            case '\r':
            case '\n':
            case 0:
                ++pos_;
                continue;
            default: {
                const size_t start = pos_;
                while (pos_ < rtf_.size() && !endsText(rtf_[pos_]))
                    ++pos_;
                token.type = RtfToken::Type::Text;
                token.text = rtf_.substr(start, pos_ - start);
                return token;
            }
        }
    }
    return token;
}

RtfToken RtfTokenizer::controlAfterBackslash() {
    RtfToken token;
    if (pos_ >= rtf_.size())
        return token;  // a lone backslash at the very end
    const char c = rtf_[pos_];
    if (!isLetter(c)) {
        ++pos_;
        if (c == '\'') {
            const int high = pos_ < rtf_.size() ? HexDigitValue(rtf_[pos_]) : -1;
            const int low = pos_ + 1 < rtf_.size() ? HexDigitValue(rtf_[pos_ + 1]) : -1;
            if (high >= 0 && low >= 0) {
                pos_ += 2;
                token.type = RtfToken::Type::HexByte;
                token.byte = static_cast<uint8_t>(high * 16 + low);
                return token;
            }
            // A broken escape is dropped; an empty run keeps the caller's loop simple.
            token.type = RtfToken::Type::Text;
            return token;
        }
        token.type = RtfToken::Type::ControlSymbol;
        // A backslash before a line break is an old spelling of \par.
        token.symbol = (c == '\r' || c == '\n') ? '\n' : c;
        return token;
    }
    const size_t start = pos_;
    while (pos_ < rtf_.size() && isLetter(rtf_[pos_]))
        ++pos_;
    token.type = RtfToken::Type::ControlWord;
    token.text = rtf_.substr(start, std::min(pos_ - start, kMaxWordLength));
    bool negative = false;
    if (pos_ + 1 < rtf_.size() && rtf_[pos_] == '-' && isDigit(rtf_[pos_ + 1])) {
        negative = true;
        ++pos_;
    }
    if (pos_ < rtf_.size() && isDigit(rtf_[pos_])) {
        // Saturate rather than overflow: absurd numbers are clamped where they are used.
        int64_t value = 0;
        while (pos_ < rtf_.size() && isDigit(rtf_[pos_])) {
            value = std::min<int64_t>(value * 10 + (rtf_[pos_] - '0'),
                                      std::numeric_limits<int32_t>::max());
            ++pos_;
        }
        token.hasParam = true;
        token.param = static_cast<int32_t>(negative ? -value : value);
    }
    if (pos_ < rtf_.size() && rtf_[pos_] == ' ')
        ++pos_;  // the delimiter belongs to the word

    if (token.text == "bin" && token.hasParam) {
        const size_t length = std::min<size_t>(std::max(token.param, 0), rtf_.size() - pos_);
        token.type = RtfToken::Type::Binary;
        token.text = rtf_.substr(pos_, length);
        pos_ += length;
    }
    return token;
}

}  // namespace parcelo
