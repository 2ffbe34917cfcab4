#include "contact_card_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "extraction_test_support.h"
#include "tnef_builder.h"
#include "writer_test_support.h"

namespace parcelo::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Card {
    std::string fileName;
    std::string text;
};

// Extracts a contact built from `builder` (its class is set here) and gives its one file.
Card ContactCard(TnefBuilder builder, const PropertyList& props) {
    ScratchDir dir;
    const auto listed =
        Extract(builder.messageClass("IPM.Contact").messageProps(props).bytes(), dir);
    EXPECT_EQ(listed.size(), 1u);
    if (listed.size() != 1)
        return {};
    EXPECT_EQ(listed[0].size, 0);
    EXPECT_EQ(listed[0].isAttachment, 1);
    EXPECT_EQ(dir.fileNames(), std::vector<std::string>{listed[0].name});
    return {listed[0].name, ReadFile(dir.path() / listed[0].name)};
}

// The lines of the card between VERSION and END.
std::vector<std::string> CardLines(const PropertyList& props, TnefBuilder builder = TnefBuilder()) {
    const std::vector<std::string> lines = Lines(ContactCard(builder, props).text);
    EXPECT_GE(lines.size(), 3u);
    if (lines.size() < 3)
        return {};
    EXPECT_EQ(lines.front(), "BEGIN:VCARD");
    EXPECT_EQ(lines[1], "VERSION:2.1");
    EXPECT_EQ(lines.back(), "END:VCARD");
    return std::vector<std::string>(lines.begin() + 2, lines.end() - 1);
}

// A contact named T, so that only the lines under test follow its FN line.
PropertyList Named() {
    return PropertyList().string8(0x3001, "T");
}

TEST(ContactCard, ContactWithEveryKindOfLine) {
    const PropertyList props = PropertyList()
                                   .string8(0x3001, "John Smith")
                                   .string8(0x3A16, "Acme")
                                   .string8(0x3A18, "Sales")
                                   .string8(0x3A4F, "Johnny")
                                   .namedString8(0x8554, "16.0")
                                   .string8(0x3A48, "Jane")
                                   .string8(0x3A4E, "Boss")
                                   .string8(0x3A30, "Al")
                                   .string8(0x3A19, "B-12")
                                   .string8(0x3A17, "Engineer")
                                   .string8(0x3A46, "Welder")
                                   .string8(0x1000, "Plain note")
                                   .string8(0x3A27, "Springfield")
                                   .namedString8(0x801B, "1 Main St\r\nSpringfield")
                                   .string8(0x3A5D, "12 Elm\r\nApt 3")
                                   .string8(0x3A5A, "USA")
                                   .namedString8(0x801A, "Home label")
                                   .string8(0x3A61, "99999")
                                   .string8(0x3A1C, "555-1")
                                   .string8(0x3A57, "555-2")
                                   .string8(0x3A08, "555-3")
                                   .namedString8(0x8083, "john@example.com")
                                   .namedString8(0x8094, "second@example.com")
                                   .string8(0x3A51, "http://example.com/")
                                   .namedString8(0x80D8, "http://example.com/fb")
                                   .sysTime(0x3A42, fileTime(1970, 5, 3, 23, 0, 0))
                                   .sysTime(0x3A41, fileTime(1999, 12, 31));
    const Card card = ContactCard(TnefBuilder().body("Line one\r\nLine two"), props);
    EXPECT_EQ(card.fileName, "John_Smith.vcf");
    EXPECT_EQ(card.text,
              "BEGIN:VCARD\n"
              "VERSION:2.1\n"
              "FN:John Smith\n"
              "NICKNAME:Johnny\n"
              "MAILER:Microsoft Outlook 16.0\n"
              "X-EVOLUTION-SPOUSE:Jane\n"
              "X-EVOLUTION-MANAGER:Boss\n"
              "X-EVOLUTION-ASSISTANT:Al\n"
              "ORG:Acme;Sales\n"
              "X-EVOLUTION-OFFICE:B-12\n"
              "TITLE:Engineer\n"
              "ROLE:Welder\n"
              "NOTE:Plain note\n"
              "NOTE;QUOTED-PRINTABLE:Line one=0ALine two\n"
              "ADR;QUOTED-PRINTABLE;WORK:;;;Springfield;;;\n"
              "LABEL;QUOTED-PRINTABLE;WORK:1 Main St=0ASpringfield\n"
              "ADR;QUOTED-PRINTABLE;HOME:;;12 Elm=0AApt 3;;;;USA\n"
              "LABEL;QUOTED-PRINTABLE;HOME:Home label\n"
              "ADR;QUOTED-PRINTABLE;OTHER:;;;;;99999;\n"
              "TEL;CELL:555-1\n"
              "TEL;WORK:555-2\n"
              "TEL;WORK:555-3\n"
              "EMAIL:john@example.com\n"
              "EMAIL:second@example.com\n"
              "URL:http://example.com/\n"
              "FBURL:http://example.com/fb\n"
              "BDAY:1970-05-03\n"
              "X-EVOLUTION-ANNIVERSARY:1999-12-31\n"
              "END:VCARD\n");

    // The card is made from the same values.
    const ParsedMessage parsed(TnefBuilder()
                                   .messageClass("IPM.Contact")
                                   .body("Line one\r\nLine two")
                                   .messageProps(props)
                                   .bytes());
    const ItemCard shown = parcelo::ContactCard(ReadContactItem(parsed.message()));
    EXPECT_EQ(shown.title, "John Smith");
    std::vector<std::string> rows;
    for (const ItemCard::Row& row : shown.rows)
        rows.push_back(row.label + " " + row.value);
    EXPECT_THAT(rows, ElementsAre("Company: Acme, Sales", "Job title: Engineer",
                                  "Phone: 555-1 (mobile)\n555-2 (work)\n555-3 (work)",
                                  "E-mail: john@example.com\nsecond@example.com",
                                  "Address: 1 Main St Springfield (work)\nHome label (home)\n"
                                  "99999 (other)",
                                  "Birthday: 3 May 1970"));
    EXPECT_EQ(shown.description, "Line one\r\nLine two");
}

