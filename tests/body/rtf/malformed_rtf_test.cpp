// Broken, truncated and hostile bodies: the reader shows what it can, never crashes, hangs or
// grows without bound.
#include "body_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace parcelo::test {
namespace {

struct MalformedCase {
    const char* name;
    std::string rtf;
    const char* text;  // what is still shown
};

class MalformedRtfTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedRtfTest, ShowsWhatCanBeRead) {
    EXPECT_EQ(TextOf(GetParam().rtf).toStdString(), GetParam().text);
}

std::string Repeat(std::string_view piece, int times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, MalformedRtfTest,
    testing::Values(
        MalformedCase{"empty", "", ""}, MalformedCase{"not_rtf", "just text", "just text"},
        MalformedCase{"truncated", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 cut off he",
                      "cut off he"},
        MalformedCase{"truncated_in_word", "{\\rtf1 text\\pa", "text"},
        MalformedCase{"truncated_in_font_table", "{\\rtf1{\\fonttbl{\\f0\\fcharset204 Ari", ""},
        MalformedCase{"unbalanced_close", "{\\rtf1 a}}}} b", "a"},
        MalformedCase{"unbalanced_open", "{\\rtf1 a{{{{ b", "a b"},
        MalformedCase{"absurd_font_size", "{\\rtf1\\fs99999999999 big\\fs-5  small}", "big small"},
        MalformedCase{"absurd_indents", "{\\rtf1\\li99999999999\\fi-99999999999\\sb-3 x\\par}",
                      "x"},
        MalformedCase{"absurd_unicode", "{\\rtf1\\u99999999999 ?\\u-99999999999 ?x}",
                      "\xEF\xBF\xBD\xEF\xBF\xBDx"},
        MalformedCase{"absurd_skip_count",
                      "{\\rtf1\\uc99999999999\\u8364 abcdefghijklmnopqrstuvwxyz}", "€qrstuvwxyz"},
        MalformedCase{"binary_past_end", "{\\rtf1 a\\bin99999999999 xyz", "a"},
        MalformedCase{"negative_binary", "{\\rtf1 a\\bin-5 b}", "ab"},
        MalformedCase{"colour_out_of_range",
                      "{\\rtf1{\\colortbl;\\red999\\green-4\\blue0;}\\cf1 x\\cf-9 y}", "xy"},
        MalformedCase{"font_missing", "{\\rtf1\\f42\\'e4}", "ä"},
        MalformedCase{"unknown_code_page", "{\\rtf1\\ansicpg99999\\'e4}", "ä"},
        MalformedCase{"lone_lead_byte", "{\\rtf1{\\fonttbl{\\f0\\fcharset128 G;}}\\f0\\'82}",
                      "\xEF\xBF\xBD"},
        MalformedCase{"field_without_result", "{\\rtf1 a{\\field{\\*\\fldinst HYPERLINK \"x\"}}b}",
                      "ab"},
        MalformedCase{"result_outside_field", "{\\rtf1 {\\fldrslt text}}", "text"},
        MalformedCase{"cell_outside_table", "{\\rtf1 a\\cell b\\row c\\par}", "a\tb\nc"},
        MalformedCase{"list_without_table", "{\\rtf1\\ls7\\ilvl99 item\\par}",
                      "                • item"},
        MalformedCase{"picture_not_an_image", "{\\rtf1 a{\\pict\\pngblip 0123456789abcdef}b}",
                      "ab"},
        MalformedCase{"picture_odd_hex", "{\\rtf1 a{\\pict\\jpegblip ffd8f}b}", "ab"},
        MalformedCase{"nested_pictures", "{\\rtf1 a{\\pict\\pngblip{\\pict 00}11}b}", "ab"},
        MalformedCase{"htmltag_in_native_body", "{\\rtf1 a{\\*\\htmltag84 <b>}b}", "ab"},
        MalformedCase{"html_body_truncated", "{\\rtf1\\fromhtml1{\\*\\htmltag84 <p>}Hel", "Hel"},
        MalformedCase{"html_body_broken_tags",
                      "{\\rtf1\\fromhtml1{\\*\\htmltag84 <p <b =>}x{\\*\\htmltag84 </}", "x</"},
        MalformedCase{"nul_bytes", std::string("{\\rtf1 a\0b}", 11), "ab"},
        MalformedCase{"deep_nesting", Repeat("{", 100000) + "deep" + Repeat("}", 100000), "deep"},
        MalformedCase{"deep_nesting_unclosed", "{\\rtf1 " + Repeat("{\\b ", 100000) + "x", "x"}),
    CaseName());

