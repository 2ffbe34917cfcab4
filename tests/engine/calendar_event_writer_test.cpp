#include "calendar_event_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>

#include "extraction_test_support.h"
#include "tnef_builder.h"
#include "writer_test_support.h"

namespace parcelo::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::IsSupersetOf;

const std::string kMeetingRequest = "IPM.Schedule.Meeting.Request";

// A meeting item: a class of its own and the appointment class in PidLidAppointmentMessageClass.
PropertyList Meeting() {
    return PropertyList().namedString8(0x0024, "IPM.Appointment");
}

// The file a meeting item with these properties gives.
std::string CalendarFile(const PropertyList& props, const std::string& cls = kMeetingRequest,
                         uint32_t codePage = 1252) {
    ScratchDir dir;
    const auto listed = Extract(
        TnefBuilder().oemCodepage(codePage).messageClass(cls).messageProps(props).bytes(), dir);
    EXPECT_THAT(Names(listed), ElementsAre("calendar.vcs"));
    return ReadFile(dir.path() / "calendar.vcs");
}

// The lines inside the VEVENT of an appointment with these properties.
std::vector<std::string> EventLines(const PropertyList& props, uint32_t codePage = 1252) {
    std::vector<std::string> lines = Lines(CalendarFile(props, "IPM.Appointment", codePage));
    EXPECT_GE(lines.size(), 7u);
    if (lines.size() < 7)
        return {};
    return std::vector<std::string>(lines.begin() + 5, lines.end() - 2);
}

const std::string kFrameHead =
    "BEGIN:VCALENDAR\nMETHOD:REQUEST\nPRODID:-//The Lantern//Parcelo//EN\nVERSION:2.0\n"
    "BEGIN:VEVENT\n";
const std::string kFrameTail = "END:VEVENT\nEND:VCALENDAR\n";

std::string GlobalObjectId() {
    std::string id("\x04\x00\x00\x00\x82\x00\xE0\x00\x74\xC5\xB7\x10\x1A\x82\xE0\x08", 16);
    for (int i = 0; i < 40; ++i)
        id += static_cast<char>(0xA0 + i);
    return id;
}

std::string WeeklyPattern() {
    // Every 2 weeks on Monday and Wednesday, 10 occurrences.
    return le16(0x3004) + le16(0x3004) + le16(0x200B) + le16(1) + le16(0) + le32(0) + le32(2) +
           le32(0) + le32(0x0A) + le32(0x2022) + le32(10) + le32(0) + le32(0) + le32(0);
}

TEST(CalendarEvent, MeetingRequestWithEveryLine) {
    const PropertyList props =
        Meeting()
            .namedBinary(0x0003, GlobalObjectId())
            .namedLong(0x8201, 2)
            .binary(0x0C1D, std::string("SMTP:ANN@EXAMPLE.COM\0", 21))
            .namedString8(0x823B, "Bob Jones; Carol")
            .namedString8(0x823C, "Dave")
            .string8(0x0070, "Plan; review, go")
            .binary(0x1009, compressRtf("{\\rtf1\\ansi Agenda\\par\r\nnext}"))
            .namedString8(0x0002, "Room 1; east, 2nd floor")
            .namedSysTime(0x820D, fileTime(2024, 3, 5, 9, 30, 0))
            .namedSysTime(0x820E, fileTime(2024, 3, 5, 10, 0, 0))
            .namedSysTime(0x8202, fileTime(2024, 2, 1, 8, 0, 5))
            .namedBoolean(0x8506, 1)
            .namedBinary(0x8216, WeeklyPattern());
    EXPECT_EQ(
        CalendarFile(props),
        kFrameHead +
            "UID:040000008200E00074C5B7101A82E008"
            "A0A1A2A3A4A5A6A7A8A9AAABACADAEAFB0B1B2B3B4B5B6B7B8B9BABBBCBDBEBFC0C1C2C3C4C5C6C7\n"
            "SEQUENCE:2\n"
            "ORGANIZER;CN=\"ANN@EXAMPLE.COM\":MAILTO:ANN@EXAMPLE.COM\n"
            "ATTENDEE;PARTSTAT=NEEDS-ACTION;ROLE=REQ-PARTICIPANT;RSVP=TRUE;"
            "CN=\"Bob Jones\":MAILTO:Bob Jones\n"
            "ATTENDEE;PARTSTAT=NEEDS-ACTION;ROLE=REQ-PARTICIPANT;RSVP=TRUE;"
            "CN=\"Carol\":MAILTO:Carol\n"
            "ATTENDEE;PARTSTAT=NEEDS-ACTION;ROLE=OPT-PARTICIPANT;RSVP=TRUE;"
            "CN=\"Dave\":MAILTO:Dave\n"
            "SUMMARY:Plan\\; review\\, go\n"
            "DESCRIPTION: Agenda\\nnext\n"
            "LOCATION: Room 1; east, 2nd floor\n"
            "DTSTART:20240305T093000Z\n"
            "DTEND:20240305T100000Z\n"
            "CREATED:20240201T080005Z\n"
            "CLASS:PRIVATE\n"
            "RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE;COUNT=10\n" +
            kFrameTail);
}