TEST(ContactCard, EmptyContact) {
    const Card card = ContactCard(TnefBuilder(), PropertyList());
    EXPECT_EQ(card.fileName, "unknown.vcf");
    EXPECT_EQ(card.text, "BEGIN:VCARD\nVERSION:2.1\nEND:VCARD\n");
}

struct NameCase {
    const char* name;
    PropertyList props;
    std::optional<std::string> subject;
    std::string fileName;
    std::vector<std::string> lines;
};

class ContactFileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(ContactFileName, AndItsNameLines) {
    const NameCase& c = GetParam();
    TnefBuilder builder;
    if (c.subject)
        builder.subject(*c.subject);
    const Card card = ContactCard(builder, c.props);
    EXPECT_EQ(card.fileName, c.fileName);
    const std::vector<std::string> lines = Lines(card.text);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end() - 1), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ContactFileName,
    ::testing::Values(
        NameCase{"DisplayName",
                 PropertyList().string8(0x3001, "John Smith").string8(0x3A16, "Acme"),
                 "Subject",
                 "John_Smith.vcf",
                 {"FN:John Smith", "ORG:Acme"}},
        NameCase{"CompanyOnly",
                 PropertyList().string8(0x3A16, "Acme Inc"),
                 "Subject",
                 "Acme_Inc.vcf",
                 {"FN:Acme Inc", "ORG:Acme Inc"}},
        NameCase{"SubjectGivesNoFnLine", PropertyList(), "Sub ject", "Sub_ject.vcf", {}},
        NameCase{"Nothing", PropertyList(), std::nullopt, "unknown.vcf", {}},
        NameCase{"EmptySubjectStillNames", PropertyList(), "", "_.vcf", {}},
        NameCase{"DisplayNameOnlyNul",
                 PropertyList().string8Raw(0x3001, std::string(1, '\0')),
                 std::nullopt,
                 "_.vcf",
                 {"FN:"}},
        NameCase{"EmptyCompanyNamesButHasNoOrg",
                 PropertyList().string8(0x3A16, ""),
                 std::nullopt,
                 "_.vcf",
                 {"FN:"}},
        NameCase{"PathSeparators",
                 PropertyList().string8(0x3001, "../etc/pass\\wd"),
                 std::nullopt,
                 "_.._etc_pass_wd.vcf",
                 {"FN:../etc/pass\\wd"}},
        NameCase{
            "DotDot", PropertyList().string8(0x3001, ".."), std::nullopt, "_...vcf", {"FN:.."}},
        NameCase{"LineBreak",
                 PropertyList().string8(0x3001, "A\r\nB"),
                 std::nullopt,
                 "A__B.vcf",
                 {"FN:A B"}},
        NameCase{"CodePage",
                 PropertyList().string8(0x3001, "Ren\xE9"),
                 std::nullopt,
                 "Ren\xC3\xA9.vcf",
                 {"FN:Ren\xC3\xA9"}},
        NameCase{"UnicodeDisplayName",
                 PropertyList().unicode(0x3001, u"Zo\u00EB \u00D6"),
                 std::nullopt,
                 "Zo\xC3\xAB_\xC3\x96.vcf",
                 {"FN:Zo\xC3\xAB \xC3\x96"}},
        NameCase{"SubjectFromTheCodePage", PropertyList(), "Caf\xE9", "Caf\xC3\xA9.vcf", {}},
        NameCase{"LongName",
                 PropertyList().string8(0x3001, std::string(300, 'x')),
                 std::nullopt,
                 std::string(251, 'x') + ".vcf",
                 {"FN:" + std::string(300, 'x')}}),
    CaseName());

