#include "extraction_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "extraction_test_support.h"
#include "tnef_builder.h"
#include "tnef_library.h"

namespace parcelo::testing {
namespace {

using ::testing::ElementsAre;

const std::string kNote = "IPM.Microsoft Mail.Note";
const std::string kRtf = "{\\rtf1\\ansi Hello\\par}";

PropertyList RtfBody(const std::string& rtf = kRtf) {
    return PropertyList().binary(0x1009, compressRtf(rtf));
}

TEST(BodyFile, IsNamedFromTheSubjectAndCounter) {
    ScratchDir dir;
    const auto listed = Extract(
        TnefBuilder().messageClass(kNote).subject("Hello World").messageProps(RtfBody()).bytes(),
        dir);
    ASSERT_EQ(listed, (std::vector<Listed>{{"Hello_World0.rtf", int64_t(kRtf.size()), 0}}));
    EXPECT_EQ(ReadFile(dir.path() / "Hello_World0.rtf"), kRtf);
}

TEST(BodyFile, NamesWithoutSubjectOrWithAnEmptyOne) {
    ScratchDir dir;
    EXPECT_THAT(
        Names(Extract(TnefBuilder().messageClass(kNote).messageProps(RtfBody()).bytes(), dir)),
        ElementsAre("untitled0.rtf"));
    // An empty subject still counts as a subject.
    EXPECT_THAT(
        Names(Extract(TnefBuilder().messageClass(kNote).subject("").messageProps(RtfBody()).bytes(),
                      dir)),
        ElementsAre("0.rtf"));
    // So does a zero-length attSubject, which the library alone would stop at.
    EXPECT_THAT(Names(Extract(TnefBuilder()
                                  .messageClass(kNote)
                                  .attribute(kLevelMessage, kAttSubject, "")
                                  .messageProps(RtfBody())
                                  .bytes(),
                              dir)),
                ElementsAre("0.rtf"));
}

TEST(BodyFile, EveryMessageButAConvertedItemGetsOne) {
    ScratchDir dir;
    for (const char* cls :
         {"IPM.Microsoft Mail.Note", "IPM.Note", "IPM.Note.SMIME", "IPM.Microsoft Schedule.MtgReq",
          "IPM.Schedule.Meeting.Resp.Pos", "IPM.Note.Microsoft.Voicemail.UM.CA", ""}) {
        EXPECT_THAT(
            Extract(TnefBuilder().messageClass(cls).subject("s").messageProps(RtfBody()).bytes(),
                    dir),
            ElementsAre(Listed{"s0.rtf", int64_t(kRtf.size()), 0}))
            << cls;
    }
    // Contacts, tasks and appointments carry their text in their converted file.
    for (const char* cls : {"IPM.Contact", "IPM.Task", "IPM.Appointment"}) {
        for (const Listed& l :
             Extract(TnefBuilder().messageClass(cls).subject("s").messageProps(RtfBody()).bytes(),
                     dir)) {
            EXPECT_NE(l.isAttachment, 0) << cls;
        }
    }
    // So do meeting items that are written as a calendar.
    EXPECT_THAT(Extract(TnefBuilder()
                            .messageClass("IPM.Microsoft Schedule.MtgReq")
                            .subject("s")
                            .messageProps(RtfBody().namedString8(0x0024, "IPM.Appointment"))
                            .bytes(),
                        dir),
                ElementsAre(Listed{"calendar.vcs", 0, 1}));
    // A message with no body of any kind gets none; its attachments still come.
    EXPECT_THAT(
        Names(Extract(TnefBuilder().messageClass(kNote).subject("s").attach("a.txt", "x").bytes(),
                      dir)),
        ElementsAre("a.txt"));
    // A compressed value that does not decompress: no body.
    EXPECT_TRUE(Extract(TnefBuilder()
                            .messageClass(kNote)
                            .messageProps(PropertyList().binary(0x1009, "garbage that is not rtf"))
                            .bytes(),
                        dir)
                    .empty());
}

TEST(BodyFile, ReadsTheUncompressedForm) {
    ScratchDir dir;
    const auto listed =
        Extract(TnefBuilder()
                    .messageClass(kNote)
                    .subject("m")
                    .messageProps(PropertyList().binary(0x1009, uncompressedRtf(kRtf)))
                    .bytes(),
                dir);
    ASSERT_THAT(Names(listed), ElementsAre("m0.rtf"));
    EXPECT_EQ(ReadFile(dir.path() / "m0.rtf"), kRtf);
}

// The bodies a message without RTF is given, in the order they are looked for.
struct BodyCase {
    const char* name;
    PropertyList props;
    std::string attBody;  // the attBody attribute's text, when not empty
    const char* file;     // the body file's name; empty for no body
    std::string content;
};

class BodyForms : public ::testing::TestWithParam<BodyCase> {};

TEST_P(BodyForms, TheFirstThatHoldsTextIsWritten) {
    const BodyCase& c = GetParam();
    TnefBuilder stream;
    stream.messageClass("IPM.Note").subject("s").oemCodepage(1252).messageProps(c.props);
    if (!c.attBody.empty())
        stream.body(c.attBody);
    ScratchDir dir;
    const auto listed = Extract(stream.bytes(), dir);
    if (std::string(c.file).empty()) {
        EXPECT_THAT(listed, ::testing::IsEmpty());
        return;
    }
    EXPECT_EQ(listed, (std::vector<Listed>{{c.file, int64_t(c.content.size()), 0}}));
    EXPECT_EQ(ReadFile(dir.path() / c.file), c.content);
}

const std::string kHtml = "<html><body>Hi</body></html>";

INSTANTIATE_TEST_SUITE_P(
    Bodies, BodyForms,
    ::testing::Values(
        // HTML as stored: a binary value whole, an 8-bit one up to its NUL, UTF-16 as UTF-8.
        BodyCase{"HtmlBinaryWhole", PropertyList().binary(0x1013, kHtml + '\0' + "tail"), "",
                 "s0.html", kHtml + '\0' + "tail"},
        BodyCase{"HtmlString8", PropertyList().string8(0x1013, "<p>caf\xE9</p>"), "", "s0.html",
                 "<p>caf\xE9</p>"},
        BodyCase{"HtmlUnicode", PropertyList().unicode(0x1013, u"<p>caf\u00e9 \u5c71</p>"), "",
                 "s0.html", "<p>caf\xC3\xA9 \xE5\xB1\xB1</p>"},
        // An HTML value with no text before its NUL is no HTML body.
        BodyCase{
            "HtmlEmptyFallsToText",
            PropertyList().binary(0x1013, std::string("\0<p>x</p>", 9)).string8(0x1000, "plain"),
            "", "s0.txt", "plain"},
        BodyCase{"HtmlBeforeText", PropertyList().string8(0x1000, "plain").binary(0x1013, kHtml),
                 "", "s0.html", kHtml},
        // Plain text in UTF-8, up to its first NUL; UTF-16 when there is no 8-bit form.
        BodyCase{"TextString8", PropertyList().string8Raw(0x1000, std::string("caf\xE9\0rest", 9)),
                 "", "s0.txt", "caf\xC3\xA9"},
        BodyCase{"TextUnicode", PropertyList().unicode(0x1000, u"\u5c71\u7530"), "", "s0.txt",
                 "\xE5\xB1\xB1\xE7\x94\xB0"},
        BodyCase{"TextFromAttBody", PropertyList(), "line one\r\nline two", "s0.txt",
                 "line one\r\nline two"},
        BodyCase{"EmptyTextFallsToAttBody", PropertyList().string8(0x1000, ""), "att body",
                 "s0.txt", "att body"},
        BodyCase{"NothingWithText", PropertyList().string8(0x1000, "").binary(0x1013, ""), "", "",
                 ""},
        // RTF comes first; an RTF value that decompresses to nothing counts as absent.
        BodyCase{"RtfOnly", PropertyList().binary(0x1009, compressRtf(kRtf)).binary(0x1013, kHtml),
                 "text", "s0.rtf", kRtf},
        BodyCase{"EmptyRtfFallsToHtml",
                 PropertyList().binary(0x1009, compressRtf("")).binary(0x1013, kHtml), "",
                 "s0.html", kHtml}),
    [](const ::testing::TestParamInfo<BodyCase>& row) { return std::string(row.param.name); });

TEST(BodyFile, EachBodyTakesTheNextNumber) {
    ScratchDir dir;
    const std::string html = TnefBuilder()
                                 .messageClass("IPM.Note")
                                 .subject("h")
                                 .messageProps(PropertyList().binary(0x1013, kHtml))
                                 .bytes();
    const std::string text =
        TnefBuilder().messageClass("IPM.Note").subject("t").body("just text").bytes();
    const auto listed = Extract(TnefBuilder()
                                    .messageClass(kNote)
                                    .subject("r")
                                    .messageProps(RtfBody())
                                    .attach("a.dat", html)
                                    .attach("b.dat", text)
                                    .bytes(),
                                dir);
    EXPECT_EQ(listed, (std::vector<Listed>{{"t2.txt", 9, 0},
                                           {"h1.html", int64_t(kHtml.size()), 0},
                                           {"r0.rtf", int64_t(kRtf.size()), 0}}));
}

TEST(BodyFile, CarriesTheCodePageOfItsHtml) {
    const auto codePageOf = [](const PropertyList& props, uint32_t oem) {
        ExtractionRun run;
        const std::string stream =
            TnefBuilder().oemCodepage(oem).messageClass("IPM.Note").messageProps(props).bytes();
        const MemorySource source(stream.data(), stream.size());
        ExtractTnefStream(run, source, 0, std::nullopt);
        return run.files.empty() ? 0u : run.files.newest().codePage;
    };
    const PropertyList html = PropertyList().binary(0x1013, kHtml);
    EXPECT_EQ(codePageOf(html, 1255), 1255u);
    EXPECT_EQ(codePageOf(PropertyList(html).long32(0x3FDE, 1251), 1252), 1251u);
    // Mail marked US-ASCII is read as browsers read it, as Windows-1252.
    EXPECT_EQ(codePageOf(PropertyList(html).long32(0x3FDE, 20127), 1252), 1252u);
}

TEST(BodyFile, ALongSubjectIsShortenedBeforeTheCounterAndExtension) {
    ScratchDir dir;
    const std::string subject(300, 's');
    for (const auto& [props, extension] :
         {std::pair{RtfBody(), std::string(".rtf")},
          std::pair{PropertyList().binary(0x1013, kHtml), std::string(".html")},
          std::pair{PropertyList().string8(0x1000, "t"), std::string(".txt")}}) {
        const auto listed = Extract(
            TnefBuilder().messageClass("IPM.Note").subject(subject).messageProps(props).bytes(),
            dir);
        ASSERT_EQ(listed.size(), 1u);
        EXPECT_EQ(listed[0].name, std::string(255 - 1 - extension.size(), 's') + "0" + extension);
    }
    // A subject with a dot of its own keeps its counter too.
    const auto dotted = Extract(TnefBuilder()
                                    .messageClass("IPM.Note")
                                    .subject(subject + ".x")
                                    .messageProps(RtfBody())
                                    .bytes(),
                                dir);
    ASSERT_EQ(dotted.size(), 1u);
    EXPECT_EQ(dotted[0].name, std::string(250, 's') + "0.rtf");
}

TEST(BodyFile, IsListedButNotWrittenInAListingOnlyRun) {
    ScratchDir dir;
    EXPECT_THAT(Names(Extract(TnefBuilder()
                                  .messageClass(kNote)
                                  .subject("s")
                                  .messageProps(RtfBody())
                                  .attach("a", "b")
                                  .bytes(),
                              dir, 0)),
                ElementsAre("a", "s0.rtf"));
    EXPECT_TRUE(dir.fileNames().empty());
}

TEST(Attachments, AreListedNewestFirstWithTheirContent) {
    ScratchDir dir;
    const auto listed = Extract(TnefBuilder()
                                    .messageClass(kNote)
                                    .subject("s")
                                    .messageProps(RtfBody())
                                    .attach("A.txt", "first")
                                    .attach("B.txt", "second!")
                                    .bytes(),
                                dir);
    EXPECT_EQ(listed, (std::vector<Listed>{
                          {"B.txt", 7, 1}, {"A.txt", 5, 1}, {"s0.rtf", int64_t(kRtf.size()), 0}}));
    EXPECT_EQ(ReadFile(dir.path() / "A.txt"), "first");
    EXPECT_EQ(ReadFile(dir.path() / "B.txt"), "second!");
}

TEST(Attachments, TakeTheirNameFromLongNameThenDisplayNameThenTitle) {
    ScratchDir dir;
    const auto listed = Extract(
        TnefBuilder()
            .attach("TITLE1.TXT", "1",
                    PropertyList().string8(0x3001, "display 1").string8(0x3707, "long name 1.txt"))
            .attach("TITLE2.TXT", "2", PropertyList().string8(0x3001, "display 2"))
            .attach("TITLE3.TXT", "3")
            .attachmentStart()
            .attachData("4")
            .attach("", "5", PropertyList().unicode(0x3707, u"\u5c71\u7530\u592a\u90ce.txt"))
            .bytes(),
        dir);
    EXPECT_THAT(Names(listed), ElementsAre("山田太郎.txt", "(null)", "TITLE3.TXT", "display_2",
                                           "long_name_1.txt"));
}

TEST(Attachments, WithTheSameNameLetterCaseAsideAreNumberedAndKeepTheirContent) {
    ScratchDir dir;
    const auto listed = Extract(TnefBuilder()
                                    .oemCodepage(65001)
                                    .attach("Report.TXT", "one")
                                    .attach("report.txt", "two")
                                    .attach("RÉSUMÉ.txt", "three")
                                    .attach("résumé.TXT", "four")
                                    .attach("REPORT.txt", "five")
                                    .bytes(),
                                dir);
    EXPECT_EQ(listed, (std::vector<Listed>{{"REPORT_3.txt", 4, 1},
                                           {"résumé_2.TXT", 4, 1},
                                           {"RÉSUMÉ.txt", 5, 1},
                                           {"report_2.txt", 3, 1},
                                           {"Report.TXT", 3, 1}}));
    EXPECT_EQ(ReadFile(dir.path() / "Report.TXT"), "one");
    EXPECT_EQ(ReadFile(dir.path() / "report_2.txt"), "two");
    EXPECT_EQ(ReadFile(dir.path() / "RÉSUMÉ.txt"), "three");
    EXPECT_EQ(ReadFile(dir.path() / "résumé_2.TXT"), "four");
    EXPECT_EQ(ReadFile(dir.path() / "REPORT_3.txt"), "five");
}

TEST(Attachments, NumbersGoBeforeTheLastDotOfTheName) {
    ScratchDir dir;
    const auto names = [&](const std::string& name, const std::string& taken = "") {
        TnefBuilder stream;
        stream.attach(name, "1");
        if (!taken.empty())
            stream.attach(taken, "t");
        stream.attach(name, "2").attach(name, "3");
        return Names(Extract(stream.bytes(), dir));
    };
    EXPECT_THAT(names("image.png"), ElementsAre("image_3.png", "image_2.png", "image.png"));
    EXPECT_THAT(names("README"), ElementsAre("README_3", "README_2", "README"));
    EXPECT_THAT(names("a.tar.gz"), ElementsAre("a.tar_3.gz", "a.tar_2.gz", "a.tar.gz"));
    // A name that begins with its only dot has no extension.
    EXPECT_THAT(names(".profile"), ElementsAre("_.profile_3", "_.profile_2", "_.profile"));
    // A number already taken by another file is passed over.
    EXPECT_THAT(names("x.txt", "X_2.TXT"), ElementsAre("x_4.txt", "x_3.txt", "X_2.TXT", "x.txt"));
    // Names made safe first: these are the same name.
    EXPECT_THAT(names("a b"), ElementsAre("a_b_3", "a_b_2", "a_b"));
}

TEST(Attachments, NumberedNamesStillFitIn255Bytes) {
    ScratchDir dir;
    const std::string longName = std::string(300, 'n') + ".txt";
    const auto listed =
        Extract(TnefBuilder().attach(longName, "1").attach(longName, "2").bytes(), dir);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1].name, std::string(251, 'n') + ".txt");
    EXPECT_EQ(listed[0].name, std::string(249, 'n') + "_2.txt");
    EXPECT_EQ(ReadFile(dir.path() / listed[0].name), "2");
}