TEST(CalendarEvent, AppointmentWithoutPropertiesIsAnEmptyFrame) {
    EXPECT_EQ(CalendarFile(PropertyList(), "IPM.Appointment"), kFrameHead + kFrameTail);
}

struct MethodCase {
    const char* name;
    std::string messageClass;
    std::string method;
};

class CalendarMethod : public ::testing::TestWithParam<MethodCase> {};

TEST_P(CalendarMethod, FollowsTheEndOfTheClass) {
    const std::vector<std::string> lines = Lines(CalendarFile(Meeting(), GetParam().messageClass));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], GetParam().method);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, CalendarMethod,
    ::testing::Values(MethodCase{"Cancellation", "IPM.Microsoft Schedule.MtgCncl", "METHOD:CANCEL"},
                      MethodCase{"Appointment", "IPM.Appointment", "METHOD:REQUEST"},
                      MethodCase{"Request", "IPM.Microsoft Schedule.MtgReq", "METHOD:REQUEST"},
                      MethodCase{"CancellationInTheMiddle", "IPM.Microsoft Schedule.MtgCncl.Copy",
                                 "METHOD:REQUEST"},
                      MethodCase{"RepeatedSuffix", "IPM.MtgCncl.MtgCncl", "METHOD:CANCEL"},
                      MethodCase{"OnlyTheSuffix", ".MtgCncl", "METHOD:CANCEL"},
                      MethodCase{"LetterCaseCounts", "IPM.Microsoft Schedule.mtgcncl",
                                 "METHOD:REQUEST"},
                      MethodCase{"NoDot", "MtgCncl", "METHOD:REQUEST"},
                      MethodCase{"NoClass", "", "METHOD:REQUEST"}),
    CaseName());

TEST(CalendarEvent, GlobalIdentifiers) {
    // 56 bytes give 112 upper-case digits; the clean identifier stands in for a missing one.
    const std::vector<std::string> full =
        EventLines(PropertyList().namedBinary(0x0003, GlobalObjectId()));
    ASSERT_EQ(full.size(), 1u);
    EXPECT_EQ(full[0].size(), 4 + 112u);
    EXPECT_THAT(EventLines(PropertyList().namedBinary(0x0023, std::string("\x00\xff\x5a", 3))),
                ElementsAre("UID:00FF5A"));
    EXPECT_THAT(EventLines(PropertyList().namedBinary(0x0023, "\x02").namedBinary(0x0003, "\x01")),
                ElementsAre("UID:01"));
    EXPECT_THAT(EventLines(PropertyList().namedBinary(0x0003, "")), ElementsAre("UID:"));
    // A standard property with the same identifier is not the named one.
    EXPECT_THAT(EventLines(PropertyList().binary(0x0003, "\x01")), IsEmpty());
}

TEST(CalendarEvent, SequenceIsSigned) {
    EXPECT_THAT(EventLines(PropertyList().namedLong(0x8201, -1)), ElementsAre("SEQUENCE:-1"));
}

struct OrganizerCase {
    const char* name;
    std::string searchKey;
    std::string line;
};

class CalendarOrganizer : public ::testing::TestWithParam<OrganizerCase> {};