struct TelephoneCase {
    const char* name;
    uint16_t id;
    std::string line;
};

class ContactTelephone : public ::testing::TestWithParam<TelephoneCase> {};

TEST_P(ContactTelephone, Line) {
    EXPECT_THAT(CardLines(Named().string8(GetParam().id, "+1 555 0100")),
                ElementsAre("FN:T", GetParam().line + "+1 555 0100"));
    EXPECT_THAT(CardLines(Named().string8(GetParam().id, "")), ElementsAre("FN:T"));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ContactTelephone,
    ::testing::Values(
        TelephoneCase{"Callback", 0x3A02, "TEL;X-EVOLUTION-CALLBACK:"},
        TelephoneCase{"Primary", 0x3A1A, "TEL;PREF:"}, TelephoneCase{"Mobile", 0x3A1C, "TEL;CELL:"},
        TelephoneCase{"Radio", 0x3A1D, "TEL;X-EVOLUTION-RADIO:"},
        TelephoneCase{"Car", 0x3A1E, "TEL;CAR:"}, TelephoneCase{"Other", 0x3A1F, "TEL;VOICE:"},
        TelephoneCase{"Pager", 0x3A21, "TEL;PAGER:"},
        TelephoneCase{"Telex", 0x3A2C, "TEL;X-EVOLUTION-TELEX:"},
        TelephoneCase{"Isdn", 0x3A2D, "TEL;ISDN:"}, TelephoneCase{"Home2", 0x3A2F, "TEL;HOME:"},
        TelephoneCase{"TtyTdd", 0x3A4B, "TEL;X-EVOLUTION-TTYTDD:"},
        TelephoneCase{"Home", 0x3A09, "TEL;HOME;VOICE:"},
        TelephoneCase{"Assistant", 0x3A2E, "TEL;X-EVOLUTION-ASSISTANT:"},
        TelephoneCase{"CompanyMain", 0x3A57, "TEL;WORK:"},
        TelephoneCase{"Business", 0x3A08, "TEL;WORK:"},
        TelephoneCase{"Business2", 0x3A1B, "TEL;WORK;VOICE:"},
        TelephoneCase{"PrimaryFax", 0x3A23, "TEL;PREF;FAX:"},
        TelephoneCase{"BusinessFax", 0x3A24, "TEL;WORK;FAX:"},
        TelephoneCase{"HomeFax", 0x3A25, "TEL;HOME;FAX:"}),
    CaseName());

