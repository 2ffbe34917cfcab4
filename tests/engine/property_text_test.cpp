#include "property_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tnef_builder.h"
#include "writer_test_support.h"

namespace parcelo::testing {
namespace {

using ::testing::ElementsAre;

constexpr uint16_t kNickname = 0x3A4F;

std::string WrittenProperty(const PropertyList& props, bool named = false,
                            uint32_t codePage = 1252) {
    const ParsedMessage parsed(TnefBuilder().oemCodepage(codePage).messageProps(props).bytes());
    return Written([&](OutputFile& out) {
        if (named) {
            WriteUserProperty(out, parsed.lookup(), parcelo::kPtString8, kNickname,
                              "NICKNAME:%s\n");
        } else {
            WriteProperty(out, parsed.lookup(), parcelo::kPtString8, kNickname, "NICKNAME:%s\n");
        }
    });
}

struct ValueCase {
    const char* name;
    std::string bytes;  // the PT_STRING8 value as stored, terminator included
    std::string line;
};

class WritePropertyValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(WritePropertyValue, WritesTheTextUpToItsFirstNul) {
    const ValueCase& c = GetParam();
    EXPECT_EQ(WrittenProperty(PropertyList().string8Raw(kNickname, c.bytes)), c.line);
    // A named property is written the same way.
    EXPECT_EQ(WrittenProperty(PropertyList().named(0x8000, kNickname, kPtString8, c.bytes), true),
              c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Values, WritePropertyValue,
    ::testing::Values(ValueCase{"OnlyTerminator", std::string(1, '\0'), ""},
                      ValueCase{"Empty", "", ""},
                      ValueCase{"OneLetter", std::string("A\0", 2), "NICKNAME:A\n"},
                      ValueCase{"LeadingNul", std::string("\0x", 2), "NICKNAME:\n"},
                      ValueCase{"InnerNul", std::string("A\0B\0", 4), "NICKNAME:A\n"},
                      ValueCase{"NoTerminator", "AB", "NICKNAME:AB\n"},
                      ValueCase{"LineBreaksBecomeSpaces", std::string("a\r\nb\rc\nd\r\n\0", 11),
                                "NICKNAME:a b c d \n"},
                      ValueCase{"FormatDirectivesAreText", std::string("100%s %d %n\0", 12),
                                "NICKNAME:100%s %d %n\n"},
                      ValueCase{"ConvertedFromTheCodePage", std::string("Ren\xE9\0", 5),
                                "NICKNAME:Ren\xC3\xA9\n"}),
    CaseName());

TEST(WriteProperty, StandardAndNamedPropertiesAreSeparate) {
    const PropertyList namedOnly = PropertyList().namedString8(kNickname, "named");
    EXPECT_EQ(WrittenProperty(namedOnly), "");
    EXPECT_EQ(WrittenProperty(namedOnly, true), "NICKNAME:named\n");

    const PropertyList standardOnly = PropertyList().string8(kNickname, "standard");
    EXPECT_EQ(WrittenProperty(standardOnly), "NICKNAME:standard\n");
    EXPECT_EQ(WrittenProperty(standardOnly, true), "");
    // Named by a string rather than a number: never looked for.
    EXPECT_EQ(
        WrittenProperty(
            PropertyList().namedByString(u"Nickname", kPtString8, std::string("x\0", 2)), true),
        "");
}

TEST(WriteProperty, UsesTheUnicodeFormWhenThe8BitOneIsMissing) {
    EXPECT_EQ(WrittenProperty(PropertyList().unicode(kNickname, u"Zo\u00EB")),
              "NICKNAME:Zo\xC3\xAB\n");
    EXPECT_EQ(WrittenProperty(PropertyList().namedUnicode(kNickname, u"\u0416"), true),
              "NICKNAME:\xD0\x96\n");
    // An empty Unicode text fails the non-empty test like a lone NUL.
    EXPECT_EQ(WrittenProperty(PropertyList().unicode(kNickname, u"")), "");
    // The 8-bit form comes first when both are there.
    EXPECT_EQ(
        WrittenProperty(PropertyList().unicode(kNickname, u"wide").string8(kNickname, "narrow")),
        "NICKNAME:narrow\n");
}

TEST(WriteProperty, OtherTypesAreWrittenAsTheirBytes) {
    const ParsedMessage parsed(
        TnefBuilder()
            .messageProps(
                PropertyList().binary(0x3A4F, std::string("bin\0", 4)).namedBinary(0x3A4F, "named"))
            .bytes());
    EXPECT_EQ(Written([&](OutputFile& out) {
                  WriteProperty(out, parsed.lookup(), parcelo::kPtBinary, 0x3A4F, "B:%s\n");
                  WriteUserProperty(out, parsed.lookup(), parcelo::kPtBinary, 0x3A4F, "N:%s\n");
                  WriteProperty(out, parsed.lookup(), parcelo::kPtBinary, 0x3A50, "none:%s\n");
              }),
              "B:bin\nN:named\n");
}

TEST(WriteProperty, ConvertsFromTheStreamsCodePage) {
    EXPECT_EQ(WrittenProperty(PropertyList().string8(kNickname, "\xC6\xEE\xF0\xE0"), false, 1251),
              "NICKNAME:\xD0\x96\xD0\xBE\xD1\x80\xD0\xB0\n");
}

struct TextCase {
    const char* name;
    std::string value;  // terminator included
    std::string quotedPrintable;
    std::string escaped;
};

class TextWriters : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextWriters, MapTheBytesOfAllButTheTerminator) {
    const TextCase& c = GetParam();
    const TextValue value(c.value, 1252);
    EXPECT_EQ(Written([&](OutputFile& out) { WriteQuotedPrintableText(out, value); }),
              c.quotedPrintable);
    EXPECT_EQ(Written([&](OutputFile& out) { WriteEscapedText(out, value); }), c.escaped);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TextWriters,
    ::testing::Values(
        TextCase{"Empty", "", "", ""}, TextCase{"OnlyTerminator", std::string(1, '\0'), "", ""},
        // A value without its terminating NUL loses no character.
        TextCase{"NoTerminator", "x", "x", "x"},
        TextCase{"LineBreak", std::string("a\r\nb\0", 5), "a=0Ab", "a\\nb"},
        TextCase{"Separators", std::string("x;y,z\n\\\0", 8), "x;y,z=0A\\", "x\\;y\\,z\\n\\\\"},
        TextCase{"InnerNulIsWritten", std::string("a\0b\0", 4), std::string("a\0b", 3),
                 std::string("a\0b", 3)},
        TextCase{"OnlyLineBreaksAreEncoded", std::string("=\xE9\0", 3), "=\xC3\xA9", "=\xC3\xA9"},
        TextCase{"LoneCarriageReturnsVanish", std::string("a\rb\r\0", 5), "ab", "ab"}),
    CaseName());

struct RtfCase {
    const char* name;
    std::string rtf;
    std::string text;
};

class RtfAsText : public ::testing::TestWithParam<RtfCase> {};

TEST_P(RtfAsText, WritesTheFirstGroupLevel) {
    EXPECT_EQ(Written([&](OutputFile& out) { WriteRtfAsText(out, GetParam().rtf); }),
              GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RtfAsText,
    ::testing::Values(
        RtfCase{"Empty", "", "\n"},
        RtfCase{"ControlWordEndsAtItsSpace", "{\\rtf1\\ansi Hello, world\\par}",
                " Hello\\, world\n"},
        RtfCase{"NestedGroupsAreSkipped", "{\\rtf1{\\fonttbl{\\f0 Arial;}}Hi}", "Hi\n"},
        RtfCase{"OutsideTheDocument", "outside{\\rtf1 in}after", " in\n"},
        RtfCase{"EscapedBracesStillCount", "{\\rtf1 a\\{b\\}c}", " ac\n"},
        RtfCase{"HexEscapeHidesUpToWhiteSpace", "{\\rtf1 caf\\'e9 ok}", " caf ok\n"},
        RtfCase{"LineBreaksEndControlWords", "{\\rtf1\r\nline\\par\r\nnext}", "\\nline\\nnext\n"},
        RtfCase{"Separators", "{a;b,c}", "a\\;b\\,c\n"},
        RtfCase{"EightBitBytesAsStored", "{caf\xE9}", "caf\xE9\n"},
        RtfCase{"UnbalancedBraces", "}}{x{{y}z", "y\n"}),
    CaseName());

TEST(LineValues, LineBreaksAndQuotes) {
    EXPECT_EQ(OnSingleLine("a\r\nb"), "a b");
    EXPECT_EQ(OnSingleLine("a\r\rb"), "a  b");
    EXPECT_EQ(OnSingleLine("a\n\rb"), "a  b");
    EXPECT_EQ(OnSingleLine("\r\n\r\n"), "  ");
    EXPECT_EQ(QuotedParameter("say \"hi\"\r\n"), "say 'hi' ");
    EXPECT_EQ(FillLine("EMAIL:%s\n", "%s%d"), "EMAIL:%s%d\n");
    EXPECT_EQ(FillLine("LOCATION: %s\n", ""), "LOCATION: \n");
    EXPECT_EQ(FillLine("FIXED\n", "x"), "FIXED\n");
}

TEST(LineValues, ListEntriesKeepEveryPieceWithoutLeadingSpaces) {
    EXPECT_THAT(ListEntries("Ann; Bob"), ElementsAre("Ann", "Bob"));
    EXPECT_THAT(ListEntries("Ann;"), ElementsAre("Ann", ""));
    EXPECT_THAT(ListEntries(""), ElementsAre(""));
    EXPECT_THAT(ListEntries("  a  ;;   "), ElementsAre("a  ", "", ""));
}

TEST(MessageText, KeepsTheLastCharacterOfAnUnterminatedAttribute) {
    const ParsedMessage parsed(TnefBuilder().body("Hello").bytes());
    EXPECT_EQ(parsed.lookup().messageText(parsed.message().body).allButLast(), "Hello");
    const ParsedMessage terminated(TnefBuilder().body(std::string("Hello\0", 6)).bytes());
    EXPECT_EQ(terminated.lookup().messageText(terminated.message().body).allButLast(), "Hello");
}

}  // namespace
}  // namespace parcelo::testing