TEST(Attachments, NamesDifferingOnlyBesideTheLetters) {
    // "@" and "[" lie just before and after "A".."Z", "`" and "{" around "a".."z": only the
    // letters themselves fold.
    ScratchDir dir;
    const auto listed = Extract(TnefBuilder()
                                    .attach("A", "1")
                                    .attach("a", "2")
                                    .attach("Z", "3")
                                    .attach("z", "4")
                                    .attach("@", "5")
                                    .attach("`", "6")
                                    .attach("[", "7")
                                    .attach("{", "8")
                                    .bytes(),
                                dir);
    EXPECT_THAT(Names(listed), ElementsAre("{", "[", "`", "@", "z_2", "Z", "a_2", "A"));
    EXPECT_EQ(dir.fileNames().size(), 8u);
}

TEST(Attachments, WithoutContentAreListedEmptyWhenTheyHaveAName) {
    ScratchDir dir;
    const auto listed =
        Extract(TnefBuilder()
                    .attachmentStart()
                    .attachTitle("AUTOEXEC.BAT")
                    .attachmentStart()
                    .attachTitle("CONFIG.SYS")
                    .attachData("")
                    .attachmentStart()
                    .attachProps(PropertyList().string8(0x3707, "props only.txt"))
                    .attachmentStart()  // no name, no content: nothing to show
                    .attachmentStart()
                    .attachTitle("")
                    .attachProps(PropertyList().string8(0x3707, "").string8(0x3001, ""))
                    .bytes(),
                dir);
    EXPECT_EQ(listed, (std::vector<Listed>{
                          {"props_only.txt", 0, 1}, {"CONFIG.SYS", 0, 1}, {"AUTOEXEC.BAT", 0, 1}}));
    EXPECT_THAT(dir.fileNames(), ElementsAre("AUTOEXEC.BAT", "CONFIG.SYS", "props_only.txt"));
    EXPECT_EQ(ReadFile(dir.path() / "CONFIG.SYS"), "");
}

