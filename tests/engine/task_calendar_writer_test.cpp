#include "task_calendar_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "extraction_test_support.h"
#include "tnef_builder.h"
#include "writer_test_support.h"

namespace parcelo::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::IsSupersetOf;

// Extracts a task built from `builder` (its class is set here).
std::vector<Listed> ExtractTask(TnefBuilder builder, const PropertyList& props,
                                const ScratchDir& dir, int writeSwitch = 1) {
    return Extract(builder.messageClass("IPM.Task").messageProps(props).bytes(), dir, writeSwitch);
}

// The lines inside the VTODO of a task with the topic "t".
std::vector<std::string> TodoLines(const PropertyList& props, TnefBuilder builder = TnefBuilder()) {
    ScratchDir dir;
    const auto listed = ExtractTask(builder, PropertyList(props).string8(0x0070, "t"), dir);
    EXPECT_EQ(listed, (std::vector<Listed>{{"t.vcs", 0, 1}}));
    const std::vector<std::string> lines = Lines(ReadFile(dir.path() / "t.vcs"));
    EXPECT_GE(lines.size(), 7u);
    if (lines.size() < 7)
        return {};
    EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 5),
                ElementsAre("BEGIN:VCALENDAR", "PRODID:-//The Lantern//Parcelo//EN", "VERSION:2.0",
                            "METHOD:PUBLISH", "BEGIN:VTODO"));
    EXPECT_THAT(std::vector<std::string>(lines.end() - 2, lines.end()),
                ElementsAre("END:VTODO", "END:VCALENDAR"));
    return std::vector<std::string>(lines.begin() + 5, lines.end() - 2);
}

TEST(TaskCalendar, TaskWithEveryLine) {
    ScratchDir dir;
    const auto listed = ExtractTask(TnefBuilder()
                                        .subject("Lunch; today, maybe")
                                        .body("Bring\r\nfood")
                                        .messageId("00000000ABCDEF"),
                                    PropertyList()
                                        .string8(0x0070, "Call Bob ")
                                        .string8(0x0E04, "Ann")
                                        .namedString8(0x8122, "Boss")
                                        .namedString8(0x811F, "Ann; Bob")
                                        .sysTime(0x3007, fileTime(2005, 3, 1, 14, 5, 9))
                                        .namedSysTime(0x8517, fileTime(2005, 3, 10))
                                        .sysTime(0x3008, fileTime(2005, 3, 2, 1, 2, 3))
                                        .namedBoolean(0x8506, 1),
                                    dir);
    EXPECT_EQ(listed, (std::vector<Listed>{{"Call_Bob.vcs", 0, 1}}));
    EXPECT_EQ(ReadFile(dir.path() / "Call_Bob.vcs"),
              "BEGIN:VCALENDAR\n"
              "PRODID:-//The Lantern//Parcelo//EN\n"
              "VERSION:2.0\n"
              "METHOD:PUBLISH\n"
              "BEGIN:VTODO\n"
              "UID:00000000ABCDEF\n"
              "ORGANIZER:Boss\n"
              "ATTENDEE;CN=Ann;ROLE=REQ-PARTICIPANT:Ann\n"
              "ATTENDEE;CN=Bob;ROLE=REQ-PARTICIPANT:Bob\n"
              "SUMMARY:Lunch\\; today\\, maybe\n"
              "DESCRIPTION:Bring\\nfood\n"
              "DTSTAMP:20050301T140509Z\n"
              "DUE:20050310T000000Z\n"
              "LAST-MODIFIED:20050302T010203Z\n"
              "CLASS:PRIVATE\n"
              "END:VTODO\n"
              "END:VCALENDAR\n");
}

TEST(TaskCalendar, TaskWithoutTopicGivesNothing) {
    ScratchDir dir;
    EXPECT_THAT(ExtractTask(TnefBuilder().subject("Subject").messageId("1"),
                            PropertyList().namedString8(0x0070, "named, not standard"), dir),
                IsEmpty());
    EXPECT_THAT(dir.fileNames(), IsEmpty());
}

struct TopicCase {
    const char* name;
    PropertyList props;
    std::string fileName;
};

class TaskFileName : public ::testing::TestWithParam<TopicCase> {};

TEST_P(TaskFileName, ComesFromTheTopic) {
    ScratchDir dir;
    EXPECT_EQ(ExtractTask(TnefBuilder().subject("Subject"), GetParam().props, dir),
              (std::vector<Listed>{{GetParam().fileName, 0, 1}}));
    EXPECT_THAT(dir.fileNames(), ElementsAre(GetParam().fileName));
}

