#include "code_page.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

struct ConversionCase {
    uint32_t codePage;
    std::string bytes;
    std::string utf8;
};

class CodePageTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(CodePageTest, ConvertsToUtf8) {
    EXPECT_EQ(ConvertCodePageToUtf8(GetParam().bytes, GetParam().codePage), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, CodePageTest,
    ::testing::Values(ConversionCase{1252, "plain", "plain"},
                      ConversionCase{1252, "caf\xE9 \x80", "café €"},
                      ConversionCase{1252, "\x81", "\uFFFD"},  // undefined in 1252
                      ConversionCase{1251, "\xCF\xF0\xE8", "При"},
                      ConversionCase{1255, "\xF9\xEC\xE5\xED", "שלום"},
                      ConversionCase{932, "\x93\xFA\x96\x7B", "日本"},
                      ConversionCase{936, "\xD6\xD0\xCE\xC4", "中文"},
                      ConversionCase{20866, "\xD5\xCB\xD2", "укр"},
                      ConversionCase{28591, "\xE4", "ä"},
                      ConversionCase{65001, "ok \xC3\xA9", "ok é"},
                      ConversionCase{65001, "bad \xC3 \xFF", "bad \uFFFD \uFFFD"},
                      ConversionCase{4242, "\xE9", "é"},  // unknown: read as 1252
                      ConversionCase{1252, std::string("a\0b", 3), std::string("a\0b", 3)}));

TEST(ConvertUtf16LeToUtf8, StopsAtTheFirstNulAndReplacesBrokenSurrogates) {
    EXPECT_EQ(ConvertUtf16LeToUtf8(std::string("A\0\x71\x5c\0\0B\0", 8)), "A山");
    EXPECT_EQ(ConvertUtf16LeToUtf8(std::string("\x3d\xd8\x00\xde", 4)), "😀");
    EXPECT_EQ(ConvertUtf16LeToUtf8(std::string("\x3d\xd8X\0", 4)), "\uFFFDX");
    EXPECT_EQ(ConvertUtf16LeToUtf8(std::string("A\0B", 3)), "A");  // odd last byte
}

}  // namespace
}  // namespace parcelo