TEST(Attachments, AnEmptyNameIsNoName) {
    ScratchDir dir;
    const auto listed = Extract(
        TnefBuilder()
            .attach("title 1", "1", PropertyList().string8(0x3707, "").string8(0x3001, "display 1"))
            .attach("title 2", "2", PropertyList().string8(0x3707, "").string8(0x3001, ""))
            .attach("title 3", "3", PropertyList().unicode(0x3707, u"").unicode(0x3001, u""))
            .attach("", "4", PropertyList().string8Raw(0x3001, std::string("\0\0", 2)))
            .attach("", "5")
            .bytes(),
        dir);
    EXPECT_THAT(Names(listed),
                ElementsAre("(null)_2", "(null)", "title_3", "title_2", "display_1"));
}

TEST(Attachments, WithoutAttachDataAreTakenFromTheirProperties) {
    ScratchDir dir;
    const auto listed = Extract(
        TnefBuilder()
            .attachmentStart()
            .attachTitle("obj.doc")
            .attachProps(PropertyList().object(0x3701, iid() + "object bytes"))
            .attachmentStart()
            .attachTitle("bin.doc")
            .attachData("")
            .attachProps(PropertyList().binary(0x3701, "binary bytes"))
            .attachmentStart()
            .attachTitle("nothing.doc")
            .attachData("")
            .attachmentStart()
            .attachTitle("both.doc")
            .attachData("plain data")
            .attachProps(PropertyList().object(0x3701, iid() + "the object").binary(0x3701, "bin"))
            .bytes(),
        dir);
    EXPECT_EQ(
        listed,
        (std::vector<Listed>{
            {"both.doc", 26, 1}, {"nothing.doc", 0, 1}, {"bin.doc", 12, 1}, {"obj.doc", 28, 1}}));
    EXPECT_EQ(ReadFile(dir.path() / "obj.doc"), "object bytes");
    EXPECT_EQ(ReadFile(dir.path() / "bin.doc"), "binary bytes");
    EXPECT_EQ(ReadFile(dir.path() / "both.doc"), "the object");
}

