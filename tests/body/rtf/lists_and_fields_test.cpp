// Paragraphs that go on with a list item (\pnlvlcont) and the characters of SYMBOL fields.
#include "body_test_support.h"

#include <QTextList>

#include <gtest/gtest.h>

#include <string>

namespace parcelo::test {
namespace {

std::string Body(std::string_view body) {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
           "{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fnil\\fcharset2 Wingdings;}"
           "{\\f3\\fswiss\\fcharset204 Arial Cyr;}}\\pard\\plain " +
           std::string(body) + "}";
}

TEST(Lists, ContinuationParagraphKeepsTheItemsIndentAndTheNumbering) {
    const std::string rtf = Body(
        "{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}one\\par"
        "{\\*\\pn\\pnlvlcont}more of one\\par"
        "\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}two\\par"
        "\\pard{\\*\\pn\\pnlvlcont}more of two\\par"
        "\\pard plain\\par");
    const auto document = Read(rtf);
    const QTextList* list = BlockOf(*document, "one").textList();
    ASSERT_NE(list, nullptr);
    const QTextBlock more = BlockOf(*document, "more of one");
    EXPECT_EQ(more.textList(), nullptr);
    EXPECT_EQ(more.blockFormat().indent(), list->format().indent());
    EXPECT_EQ(BlockOf(*document, "two").textList(), list);
    EXPECT_EQ(list->itemNumber(BlockOf(*document, "two")), 1);
    EXPECT_EQ(BlockOf(*document, "more of two").blockFormat().indent(), 1);
    EXPECT_EQ(BlockOf(*document, "plain").blockFormat().indent(), 0);
    EXPECT_EQ(TextOf(rtf).toStdString(), "1. one\nmore of one\n2. two\nmore of two\nplain");
}

// Word 97 gives a continuation paragraph the list's \ls too, and its \pn says it goes on.
TEST(Lists, Word97ContinuationParagraphOfAListHasNoNumber) {
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}"
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelstartat1"
        "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}\\listid7}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}}"
        "{\\listtext 1.\\tab}\\pard\\fi-360\\li720{\\*\\pn\\pnlvlbody\\ilvl0\\ls1\\pndec}"
        "\\ls1 one\\par"
        "\\pard\\li720{\\*\\pn\\pnlvlcont\\ilvl0\\ls1\\pndec}\\ls1 more of one\\par"
        "\\pard\\li720\\pnlvlcont\\ls1 still one\\par"
        "{\\listtext 2.\\tab}\\pard\\fi-360\\li720{\\*\\pn\\pnlvlbody\\ilvl0\\ls1\\pndec}"
        "\\ls1 two\\par}";
    EXPECT_EQ(TextOf(rtf).toStdString(), "1. one\nmore of one\nstill one\n2. two");
}

struct SymbolCase {
    const char* name;
    const char* field;
    const char* text;  // UTF-8 text of the paragraph "a" FIELD "b"
};

class SymbolFieldTest : public testing::TestWithParam<SymbolCase> {};

TEST_P(SymbolFieldTest, ShowsTheCharacterOnce) {
    EXPECT_EQ(TextOf(Body(std::string("a") + GetParam().field + "b")).toStdString(),
              GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, SymbolFieldTest,
    testing::Values(
        SymbolCase{"decimal_in_symbol",
                   "{\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\" \\\\s 10}{\\fldrslt }}",
                   "a•b"},
        SymbolCase{"hexadecimal_private_use",
                   "{\\field{\\*\\fldinst SYMBOL 0xF0B7 \\\\f \"Symbol\"}{\\fldrslt }}", "a•b"},
        SymbolCase{"result_already_holds_it",
                   "{\\field{\\*\\fldinst {SYMBOL 183 \\\\f \"Symbol\" \\\\s 10}}"
                   "{\\fldrslt {\\f1\\fs20 \\'b7}}}",
                   "a•b"},
        SymbolCase{"result_holds_it_unmapped",
                   "{\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\"}{\\fldrslt \\u61623 ?}}",
                   "a•b"},
        SymbolCase{"no_result", "{\\field{\\*\\fldinst SYMBOL 252 \\\\f \"Wingdings\"}}", "a✓b"},
        SymbolCase{"unicode_switch", "{\\field{\\*\\fldinst SYMBOL 8364 \\\\u}{\\fldrslt }}",
                   "a€b"},
        SymbolCase{"shift_jis_switch", "{\\field{\\*\\fldinst SYMBOL 33440 \\\\j}{\\fldrslt }}",
                   "aあb"},
        SymbolCase{"in_the_fields_font", "{\\f3{\\field{\\*\\fldinst SYMBOL 192}{\\fldrslt }}}",
                   "aАb"},
        SymbolCase{"field_font_is_symbol", "{\\f1{\\field{\\*\\fldinst SYMBOL 97}}}", "aαb"},
        SymbolCase{"not_a_number_shows_the_result",
                   "{\\field{\\*\\fldinst SYMBOL x \\\\f \"Symbol\"}{\\fldrslt r}}", "arb"},
        SymbolCase{"other_field_without_result", "{\\field{\\*\\fldinst PAGE}}", "ab"}),
    CaseName());

TEST(SymbolField, SizeAndUnmappedGlyphsFont) {
    const auto document =
        Read(Body("{\\field{\\*\\fldinst SYMBOL 65 \\\\f \"Wingdings\" \\\\s 18}{\\fldrslt x}}"));
    const auto format = FormatOf(*document, QString(QChar(0xF041)));
    ASSERT_TRUE(format.has_value()) << document->toPlainText().toStdString();
    EXPECT_EQ(format->fontPointSize(), 18);
    EXPECT_EQ(format->fontFamilies().toStringList(), QStringList{"Wingdings"});
}

}  // namespace
}  // namespace parcelo::test
