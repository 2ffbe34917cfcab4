// The code page that decodes each \'hh byte: the font's charset or \cpg, the document's
// \ansicpg, and double-byte characters whose bytes are written apart.
#include "body_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace parcelo::test {
namespace {

// A document in the given \ansicpg whose fonts \f1 to \f7 are Cyrillic, Greek, Hebrew,
// Shift-JIS, GB2312, Big5 and Hangul; \f0 is Western, \f8 has the default charset and \f9
// names its code page with \cpg alone.
std::string Document(int ansiCodePage, std::string_view body) {
    return "{\\rtf1\\ansi\\ansicpg" + std::to_string(ansiCodePage) +
           "\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
           "{\\f1\\fcharset204 Arial Cyr;}{\\f2\\fcharset161 Arial Greek;}"
           "{\\f3\\fcharset177 Arial (Hebrew);}{\\f4\\fcharset128 MS Gothic;}"
           "{\\f5\\fcharset134 SimSun;}{\\f6\\fcharset136 MingLiU;}{\\f7\\fcharset129 Gulim;}"
           "{\\f8\\fcharset1 Default;}{\\f9\\cpg1251 Code Page;}}"
           "\\pard\\plain " +
           std::string(body) + "}";
}

struct CodePageCase {
    const char* name;
    std::string rtf;
    const char* text;  // UTF-8
};

class CodePageTest : public testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageTest, DecodesWithTheFontsCodePage) {
    EXPECT_EQ(TextOf(GetParam().rtf).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, CodePageTest,
    testing::Values(
        // A Western font stays Western in a Japanese document; its 0xE4 is no lead byte.
        CodePageCase{"western_font_in_japanese_document", Document(932, "\\f0 J\\'e4rvi"), "Järvi"},
        CodePageCase{"western_font_in_cyrillic_document", Document(1251, "\\f0 K\\'e4se"), "Käse"},
        CodePageCase{"default_charset_is_the_documents", Document(1251, "\\f8 \\'c0\\'e1"), "Аб"},
        CodePageCase{"text_without_font_table_is_the_documents",
                     "{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}", "Аб"},
        CodePageCase{"font_code_page_word", Document(1252, "\\f9 \\'c0\\'e1"), "Аб"},
        CodePageCase{"charsets_in_one_document",
                     Document(1252,
                              "\\f1 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\f2 \\'c3\\'e5\\'e9\\'dc "
                              "\\f3 \\'f9\\'ec\\'e5\\'ed \\f4 \\'93\\'fa\\'96\\'7b "
                              "\\f5 \\'d6\\'d0\\'ce\\'c4 \\f6 \\'a4\\'a4\\'a4\\'e5 "
                              "\\f7 \\'c7\\'d1\\'b1\\'b9 \\f0 \\'e9"),
                     "Привет Γειά שלום 日本 中文 中文 한국 é"},
        // Shift-JIS trail bytes that RTF escapes: 0x96 0x7B is 本, 0x95 0x5C is 表.
        CodePageCase{"trail_byte_escaped_brace", Document(1252, "\\f4 \\'96\\{x"), "本x"},
        CodePageCase{"trail_byte_escaped_backslash", Document(1252, "\\f4 \\'95\\\\x"), "表x"},
        CodePageCase{"trail_byte_ascii_letter", Document(1252, "\\f4 \\'83Ax"), "アx"},
        CodePageCase{"lead_byte_literal", Document(1252, "\\f4 \x82\\'a0x"), "あx"},
        CodePageCase{"pair_across_lines", Document(1252, "\\f4 \\'82\r\n\\'a0x"), "あx"},
        // \uc counts the fallback's bytes (Word) or its characters (other writers).
        CodePageCase{"fallback_two_bytes", Document(1252, "\\f4\\uc2\\u12354\\'82\\'a0x"), "あx"},
        CodePageCase{"fallback_one_character", Document(1252, "\\f4\\uc1\\u12354\\'82\\'a0x"),
                     "あx"},
        CodePageCase{"fallback_trail_in_lead_range",
                     Document(1252, "\\f4\\uc2\\u20124\\'88\\'9f\\'82\\'a0"), "亜あ"},
        CodePageCase{"fallback_literal_pair", Document(1252, "\\f5\\uc1\\u20013\xd6\xd0x"), "中x"},
        CodePageCase{"fallback_single_byte_after_pair",
                     Document(1252, "\\f4\\uc1\\u12354\\'82\\'a0\\u233 ?y"), "あéy"},
        CodePageCase{"lone_lead_byte", Document(1252, "\\f4 a\\'82\\par b"), "a\xEF\xBF\xBD\nb"}),
    CaseName());

}  // namespace
}  // namespace parcelo::test