TEST(Attachments, AnObjectTooShortForItsIdentifierHasNoContent) {
    ScratchDir dir;
    const auto listed = Extract(
        TnefBuilder().attach("short.bin", "data", PropertyList().object(0x3701, "tiny")).bytes(),
        dir);
    EXPECT_EQ(listed, (std::vector<Listed>{{"short.bin", 4, 1}}));
    EXPECT_EQ(ReadFile(dir.path() / "short.bin"), "");
}

std::string ForwardedMessage(const std::string& subject, const std::string& attachment) {
    return TnefBuilder()
        .messageClass(kNote)
        .subject(subject)
        .messageProps(RtfBody("{\\rtf1 " + subject + "}"))
        .attach(attachment, "inner " + attachment)
        .bytes();
}

TEST(NestedMessages, AreUnpackedIntoTheSameListAndNotWritten) {
    ScratchDir dir;
    const auto listed = Extract(
        TnefBuilder()
            .messageClass(kNote)
            .subject("outer")
            .messageProps(RtfBody())
            .attach("fwd.dat", "",
                    PropertyList().object(0x3701, iid() + ForwardedMessage("inner one", "x.txt")))
            .attach("winmail.dat", ForwardedMessage("inner two", "y.txt"))
            .bytes(),
        dir);
    EXPECT_THAT(Names(listed),
                ElementsAre("y.txt", "inner_two2.rtf", "x.txt", "inner_one1.rtf", "outer0.rtf"));
    EXPECT_EQ(ReadFile(dir.path() / "y.txt"), "inner y.txt");
    EXPECT_EQ(ReadFile(dir.path() / "inner_one1.rtf"), "{\\rtf1 inner one}");
}