TEST(ContactCard, TelephoneLinesKeepTheirOrder) {
    PropertyList props = Named();
    // Stored in reverse; written in the card's own order.
    const uint16_t ids[] = {0x3A25, 0x3A24, 0x3A23, 0x3A1B, 0x3A08, 0x3A57, 0x3A2E,
                            0x3A09, 0x3A4B, 0x3A2F, 0x3A2D, 0x3A2C, 0x3A21, 0x3A1F,
                            0x3A1E, 0x3A1D, 0x3A1C, 0x3A1A, 0x3A02};
    for (const uint16_t id : ids)
        props.string8(id, std::to_string(id));
    std::vector<std::string> expected = {"FN:T"};
    for (size_t i = std::size(ids); i-- > 0;)
        expected.push_back(std::to_string(ids[i]));
    std::vector<std::string> numbers;
    for (const std::string& line : CardLines(props)) {
        numbers.push_back(line.substr(0, 3) == "FN:" ? line : line.substr(line.rfind(':') + 1));
    }
    EXPECT_EQ(numbers, expected);
}

TEST(ContactCard, AddressBlocks) {
    // A present but empty field writes its block; a label needs its block.
    EXPECT_THAT(CardLines(Named().string8(0x3A26, "").namedString8(0x801B, "label")),
                ElementsAre("FN:T", "ADR;QUOTED-PRINTABLE;WORK:;;;;;;",
                            "LABEL;QUOTED-PRINTABLE;WORK:label"));
    EXPECT_THAT(CardLines(Named().namedString8(0x801B, "work").namedString8(0x801A, "home")),
                ElementsAre("FN:T"));
    EXPECT_THAT(
        CardLines(Named()
                      .string8(0x3A64, "PO 1")
                      .string8(0x3A63, "Street")
                      .string8(0x3A5F, "City")
                      .string8(0x3A62, "State")
                      .string8(0x3A61, "Code")
                      .string8(0x3A60, "Land")),
        ElementsAre("FN:T", "ADR;QUOTED-PRINTABLE;OTHER:PO 1;;Street;City;State;Code;Land"));
    // Fields are quoted-printable in name only: "=" and 8-bit text pass; the text is UTF-8.
    EXPECT_THAT(CardLines(Named()
                              .string8(0x3A5E, "a=b")
                              .unicode(0x3A59, u"K\u00F6ln")
                              .string8(0x3A5B, "x\r\ny\n")),
                ElementsAre("FN:T", "ADR;QUOTED-PRINTABLE;HOME:a=b;;;K\xC3\xB6ln;;x=0Ay=0A;"));
}

TEST(ContactCard, OrganisationLine) {
    const PropertyList acme = PropertyList().string8(0x3001, "T").string8(0x3A16, "Acme");
    EXPECT_THAT(CardLines(PropertyList(acme).string8(0x3A18, "Sales")),
                ElementsAre("FN:T", "ORG:Acme;Sales"));
    EXPECT_THAT(CardLines(acme), ElementsAre("FN:T", "ORG:Acme"));
    EXPECT_THAT(CardLines(PropertyList(acme).string8(0x3A18, "")),
                ElementsAre("FN:T", "ORG:Acme;"));
    EXPECT_THAT(CardLines(Named().string8(0x3A16, "A\r\nB").string8(0x3A18, "C\nD")),
                ElementsAre("FN:T", "ORG:A B;C D"));
    // A department without a company writes nothing.
    EXPECT_THAT(CardLines(Named().string8(0x3A18, "Sales")), ElementsAre("FN:T"));
}

