#include "body/rtf/rtf_tokenizer.h"

#include "body_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parcelo::test {
namespace {

// Tokens written compactly: "{", "}", "\word", "\word=N", "\'hh", "sym:c", "text:...",
// "bin:...".
std::vector<std::string> Tokens(std::string_view rtf) {
    std::vector<std::string> out;
    RtfTokenizer tokenizer(rtf);
    for (RtfToken t = tokenizer.next(); t.type != RtfToken::Type::End; t = tokenizer.next()) {
        switch (t.type) {
            case RtfToken::Type::GroupStart:
                out.push_back("{");
                break;
            case RtfToken::Type::GroupEnd:
                out.push_back("}");
                break;
            case RtfToken::Type::ControlWord:
                out.push_back("\\" + std::string(t.text) +
                              (t.hasParam ? "=" + std::to_string(t.param) : ""));
                break;
            case RtfToken::Type::ControlSymbol:
                out.push_back(std::string("sym:") + t.symbol);
                break;
            case RtfToken::Type::HexByte: {
                char hex[8];
                snprintf(hex, sizeof hex, "\\'%02x", t.byte);
                out.push_back(hex);
                break;
            }
            case RtfToken::Type::Text:
                out.push_back("text:" + std::string(t.text));
                break;
            case RtfToken::Type::Binary:
                out.push_back("bin:" + std::string(t.text));
                break;
            case RtfToken::Type::End:
                break;
        }
    }
    return out;
}

using V = std::vector<std::string>;

struct TokenCase {
    const char* name;
    std::string_view rtf;
    V expected;
};

class TokenizerTest : public testing::TestWithParam<TokenCase> {};

TEST_P(TokenizerTest, SplitsAsExpected) {
    EXPECT_EQ(Tokens(GetParam().rtf), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, TokenizerTest,
    testing::Values(
        TokenCase{"groups_and_words", "{\\rtf1\\ansi x}",
                  V{"{", "\\rtf=1", "\\ansi", "text:x", "}"}},
        TokenCase{"space_delimits_word", "\\b bold", V{"\\b", "text:bold"}},
        TokenCase{"negative_param", "\\fi-360\\li720", V{"\\fi=-360", "\\li=720"}},
        TokenCase{"dash_without_digit_is_text", "\\b-x", V{"\\b", "text:-x"}},
        TokenCase{"huge_param_saturates", "\\fs99999999999 ", V{"\\fs=2147483647"}},
        TokenCase{"huge_negative_saturates", "\\u-99999999999 ", V{"\\u=-2147483647"}},
        TokenCase{"hex_bytes", "\\'e4\\'C3x", V{"\\'e4", "\\'c3", "text:x"}},
        TokenCase{"broken_hex_dropped", "\\'zz", V{"text:", "text:zz"}},
        TokenCase{"hex_cut_off", "\\'e", V{"text:", "text:e"}},
        TokenCase{"symbols", "\\{\\}\\\\\\~\\*", V{"sym:{", "sym:}", "sym:\\", "sym:~", "sym:*"}},
        TokenCase{"line_breaks_are_not_text", "ab\r\ncd\n", V{"text:ab", "text:cd"}},
        TokenCase{"backslash_newline_is_par", "a\\\nb", V{"text:a", "sym:\n", "text:b"}},
        TokenCase{"binary_data", "\\bin3 {}\\x", V{"bin:{}\\", "text:x"}},
        TokenCase{"binary_past_end", "\\bin100 ab", V{"bin:ab"}},
        TokenCase{"lone_backslash_at_end", "a\\", V{"text:a"}},
        TokenCase{"long_word_cut", "\\abcdefghijklmnopqrstuvwxyzabcdefghij1",
                  V{"\\abcdefghijklmnopqrstuvwxyzabcdef=1"}}),
    CaseName());

}  // namespace
}  // namespace parcelo::test