// What the other front ends hand over: a message embedded as a message, and a stream met
// inside another file, both in the run already begun.
TEST(NestedMessages, EmbeddedMessagesAndStreamsOfAnotherFileJoinTheRun) {
    const std::string embedded = ForwardedMessage("embedded", "x.txt");
    const MemorySource embeddedSource(embedded.data(), embedded.size());
    MapiMessage outer;
    outer.attachments.emplace_back().embedded = ReadTnefMessage(embeddedSource, 0);
    const std::string part = ForwardedMessage("part", "y.txt");
    const MemorySource partSource(part.data(), part.size());

    ExtractionRun run;
    std::vector<int> depths;
    run.onMessage = [&](const MessageHeader&, int depth) { depths.push_back(depth); };
    BeginExtractionRun(run, 0, std::nullopt);
    ProcessMessage(run, outer, 0);
    ExtractTnefPart(run, partSource, 1);
    std::vector<std::string> names;
    for (const ExtractedFile& file : run.files)
        names.push_back(file.path);
    EXPECT_THAT(names, ElementsAre("y.txt", "part1.rtf", "x.txt", "embedded0.rtf"));
    EXPECT_THAT(depths, ElementsAre(0, 1, 1));
}

TEST(NestedMessages, ContentThatOnlyBeginsLikeAStreamIsWrittenAsItIs) {
    ScratchDir dir;
    const std::string signature = le32(0x223E9F78);
    for (const std::string& content :
         {signature, signature + le16(1), signature + le16(1) + "no attribute here",
          // An attribute that runs past the end is not read either.
          signature + le16(1) + "\x02" + le32(kAttAttachData) + le32(1000) + "short"}) {
        const auto listed = Extract(TnefBuilder().attach("odd.dat", content).bytes(), dir);
        EXPECT_EQ(listed, (std::vector<Listed>{{"odd.dat", int64_t(content.size()), 1}}));
        EXPECT_EQ(ReadFile(dir.path() / "odd.dat"), content);
    }
    // One whole attribute makes it a message.
    EXPECT_THAT(
        Extract(
            TnefBuilder().attach("msg.dat", TnefBuilder().messageClass("IPM.Note").bytes()).bytes(),
            dir),
        ::testing::IsEmpty());
}