TEST_P(CalendarOrganizer, ComesFromTheSenderSearchKey) {
    EXPECT_THAT(EventLines(Meeting().binary(0x0C1D, GetParam().searchKey)),
                ElementsAre(GetParam().line));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CalendarOrganizer,
    ::testing::Values(
        OrganizerCase{"AddressAfterTheFirstColon", std::string("SMTP:a@b.example:x\0", 19),
                      "ORGANIZER;CN=\"a@b.example:x\":MAILTO:a@b.example:x"},
        OrganizerCase{"WithoutColon", std::string("ann@example.com\0", 16),
                      "ORGANIZER;CN=\"ann@example.com\":MAILTO:ann@example.com"},
        OrganizerCase{"EmptyKey", std::string(1, '\0'), "ORGANIZER;CN=\"\":MAILTO:"},
        OrganizerCase{"NoTerminatorEndsWithTheValue", "EX:bob", "ORGANIZER;CN=\"bob\":MAILTO:bob"},
        OrganizerCase{"QuotesAndLineBreaks", std::string("SMTP:\"Ann\"\r\nX\0", 15),
                      "ORGANIZER;CN=\"'Ann' X\":MAILTO:\"Ann\" X"},
        OrganizerCase{"ConvertedFromTheCodePage", std::string("SMTP:ren\xE9@x\0", 13),
                      "ORGANIZER;CN=\"ren\xC3\xA9@x\":MAILTO:ren\xC3\xA9@x"}),
    CaseName());

struct AttendeeCase {
    const char* name;
    PropertyList props;
    std::vector<std::string> lines;
};

class CalendarAttendees : public ::testing::TestWithParam<AttendeeCase> {};

TEST_P(CalendarAttendees, Lines) {
    EXPECT_EQ(EventLines(GetParam().props), GetParam().lines);
}

std::string Required(const std::string& cn, const std::string& mailto) {
    return "ATTENDEE;PARTSTAT=NEEDS-ACTION;ROLE=REQ-PARTICIPANT;RSVP=TRUE;CN=\"" + cn +
           "\":MAILTO:" + mailto;
}
std::string Required(const std::string& name) {
    return Required(name, name);
}
std::string Optional(const std::string& name) {
    return "ATTENDEE;PARTSTAT=NEEDS-ACTION;ROLE=OPT-PARTICIPANT;RSVP=TRUE;CN=\"" + name +
           "\":MAILTO:" + name;
}

INSTANTIATE_TEST_SUITE_P(
    Lists, CalendarAttendees,
    ::testing::Values(
        AttendeeCase{"ToAndCc",
                     PropertyList().namedString8(0x823B, "Ann; Bob").namedString8(0x823C, "Cy"),
                     {Required("Ann"), Required("Bob"), Optional("Cy")}},
        AttendeeCase{"AllWhenToIsMissing",
                     PropertyList().namedString8(0x8238, "Ann;Bob").namedString8(0x823C, "Cy"),
                     {Required("Ann"), Required("Bob")}},
        AttendeeCase{"EmptyToStillKeepsAllOut",
                     PropertyList().namedString8(0x823B, "").namedString8(0x8238, "Ann"),
                     {}},
        AttendeeCase{"EmptyToStillLetsCcIn",
                     PropertyList().namedString8(0x823B, "").namedString8(0x823C, "Cy"),
                     {Optional("Cy")}},
        AttendeeCase{"EmptyCc",
                     PropertyList().namedString8(0x823B, "Ann").namedString8(0x823C, ""),
                     {Required("Ann")}},
        AttendeeCase{"TrailingSeparatorGivesAnEmptyName",
                     PropertyList().namedString8(0x823B, "Ann;"),
                     {Required("Ann"), Required("")}},
        AttendeeCase{"OnlyLeadingSpacesGo",
                     PropertyList().namedString8(0x823B, "   Ann  ; ;"),
                     {Required("Ann  "), Required(""), Required("")}},
        AttendeeCase{"QuotesAndLineBreaks",
                     PropertyList().namedString8(0x823B, "Ann \"Boss\"\r\nSmith;Bob\nLee\rX"),
                     {Required("Ann 'Boss' Smith", "Ann \"Boss\" Smith"), Required("Bob Lee X")}},
        AttendeeCase{"UnicodeForms",
                     PropertyList().namedUnicode(0x823B, u"Zo\u00EB").namedUnicode(0x823C, u"Al"),
                     {Required("Zo\xC3\xAB"), Optional("Al")}}),
    CaseName());

