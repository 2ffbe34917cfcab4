// Splits RTF into groups, control words, control symbols, hex bytes and runs of text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace parcelo {

// The value of a hexadecimal digit, or -1 when `c` is none.
int HexDigitValue(char c);

struct RtfToken {
    enum class Type {
        End,
        GroupStart,
        GroupEnd,
        ControlWord,    // `text` is the word, `param` its number when `hasParam`
        ControlSymbol,  // `symbol` is the character after the backslash
        HexByte,        // \'hh: `byte`
        Text,           // `text` is a run of literal bytes without line breaks
        Binary,         // \binN: `text` is the raw data
    };
    Type type = Type::End;
    std::string_view text;
    int32_t param = 0;
    bool hasParam = false;
    char symbol = 0;
    uint8_t byte = 0;
};

class RtfTokenizer {
  public:
    explicit RtfTokenizer(std::string_view rtf) : rtf_(rtf) {}

    RtfToken next();
    size_t position() const { return pos_; }

    // Words longer than this are not RTF; they are consumed but their name is cut.
    static constexpr size_t kMaxWordLength = 32;

  private:
    RtfToken controlAfterBackslash();

    std::string_view rtf_;
    size_t pos_ = 0;
};

}  // namespace parcelo