TEST(NestedMessages, AreFollowedThirtyTwoLevelsDeep) {
    // Level 33 is written as the attachment it is.
    std::string stream = TnefBuilder().attach("deepest.txt", "bottom").bytes();
    for (int level = 33; level >= 1; --level) {
        stream = TnefBuilder().attach("level" + std::to_string(level) + ".dat", stream).bytes();
    }
    ScratchDir dir;
    const auto listed = Extract(stream, dir);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, "level33.dat");
}

TEST(DamagedStreams, ReadPastChecksumMismatchesAndEmptyAttributes) {
    ScratchDir dir;
    const auto listed =
        Extract(TnefBuilder()
                    .attribute(kLevelMessage, kAttMessageClass, kNote + '\0', 0xBEEF)
                    .subject("s")
                    .messageProps(RtfBody())
                    .attachmentStart()
                    .attachTitle("empty.txt")
                    .attachData("")
                    .attachmentStart()
                    .attribute(kLevelAttachment, kAttAttachTitle, std::string("after.txt\0", 10), 1)
                    .attachData("still here")
                    .bytes(),
                dir);
    EXPECT_THAT(Names(listed), ElementsAre("after.txt", "empty.txt", "s0.rtf"));
}

TEST(DamagedStreams, StopAtACutOffAttributeOrJunk) {
    ScratchDir dir;
    const std::string whole = TnefBuilder().attach("a.txt", "aaaa").attach("b.txt", "bbbb").bytes();
    // The cut-off data is lost; its attachment keeps the name read before it.
    EXPECT_EQ(Extract(whole.substr(0, whole.size() - 1), dir),
              (std::vector<Listed>{{"b.txt", 0, 1}, {"a.txt", 4, 1}}));
    // Whatever length the cut-off attribute claims.
    for (const uint32_t claimed : {6u, 0x10000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        EXPECT_THAT(Names(Extract(TnefBuilder().attach("a.txt", "a").bytes() + "\x02" +
                                      le32(kAttAttachTitle) + le32(claimed) + "partial",
                                  dir)),
                    ElementsAre("a.txt"))
            << claimed;
    }
    EXPECT_THAT(Names(Extract(
                    TnefBuilder().attach("a.txt", "a").raw("\x4bjunk after the end").bytes(), dir)),
                ElementsAre("a.txt"));
    EXPECT_TRUE(Extract("", dir).empty());
    EXPECT_TRUE(Extract("not a TNEF stream at all", dir).empty());
    EXPECT_TRUE(Extract(le32(0x223E9F78), dir).empty());
}

TEST(DamagedStreams, AttributesWhoseIdsLeaveOutTheirTypeAreRead) {
    ScratchDir dir;
    const auto listed = Extract(
        TnefBuilder()
            .attribute(kLevelMessage, kAttMessageClass & 0xFFFF, std::string("IPM.Note\0", 9))
            .attribute(kLevelAttachment, kAttAttachRendData & 0xFFFF, "")
            .attribute(kLevelAttachment, kAttAttachTitle & 0xFFFF,
                       std::string("typeless.txt\0", 13))
            .attribute(kLevelAttachment, kAttAttachData & 0xFFFF, "data")
            .bytes(),
        dir);
    EXPECT_EQ(listed, (std::vector<Listed>{{"typeless.txt", 4, 1}}));
    EXPECT_EQ(ReadFile(dir.path() / "typeless.txt"), "data");
}

TEST(DamagedStreams, KeepThePropertiesBeforeAnUnreadableOne) {
    ScratchDir dir;
    // An unknown property type, then a size running past the block's end.
    const auto listed = Extract(
        TnefBuilder()
            .attach("t1", "1",
                    PropertyList()
                        .string8(0x3707, "kept.txt")
                        .fixed(0x1234, 0x6D00, le32(1))
                        .string8(0x3001, "lost"))
            .attach("t2", "2",
                    PropertyList()
                        .string8(0x3707, "kept2.txt")
                        .rawTail(le32(0x3001001E) + le32(1) + le32(9999)))
            .attach("t3", "3",
                    PropertyList().countOverride(0xFFFFFFFF).string8(0x3707, "absurd count.txt"))
            .bytes(),
        dir);
    EXPECT_THAT(Names(listed), ElementsAre("absurd_count.txt", "kept2.txt", "kept.txt"));
}

TEST(LibraryFaults, PropertiesTheLibraryRefusesDoNotLoseTheBlock) {
    ScratchDir dir;
    const std::string big(600 * 1024, 'x');
    const auto listed = Extract(
        TnefBuilder()
            .messageClass(kNote)
            // No attSubject: the library would make one up from PR_CONVERSATION_TOPIC.
            .messageProps(
                PropertyList()
                    .namedByString(std::u16string(120, u'n'), kPtString8, std::string("v\0", 2))
                    .fixed(0x0001, kPtCurrency, le64(5))
                    .fixed(0x0002, kPtAppTime, le64(5))
                    .variable(0x0070, kPtString8, {std::string(150, 't') + '\0'})
                    .variable(0x0E04, kPtString8, {std::string("a\0", 2), std::string("b\0", 2)},
                              true)
                    .binary(0x1009, compressRtf(kRtf)))
            .attach("big.bin", "", PropertyList().binary(0x3701, big).string8(0x3707, "big.bin"))
            .attach("after.txt", "x", PropertyList().variable(0x1111, kPtBinary, {"a", "b"}, true))
            .bytes(),
        dir);
    EXPECT_THAT(Names(listed), ElementsAre("after.txt", "big.bin", "untitled0.rtf"));
    EXPECT_EQ(ReadFile(dir.path() / "big.bin"), big);
}

TEST(RepeatedAttributes, TheLastOneCounts) {
    ScratchDir dir;
    const auto listed = Extract(TnefBuilder()
                                    .messageClass("IPM.Note")
                                    .messageClass(kNote)
                                    .subject("first")
                                    .subject("second")
                                    .messageProps(RtfBody("{\\rtf1 one}"))
                                    .messageProps(RtfBody("{\\rtf1 two}"))
                                    .attachmentStart()
                                    .attachTitle("t")
                                    .attachData("old")
                                    .attachData("new")
                                    .attachProps(PropertyList().string8(0x3707, "old.txt"))
                                    .attachProps(PropertyList().string8(0x3707, "new.txt"))
                                    .bytes(),
                                dir);
    EXPECT_THAT(Names(listed), ElementsAre("new.txt", "second0.rtf"));
    EXPECT_EQ(ReadFile(dir.path() / "second0.rtf"), "{\\rtf1 two}");
    EXPECT_EQ(ReadFile(dir.path() / "new.txt"), "new");
}

TEST(DamagedStreams, ForgedAttachmentCountsAreBounded) {
    // Millions of empty attachments cost little stream but much memory and time; past
    // 10,000 the rest of the stream's attachments are not read.
    TnefBuilder builder;
    builder.attach("first.txt", "1");
    std::string empty = TnefBuilder().attachmentStart().bytes().substr(6);
    std::string many;
    for (int i = 0; i < 100000; ++i)
        many += empty;
    builder.raw(many).attach("beyond.txt", "2");
    ScratchDir dir;
    EXPECT_THAT(Names(Extract(builder.bytes(), dir)), ElementsAre("first.txt"));
}

TEST(CodePages, TurnEightBitNamesIntoUtf8) {
    ScratchDir dir;
    EXPECT_THAT(
        Names(Extract(
            TnefBuilder().oemCodepage(1251).attach("\xCF\xF0\xE8\xE2\xE5\xF2.txt", "x").bytes(),
            dir)),
        ElementsAre("Привет.txt"));
    EXPECT_THAT(Names(Extract(TnefBuilder().attach("caf\xE9.txt", "x").bytes(), dir)),
                ElementsAre("café.txt"));
    EXPECT_THAT(
        Names(Extract(TnefBuilder().oemCodepage(65001).attach("caf\xC3\xA9 \xFF.txt", "x").bytes(),
                      dir)),
        ElementsAre("café_\uFFFD.txt"));
    EXPECT_THAT(
        Names(Extract(TnefBuilder().oemCodepage(932).attach("\x93\xFA\x96\x7B.txt", "x").bytes(),
                      dir)),
        ElementsAre("日本.txt"));
    // A code page of 0 means the default.
    EXPECT_THAT(Names(Extract(TnefBuilder()
                                  .oemCodepage(0)
                                  .subject("\xE9")
                                  .messageClass(kNote)
                                  .messageProps(RtfBody())
                                  .bytes(),
                              dir)),
                ElementsAre("é0.rtf"));
}

TEST(CodePages, AreThoseOfEachNestedStream) {
    ScratchDir dir;
    const std::string inner = TnefBuilder().oemCodepage(1251).attach("\xC4.txt", "x").bytes();
    EXPECT_THAT(Names(Extract(TnefBuilder()
                                  .oemCodepage(1252)
                                  .attach("\xC4.dat", inner)
                                  .attach("\xC4.txt", "y")
                                  .bytes(),
                              dir)),
                ElementsAre("Ä.txt", "Д.txt"));
}

TEST(UnsafeNames, NeverLeaveTheOutputDirectory) {
    ScratchDir dir;
    const auto listed = Extract(TnefBuilder()
                                    .attach("../../etc/passwd", "1")
                                    .attach("..", "2")
                                    .attach("a\\b\tc\x7f", "3")
                                    .attach("/abs", "4")
                                    .messageClass(kNote)
                                    .subject("../up")
                                    .messageProps(RtfBody())
                                    .bytes(),
                                dir);
    EXPECT_THAT(Names(listed),
                ElementsAre("_abs", "a_b_c_", "_", "_.._.._etc_passwd", "_.._up0.rtf"));
    EXPECT_THAT(dir.fileNames(),
                ElementsAre("_", "_.._.._etc_passwd", "_.._up0.rtf", "_abs", "a_b_c_"));
}

TEST(UnsafeNames, AreShortenedTo255BytesKeepingTheExtension) {
    ScratchDir dir;
    std::string longName;
    for (int i = 0; i < 100; ++i)
        longName += "é";  // 200 bytes
    longName += std::string(100, 'x') + ".pdf";
    const auto listed =
        Extract(TnefBuilder().oemCodepage(65001).attach(longName, "x").bytes(), dir);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, longName.substr(0, 251) + ".pdf");
    EXPECT_EQ(ReadFile(dir.path() / listed[0].name), "x");
}