INSTANTIATE_TEST_SUITE_P(
    Topics, TaskFileName,
    ::testing::Values(
        TopicCase{"TrailingSpacesGo", PropertyList().string8(0x0070, " Call  Bob   "),
                  "_Call__Bob.vcs"},
        TopicCase{"OnlySpaces", PropertyList().string8(0x0070, "   "), "_.vcs"},
        TopicCase{"Empty", PropertyList().string8(0x0070, ""), "_.vcs"},
        TopicCase{"OnlySpacesAreTrimmed", PropertyList().string8(0x0070, "x\t"), "x_.vcs"},
        TopicCase{"PathSeparators", PropertyList().string8(0x0070, "../a/b\\c"), "_.._a_b_c.vcs"},
        TopicCase{"TextAfterANul", PropertyList().string8Raw(0x0070, std::string("a\0b\0", 4)),
                  "a.vcs"},
        TopicCase{"CodePage",
                  PropertyList().string8(0x0070,
                                         "\xDC"
                                         "ber"),
                  "\xC3\x9C"
                  "ber.vcs"},
        TopicCase{"UnicodeTopic", PropertyList().unicode(0x0070, u"\u00DCber "),
                  "\xC3\x9C"
                  "ber.vcs"}),
    CaseName());

struct AttendeeCase {
    const char* name;
    PropertyList props;
    std::vector<std::string> lines;
};

class TaskAttendees : public ::testing::TestWithParam<AttendeeCase> {};

TEST_P(TaskAttendees, Lines) {
    EXPECT_EQ(TodoLines(GetParam().props), GetParam().lines);
}

std::string Attendee(const std::string& name) {
    return "ATTENDEE;CN=" + name + ";ROLE=REQ-PARTICIPANT:" + name;
}

INSTANTIATE_TEST_SUITE_P(
    Owners, TaskAttendees,
    ::testing::Values(
        AttendeeCase{"TwoNames",
                     PropertyList().string8(0x0E04, "x").namedString8(0x811F, "Ann; Bob"),
                     {Attendee("Ann"), Attendee("Bob")}},
        AttendeeCase{"TrailingSeparator",
                     PropertyList().string8(0x0E04, "").namedString8(0x811F, "Ann;"),
                     {Attendee("Ann"), Attendee("")}},
        AttendeeCase{"WithoutDisplayTo", PropertyList().namedString8(0x811F, "Ann"), {}},
        AttendeeCase{
            "OnlyTerminator", PropertyList().string8(0x0E04, "x").namedString8(0x811F, ""), {}},
        AttendeeCase{"TrailingSpacesStay",
                     PropertyList().string8(0x0E04, "x").namedString8(0x811F, "  Ann  "),
                     {Attendee("Ann  ")}},
        AttendeeCase{"LineBreaksAndQuotes",
                     PropertyList().string8(0x0E04, "x").namedString8(0x811F, "A \"B\"\r\nC"),
                     {Attendee("A \"B\" C")}},
        AttendeeCase{"UnicodeForms",
                     PropertyList().unicode(0x0E04, u"x").namedUnicode(0x811F, u"Zo\u00EB"),
                     {Attendee("Zo\xC3\xAB")}}),
    CaseName());

TEST(TaskCalendar, OrganizerAndIdentifier) {
    EXPECT_THAT(TodoLines(PropertyList().namedString8(0x8122, "")), ElementsAre("ORGANIZER:"));
    EXPECT_THAT(TodoLines(PropertyList().namedString8(0x8122, "Ann\r\nLee\n")),
                ElementsAre("ORGANIZER:Ann Lee "));
    EXPECT_THAT(TodoLines(PropertyList().namedUnicode(0x8122, u"J\u00F6rg")),
                ElementsAre("ORGANIZER:J\xC3\xB6rg"));
    // The message ID goes in as the stream holds it, not converted.
    EXPECT_THAT(TodoLines(PropertyList(), TnefBuilder().messageId("ab\xE9")),
                ElementsAre("UID:ab\xE9"));
    EXPECT_THAT(TodoLines(PropertyList(), TnefBuilder().messageId("")), IsEmpty());
    EXPECT_THAT(TodoLines(PropertyList(), TnefBuilder().messageId(std::string(60, '7'))),
                ElementsAre("UID:" + std::string(50, '7')));
}