TEST(ContactCard, EmailLines) {
    // The display form stands in only for a missing address; an empty address still writes.
    EXPECT_THAT(CardLines(Named().namedString8(0x8084, "shown@example.com")),
                ElementsAre("FN:T", "EMAIL:shown@example.com"));
    EXPECT_THAT(CardLines(Named().namedString8(0x8093, "").namedString8(0x8094, "shown")),
                ElementsAre("FN:T", "EMAIL:"));
    EXPECT_THAT(CardLines(Named()
                              .namedString8(0x80A3, "third@example.com")
                              .namedString8(0x8083, "first\r\n@example.com")),
                ElementsAre("FN:T", "EMAIL:first @example.com", "EMAIL:third@example.com"));
    EXPECT_THAT(CardLines(Named().namedUnicode(0x8093, u"wide@example.com")),
                ElementsAre("FN:T", "EMAIL:wide@example.com"));
}

TEST(ContactCard, NoteLines) {
    // The attribute's last character stays when the stream left out its terminator.
    EXPECT_THAT(CardLines(Named(), TnefBuilder().body("Hello")),
                ElementsAre("FN:T", "NOTE;QUOTED-PRINTABLE:Hello"));
    EXPECT_THAT(CardLines(Named(), TnefBuilder().body(std::string("Hello\r\n\0", 8))),
                ElementsAre("FN:T", "NOTE;QUOTED-PRINTABLE:Hello=0A"));
    EXPECT_THAT(CardLines(Named(), TnefBuilder().oemCodepage(1251).body("\xC4\xE0")),
                ElementsAre("FN:T", "NOTE;QUOTED-PRINTABLE:\xD0\x94\xD0\xB0"));
    EXPECT_THAT(CardLines(Named().string8(0x1000, "first\r\nsecond"), TnefBuilder().body("b")),
                ElementsAre("FN:T", "NOTE:first second", "NOTE;QUOTED-PRINTABLE:b"));
}

TEST(ContactCard, UnicodePropertiesAreWritten) {
    EXPECT_THAT(CardLines(PropertyList()
                              .unicode(0x3001, u"Wide")
                              .unicode(0x3A16, u"Co")
                              .unicode(0x3A18, u"")
                              .unicode(0x3A4F, u"Nick")
                              .namedUnicode(0x8554, u"16")
                              .unicode(0x3A1C, u"123")
                              .namedUnicode(0x80D8, u"fb")),
                ElementsAre("FN:Wide", "NICKNAME:Nick", "MAILER:Microsoft Outlook 16", "ORG:Co;",
                            "TEL;CELL:123", "FBURL:fb"));
}

TEST(ContactCard, ListingOnlyRunWritesNoFile) {
    ScratchDir dir;
    const auto listed = Extract(TnefBuilder()
                                    .messageClass("IPM.Contact")
                                    .messageProps(PropertyList().string8(0x3001, "John Smith"))
                                    .bytes(),
                                dir, 0);
    EXPECT_EQ(listed, (std::vector<Listed>{{"John_Smith.vcf", 0, 1}}));
    EXPECT_THAT(dir.fileNames(), IsEmpty());
}

TEST(ContactCard, NamesThatDifferInCaseGetFilesOfTheirOwn) {
    const auto contact = [](const std::string& name) {
        return TnefBuilder()
            .messageClass("IPM.Contact")
            .messageProps(PropertyList().string8(0x3001, name))
            .bytes();
    };
    ScratchDir dir;
    const auto listed = Extract(TnefBuilder()
                                    .messageClass("IPM.Microsoft Mail.Note")
                                    .attach("a", contact("Ann Lee"))
                                    .attach("b", contact("ANN LEE"))
                                    .bytes(),
                                dir);
    EXPECT_EQ(listed, (std::vector<Listed>{{"ANN_LEE_2.vcf", 0, 1}, {"Ann_Lee.vcf", 0, 1}}));
    EXPECT_EQ(ReadFile(dir.path() / "Ann_Lee.vcf"),
              "BEGIN:VCARD\nVERSION:2.1\nFN:Ann Lee\nEND:VCARD\n");
    EXPECT_EQ(ReadFile(dir.path() / "ANN_LEE_2.vcf"),
              "BEGIN:VCARD\nVERSION:2.1\nFN:ANN LEE\nEND:VCARD\n");
}

}  // namespace
}  // namespace parcelo::testing