TEST(OutputDirectory, KeepsItsSpacesAndIsOptional) {
    ScratchDir dir;
    const auto spaced = dir.path() / "my files";
    std::filesystem::create_directory(spaced);
    ExtractionRun run;
    const std::string stream =
        TnefBuilder().messageClass(kNote).subject("a b").messageProps(RtfBody()).bytes();
    const MemorySource source(stream.data(), stream.size());
    ExtractTnefStream(run, source, 1, spaced.string() + "/");
    ASSERT_EQ(run.files.size(), 1u);
    EXPECT_EQ(run.files.newest().path, spaced.string() + "/a_b0.rtf");
    EXPECT_EQ(ReadFile(spaced / "a_b0.rtf"), kRtf);

    ExtractTnefStream(run, source, 0, std::nullopt);
    EXPECT_EQ(run.files.newest().path, "a_b0.rtf");
}

TEST(ExtractTnefFile, FailsOnlyWhenTheFileCannotBeOpened) {
    ScratchDir dir;
    ExtractionRun run;
    EXPECT_EQ(ExtractTnefFile(run, (dir.path() / "missing.dat").string(), 1, dir.prefix()), -1);
    EXPECT_TRUE(run.files.empty());
    EXPECT_EQ(ExtractTnefFile(run, dir.path().string(), 1, dir.prefix()), -1);
    WriteFile(dir.path() / "text.dat", "just text");
    EXPECT_EQ(ExtractTnefFile(run, (dir.path() / "text.dat").string(), 1, dir.prefix()), 0);
    EXPECT_TRUE(run.files.empty());
}

TEST(OutputFiles, AreNotWrittenThroughSymbolicLinks) {
    ScratchDir dir;
    ScratchDir elsewhere;
    std::filesystem::create_symlink(elsewhere.path() / "target", dir.path() / "a.txt");
    Extract(TnefBuilder().attach("a.txt", "payload").bytes(), dir);
    EXPECT_FALSE(std::filesystem::exists(elsewhere.path() / "target"));
}

}  // namespace
}  // namespace parcelo::testing