TEST(TaskCalendar, SubjectAndDescription) {
    EXPECT_THAT(TodoLines(PropertyList(), TnefBuilder().subject("")), ElementsAre("SUMMARY:"));
    EXPECT_THAT(TodoLines(PropertyList(), TnefBuilder().oemCodepage(1251).subject("\xC4\xE0")),
                ElementsAre("SUMMARY:\xD0\x94\xD0\xB0"));
    // The body's last character stays when the stream left out its terminator.
    EXPECT_THAT(TodoLines(PropertyList(), TnefBuilder().body("a\\b")),
                ElementsAre("DESCRIPTION:a\\\\b"));
    EXPECT_THAT(TodoLines(PropertyList(), TnefBuilder().body(std::string("line\r\n\0", 7))),
                ElementsAre("DESCRIPTION:line\\n"));
    EXPECT_THAT(TodoLines(PropertyList(), TnefBuilder().body("x")), ElementsAre("DESCRIPTION:x"));
}

TEST(TaskCalendar, TimesAndClass) {
    EXPECT_THAT(TodoLines(PropertyList()
                              .sysTime(0x3008, fileTime(2020, 1, 2, 3, 4, 5))
                              .namedSysTime(0x8517, fileTime(2021, 6, 7))
                              .sysTime(0x3007, fileTime(2019, 12, 31, 23, 59, 59))),
                ElementsAre("DTSTAMP:20191231T235959Z", "DUE:20210607T000000Z",
                            "LAST-MODIFIED:20200102T030405Z"));
    EXPECT_THAT(TodoLines(PropertyList().namedBoolean(0x8506, 1)), ElementsAre("CLASS:PRIVATE"));
    EXPECT_THAT(TodoLines(PropertyList().namedBoolean(0x8506, 0)), ElementsAre("CLASS:PUBLIC"));
    EXPECT_THAT(TodoLines(PropertyList().namedBoolean(0x8506, 2)), ElementsAre("CLASS:PUBLIC"));
    // The flag is read as all four bytes of the value, its padding included.
    EXPECT_THAT(TodoLines(PropertyList().namedBoolean(0x8506, 0xFFFF0001)),
                ElementsAre("CLASS:PUBLIC"));
}

TEST(TaskCalendar, ListingOnlyRunWritesNoFile) {
    ScratchDir dir;
    EXPECT_EQ(ExtractTask(TnefBuilder(), PropertyList().string8(0x0070, "Call Bob"), dir, 0),
              (std::vector<Listed>{{"Call_Bob.vcs", 0, 1}}));
    EXPECT_THAT(dir.fileNames(), IsEmpty());
}

TEST(ItemFiles, FileThatCannotBeCreatedStaysListed) {
    const std::string items[] = {
        TnefBuilder().messageClass("IPM.Appointment").bytes(),
        TnefBuilder()
            .messageClass("IPM.Contact")
            .messageProps(PropertyList().string8(0x3001, "Ann"))
            .bytes(),
        TnefBuilder()
            .messageClass("IPM.Task")
            .messageProps(PropertyList().string8(0x0070, "Call"))
            .bytes(),
    };
    ScratchDir dir;
    const std::string missing = dir.prefix() + "missing/";
    std::vector<std::string> paths;
    for (const std::string& item : items) {
        ExtractionRun run;
        const MemorySource source(item.data(), item.size());
        ExtractTnefStream(run, source, 1, missing);
        for (const ExtractedFile& file : run.files)
            paths.push_back(file.path);
    }
    EXPECT_THAT(paths,
                ElementsAre(missing + "calendar.vcs", missing + "Ann.vcf", missing + "Call.vcs"));
    EXPECT_THAT(dir.fileNames(), IsEmpty());
}

TEST(TaskCalendar, CorpusTasks) {
    struct Sample {
        const char* file;
        const char* fileName;
        std::vector<std::string> lines;
    };
    const Sample samples[] = {
        {"horde-compress/tnef_vnote.tnef",
         "Some_important_task..vcs",
         {"SUMMARY:Some important task.", "DUE:20150109T050000Z"}},
        {"horde-compress/tnef_task.eml.part1.tnef", "Test_Task.vcs", {"SUMMARY:Test Task"}},
        {"mimekit/christmas.tnef", "Sample_Outlook_2016_Task.vcs", {"SUMMARY:Build a train table"}},
    };
    for (const Sample& sample : samples) {
        if (!HaveCorpus())
            GTEST_SKIP() << "no sample corpus here (see PARCELO_CORPUS_DIR)";
        const std::string path = CorpusFile(sample.file);
        ScratchDir dir;
        ExtractionRun run;
        ASSERT_EQ(ExtractTnefFile(run, path, 1, dir.prefix()), 0);
        const std::vector<std::string> lines = Lines(ReadFile(dir.path() / sample.fileName));
        EXPECT_THAT(lines, IsSupersetOf(sample.lines)) << sample.file;
        ASSERT_FALSE(lines.empty()) << sample.file;
        EXPECT_EQ(lines.back(), "END:VCALENDAR");
    }
}

}  // namespace
}  // namespace parcelo::testing