TEST(CalendarEvent, TextLines) {
    // The location is written as it is, bar its line breaks.
    EXPECT_THAT(EventLines(PropertyList().namedString8(0x8208, "Hall, \"B\";\r\n2")),
                ElementsAre("LOCATION: Hall, \"B\"; 2"));
    EXPECT_THAT(
        EventLines(PropertyList().namedString8(0x8208, "second").namedString8(0x0002, "first")),
        ElementsAre("LOCATION: first"));
    EXPECT_THAT(EventLines(PropertyList().namedString8(0x0002, "")), ElementsAre("LOCATION: "));
    EXPECT_THAT(EventLines(PropertyList().string8(0x0002, "standard")), IsEmpty());
    EXPECT_THAT(EventLines(PropertyList().namedUnicode(0x8208, u"K\u00F6ln")),
                ElementsAre("LOCATION: K\xC3\xB6ln"));
    EXPECT_THAT(EventLines(PropertyList().string8(0x0070, "")), ElementsAre("SUMMARY:"));
    EXPECT_THAT(EventLines(PropertyList().unicode(0x0070, u"a\\b\nc")),
                ElementsAre("SUMMARY:a\\\\b\\nc"));
    EXPECT_THAT(EventLines(PropertyList().string8(0x0070, "\xCF\xF0\xE8"), 1251),
                ElementsAre("SUMMARY:\xD0\x9F\xD1\x80\xD0\xB8"));
    // A description that does not decompress is left out.
    EXPECT_THAT(EventLines(PropertyList().binary(0x1009, "not compressed rtf at all")), IsEmpty());
    EXPECT_THAT(EventLines(PropertyList().binary(0x1009, uncompressedRtf("{\\rtf1 Hi}"))),
                ElementsAre("DESCRIPTION: Hi"));
}

TEST(CalendarEvent, TimesFallBackToTheCommonOnes) {
    EXPECT_THAT(EventLines(PropertyList()
                               .namedSysTime(0x8516, fileTime(2001, 2, 3, 4, 5, 6))
                               .namedSysTime(0x8517, fileTime(2001, 2, 3, 5, 5, 6))),
                ElementsAre("DTSTART:20010203T040506Z", "DTEND:20010203T050506Z"));
    EXPECT_THAT(EventLines(PropertyList()
                               .namedSysTime(0x8516, fileTime(2001, 1, 1))
                               .namedSysTime(0x820D, fileTime(1999, 12, 31, 23, 59, 59))
                               .namedSysTime(0x8202, fileTime(1601, 1, 1))),
                ElementsAre("DTSTART:19991231T235959Z", "CREATED:16010101T000000Z"));
}

TEST(CalendarEvent, ClassIsPrivateOnlyForOne) {
    EXPECT_THAT(EventLines(PropertyList().namedBoolean(0x8506, 1)), ElementsAre("CLASS:PRIVATE"));
    EXPECT_THAT(EventLines(PropertyList().namedBoolean(0x8506, 0)), ElementsAre("CLASS:PUBLIC"));
    EXPECT_THAT(EventLines(PropertyList().namedBoolean(0x8506, 2)), ElementsAre("CLASS:PUBLIC"));
    EXPECT_THAT(EventLines(PropertyList().namedBoolean(0x8506, 0x101)),
                ElementsAre("CLASS:PUBLIC"));
}

// The card's span, in a zone one hour east of UTC with no summer time.
struct SpanCase {
    const char* name;
    CalendarTime start;
    CalendarTime end;
    bool allDay;
    std::string words;
};