// Bodies built to make a careless reader do quadratic work or allocate without bound.
struct StressCase {
    const char* name;
    std::string rtf;
};

// Paragraphs whose tab stops all differ: each \\tx makes a set of stops the body has not had.
std::string DistinctTabStops(int count) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += (i % 50 == 0 ? "\\pard\\tx" : "\\tx") + std::to_string(i % 31000);
    return out;
}

class StressRtfTest : public testing::TestWithParam<StressCase> {};

// How quickly they read is bench_rtf's "HostileRtf" measure; here, that they read at all and
// give a document of bounded size.
TEST_P(StressRtfTest, ReadsIntoABoundedDocument) {
    const auto document = Read(GetParam().rtf);
    EXPECT_LT(document->characterCount(), 4'000'000);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, StressRtfTest,
    testing::Values(
        StressCase{"many_rows_of_one_cell",
                   "{\\rtf1 " + Repeat("\\intbl x\\cell\\row", 30000) + "}"},
        StressCase{"wide_row_then_many_rows", "{\\rtf1 " + Repeat("\\intbl\\cell", 5000) + "\\row" +
                                                  Repeat("\\intbl y\\cell\\row", 20000) + "}"},
        StressCase{"many_fields_in_one_group", "{\\rtf1 " + Repeat("\\field", 100000) + "}"},
        StressCase{"many_distinct_tab_stops", "{\\rtf1 " + DistinctTabStops(200000) + "x}"},
        StressCase{"many_nested_rows",
                   "{\\rtf1 \\intbl a\\par" + Repeat("\\itap5 x\\nestcell\\nestrow", 20000) + "}"},
        StressCase{"many_cell_borders", "{\\rtf1 \\trowd" +
                                            Repeat("\\clbrdrt\\brdrdb\\brdrw10\\brdrcf1", 100000) +
                                            Repeat("\\clmgf\\cellx100\\clmrg\\cellx200", 100) +
                                            Repeat("\\intbl x\\cell", 200) + "\\row}"},
        StressCase{"many_links",
                   "{\\rtf1 " +
                       Repeat("{\\field{\\*\\fldinst HYPERLINK \"a\"}{\\fldrslt b}}", 20000) + "}"},
        StressCase{"many_paragraphs", "{\\rtf1 " + Repeat("\\par", 200000) + "}"},
        StressCase{"many_list_items", "{\\rtf1 " + Repeat("\\pard\\ls1 i\\par", 50000) + "}"},
        StressCase{"many_fonts", "{\\rtf1{\\fonttbl" + Repeat("{\\f1 A;}", 50000) + "}x}"},
        StressCase{"many_groups", "{\\rtf1 " + Repeat("{\\b x}{\\i y}", 100000) + "}"},
        StressCase{"many_html_list_items", "{\\rtf1\\fromhtml1 {\\*\\htmltag <ul>}" +
                                               Repeat("{\\*\\htmltag <li>}i", 50000) + "}"},
        StressCase{"many_html_tags",
                   "{\\rtf1\\fromhtml1 " + Repeat("{\\*\\htmltag <table><tr><td>}", 20000) + "}"}),
    CaseName());

}  // namespace
}  // namespace parcelo::test