class CalendarCardSpan : public ::testing::TestWithParam<SpanCase> {
  protected:
    void SetUp() override {
        const char* zone = std::getenv("TZ");
        savedZone_ = zone ? std::optional<std::string>(zone) : std::nullopt;
        ::setenv("TZ", "XYZ-1", 1);
        ::tzset();
    }
    void TearDown() override {
        if (savedZone_) {
            ::setenv("TZ", savedZone_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

  private:
    std::optional<std::string> savedZone_;
};

TEST_P(CalendarCardSpan, InLocalTime) {
    const SpanCase& c = GetParam();
    EXPECT_EQ(WhenWords(c.start, c.end, c.allDay), c.words);
}

// An all-day span runs from local midnight to the midnight after its last day.
INSTANTIATE_TEST_SUITE_P(
    Spans, CalendarCardSpan,
    ::testing::Values(SpanCase{"WithinADay",
                               {2026, 3, 3, 13, 0, 0},
                               {2026, 3, 3, 14, 30, 0},
                               false,
                               "Tuesday, 3 March 2026 14:00–15:30"},
                      SpanCase{"OverMidnightLocally",
                               {2026, 3, 3, 22, 0, 0},
                               {2026, 3, 3, 23, 30, 0},
                               false,
                               "Tuesday, 3 March 2026 23:00 – Wednesday, 4 March 2026 00:30"},
                      SpanCase{"OneWholeDay",
                               {2026, 3, 2, 23, 0, 0},
                               {2026, 3, 3, 23, 0, 0},
                               true,
                               "Tuesday, 3 March 2026 (all day)"},
                      SpanCase{"ThreeWholeDays",
                               {2026, 2, 27, 23, 0, 0},
                               {2026, 3, 2, 23, 0, 0},
                               true,
                               "Saturday, 28 February 2026 – Monday, 2 March 2026 (all day)"}),
    CaseName());

TEST(CalendarEvent, ShortRecurrencePatternGivesNoLine) {
    EXPECT_THAT(EventLines(PropertyList().namedBinary(0x8216, std::string(30, '\x0B'))), IsEmpty());
    EXPECT_THAT(EventLines(PropertyList().namedBinary(0x8216, std::string(31, '\0'))),
                ElementsAre("RRULE:FREQ="));
}

TEST(CalendarEvent, ListingOnlyRunWritesNoFile) {
    ScratchDir dir;
    const auto listed = Extract(TnefBuilder().messageClass("IPM.Appointment").bytes(), dir, 0);
    EXPECT_EQ(listed, (std::vector<Listed>{{"calendar.vcs", 0, 1}}));
    EXPECT_THAT(dir.fileNames(), IsEmpty());
}

TEST(CalendarEvent, EachAppointmentOfARunHasAFileOfItsOwn) {
    const std::string first = TnefBuilder()
                                  .messageClass("IPM.Appointment")
                                  .messageProps(PropertyList().string8(0x0070, "first"))
                                  .bytes();
    const std::string second = TnefBuilder()
                                   .messageClass(kMeetingRequest)
                                   .messageProps(Meeting().string8(0x0070, "second"))
                                   .bytes();
    ScratchDir dir;
    const auto listed =
        Extract(TnefBuilder()
                    .messageClass("IPM.Microsoft Mail.Note")
                    .attach("a", first)
                    .attach("b", iid() + second, PropertyList().object(0x3701, iid() + second))
                    .bytes(),
                dir);
    EXPECT_EQ(listed, (std::vector<Listed>{{"calendar_2.vcs", 0, 1}, {"calendar.vcs", 0, 1}}));
    EXPECT_THAT(Lines(ReadFile(dir.path() / "calendar.vcs")), Contains("SUMMARY:first"));
    EXPECT_THAT(Lines(ReadFile(dir.path() / "calendar_2.vcs")), Contains("SUMMARY:second"));
}

TEST(CalendarEvent, CorpusAppointmentsAndMeetings) {
    struct Sample {
        const char* file;
        std::vector<std::string> lines;
    };
    const Sample samples[] = {
        {"horde-compress/winmail2.dat",
         {"METHOD:REQUEST", "SUMMARY:Test Meeting",
          Required("Michael Rubinsky (mrubinsk@horde.org)")}},
        {"horde-compress/TnefMeetingRequest.txt.tnef",
         {"SUMMARY:Meeting", "RRULE:FREQ=WEEKLY;INTERVAL=1;BYDAY=MO"}},
        {"verdammelt-tnef/triples.tnef", {"SUMMARY:Sample Summary", "LOCATION: Sample Location"}},
        {"mimekit/christmas.tnef",
         {"SUMMARY:Christmas Celebration!", "RRULE:FREQ=YEARLY;BYMONTH=12;BYMONTHDAY=25"}},
    };
    for (const Sample& sample : samples) {
        if (!HaveCorpus())
            GTEST_SKIP() << "no sample corpus here (see PARCELO_CORPUS_DIR)";
        const std::string path = CorpusFile(sample.file);
        ScratchDir dir;
        ExtractionRun run;
        ASSERT_EQ(ExtractTnefFile(run, path, 1, dir.prefix()), 0);
        const std::vector<std::string> lines = Lines(ReadFile(dir.path() / "calendar.vcs"));
        EXPECT_THAT(lines, IsSupersetOf(sample.lines)) << sample.file;
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), "BEGIN:VCALENDAR");
        EXPECT_EQ(lines.back(), "END:VCALENDAR");
    }
}

}  // namespace
}  // namespace parcelo::testing
