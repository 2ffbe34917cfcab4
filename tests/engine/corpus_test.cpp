// Real-world streams written by others: each runs through the engine whole, and gives the
// files it is known to hold.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "corpus.h"
#include "extraction_run.h"
#include "scratch_dir.h"
#include "writer_test_support.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

struct Extracted {
    int result;
    std::vector<std::string> listing;  // "name size" newest first, bodies marked "body:"
    std::vector<ItemCard> cards;
    ScratchDir dir;
};

std::unique_ptr<Extracted> ExtractCorpusFile(const std::string& relative) {
    auto out = std::make_unique<Extracted>();
    ExtractionRun run;
    run.onCard = [&](const ItemCard& card) { out->cards.push_back(card); };
    out->result = ExtractTnefFile(run, CorpusFile(relative), 1, out->dir.prefix());
    for (const ExtractedFile& file : run.files) {
        EXPECT_EQ(file.path.rfind(out->dir.prefix(), 0), 0u) << relative << ": " << file.path;
        EXPECT_TRUE(fs::is_regular_file(file.path)) << relative << ": " << file.path;
        out->listing.push_back((file.isAttachment ? "" : "body:") +
                               file.path.substr(out->dir.prefix().size()));
    }
    return out;
}

class CorpusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HaveCorpus())
            GTEST_SKIP() << "no sample corpus here (see PARCELO_CORPUS_DIR)";
    }
};

TEST_F(CorpusTest, EveryFileRunsThroughWhole) {
    const std::vector<std::string> files = CorpusStreams();
    EXPECT_GE(files.size(), 60u);
    for (const std::string& file : files) {
        const auto extracted = ExtractCorpusFile(file);
        EXPECT_EQ(extracted->result, 0) << file;
        // Nothing but the listed files is written.
        EXPECT_EQ(extracted->dir.fileNames().size(), extracted->listing.size()) << file;
    }
}

// What each file gives, newest first ("body:" marks a message body). Converted items
// (contacts, tasks, appointments and meetings written as calendars) carry their text in their
// own file and get no body file; names equal but for letter case are numbered apart.
const std::map<std::string, std::vector<std::string>> kKnownListings = {
    {"apache-poi-hmef/bug52400-winmail-simple.dat", {"body:untitled0.html"}},
    {"apache-poi-hmef/bug52400-winmail-with-attachments.dat",
     {"Duke_Wave.png", "scion_tc_2007_maintenanceguide.pdf", "body:untitled0.html"}},
    {"apache-poi-hmef/bug63955-winmail.dat", {"SI-61598.pdf", "SI-61597.pdf", "body:Test0.html"}},
    {"apache-poi-hmef/oom.tnef", {}},
    {"apache-poi-hmef/quick-winmail.dat",
     {"quick.xml", "quick.txt", "quick.pdf", "quick.html", "quick.doc", "body:untitled0.rtf"}},
    {"convert-tnef-perl/tnef.doc", {"tmp.out", "body:This_is_a_test0.rtf"}},
    {"horde-compress/history-4f27496471/tnef_vnote", {"foo.vcs", "body:untitled0.rtf"}},
    {"horde-compress/Itip_Reply.eml.part1.tnef", {"calendar.vcs"}},
    {"horde-compress/tnef_task.eml.part1.tnef", {"Test_Task.vcs", "body:untitled0.rtf"}},
    {"horde-compress/tnef_vnote.tnef", {"Some_important_task..vcs", "body:untitled0.rtf"}},
    {"horde-compress/TnefAttachments.txt.tnef", {"hasselhoff_birthday.jpg", "body:untitled0.rtf"}},
    {"horde-compress/TnefAttachmentsMultiple.txt.tnef",
     {"Tulips.jpg", "Penguins.jpg", "Lighthouse.jpg", "body:untitled0.rtf"}},
    {"horde-compress/TnefMeetingRequest.txt.tnef", {"calendar.vcs"}},
    {"horde-compress/winmail2.dat", {"calendar.vcs"}},
    {"ktnef/mapi_attach_data_obj.tnef",
     {"VIA_Nytt_14021.htm", "VIA_Nytt_1402.pdf", "VIA_Nytt_1402.doc", "body:untitled0.rtf"}},
    {"ktnef/umlaut-filename.tnef", {"döcument.pdf", "body:untitled0.rtf"}},
    {"mimekit/christmas.tnef",
     {"kitten-playing-with-a-christmas-tree_2.jpg", "calendar.vcs", "Sample_Outlook_2016_Task.vcs",
      "kitten-playing-with-a-christmas-tree.jpg", "body:untitled0.rtf"}},
    {"mimekit/ukr.eml.part1.tnef", {"body:rr_test_70.html"}},
    {"mimekit/Untitled Attachment.2", {"Sample_Outlook_2016_Task.vcs"}},
    {"mimekit/Untitled Attachment.4", {"kitten-playing-with-a-christmas-tree.jpg", "calendar.vcs"}},
    {"mimekit/winmail.tnef",
     {"Picture_(Device_Independent_Bitmap)_2", "Picture_(Device_Independent_Bitmap)",
      "body:untitled0.rtf"}},
    {"node-tnef/history-13055a1e81/attachments.dat", {"zappa_av1.jpg", "body:untitled0.rtf"}},
    {"node-tnef/history-13055a1e81/panic.dat",
     {"body:Fw:_VIKTIGT:_Vill_att_någon_av_er_gör_följande_ändringar_i_https:__baka.spiderads.eu_"
      "0.html"}},
    {"obm-opush/acceptInv.tnef", {"body:untitled0.rtf"}},
    {"obm-opush/acpInv.tnef", {"body:untitled0.rtf"}},
    {"obm-opush/busy.tnef", {}},
    {"obm-opush/cancelOrrurEvent.eml.part1.tnef", {}},
    {"obm-opush/excptRecur.tnef", {}},
    {"obm-opush/full.tnef", {"body:untitled0.rtf"}},
    {"obm-opush/rdvTNEF.tnef", {"body:untitled0.rtf"}},
    {"obm-opush/recur.tnef", {"body:untitled0.rtf"}},
    {"obm-opush/recurMonthly.tnef", {}},
    {"obm-opush/recurWeekly.tnef", {"body:untitled0.rtf"}},
    {"obm-opush/recurYearly.tnef", {}},
    {"obm-opush/test.tnef", {}},
    {"obm-opush/troisAtt.tnef", {"body:untitled0.rtf"}},
    {"pytnef/winmail-1.dat", {"body:untitled0.rtf"}},
    {"qualityunit-tnefdecoder/invalid-checksum.tnef", {"body:0.rtf"}},
    {"roundcube/winmail-10193.tnef",
     {"image_3.png", "image_2.png", "image.png",
      "body:_..Re:_Vyzva_Teplotka_Ordinace_perioperacni_pece0.html"}},
    {"teamwork-tnef/attachments.tnef", {"bookmark.htm", "zappa_av1.jpg", "body:untitled0.rtf"}},
    {"teamwork-tnef/badchecksum.tnef", {}},
    {"teamwork-tnef/history-0fdafee76b/winmail.dat",
     {"image003.png", "image002.jpg", "image001.jpg",
      "body:Fw:_VIKTIGT:_Vill_att_någon_av_er_gör_följande_ändringar_i_https:__baka.spiderads.eu_"
      "0.html"}},
    {"teamwork-tnef/panic.tnef",
     {"image003.png", "image002.jpg", "image001.jpg",
      "body:Fw:_VIKTIGT:_Vill_att_någon_av_er_gör_följande_ändringar_i_https:__baka.spiderads.eu_"
      "0.html"}},
    {"tnefparse/bad_checksum.tnef", {"image001.png", "body:untitled0.html"}},
    {"tnefparse/duplicate_filename.tnef",
     {"VIA_Nytt_14021.htm", "file_abcdefgh_2.txt", "file_abcdefgh.txt", "body:untitled0.rtf"}},
    {"tnefparse/history-b5e9b7e07d/iso-8859-8-i.tnef",
     {"body:II_CTP_encoding_issue_test_May_31_-_40.html"}},
    {"tnefparse/IPM-DistList.tnef", {"body:untitled0.rtf"}},
    // Its attribute ids leave out their type word.
    {"tnefparse/minimal_attachment.tnef", {"(null)"}},
    {"tnefparse/umlaut.tnef",
     {"UmlautAnhang-äüö.txt", "image003.jpg", "TBZ_PARIV_GmbH.jpg", "body:untitled0.rtf"}},
    {"uponusolutions-tnef/empty-file.tnef", {}},
    {"uponusolutions-tnef/signed.tnef", {"smime.p7m", "body:Outlook_2003_signiert_+_Anhang0.rtf"}},
    {"uponusolutions-tnef/umlaute.tnef",
     // The sender wrote the name with combining diaereses.
     {"Dog_with_o\xCC\x88"
      "a\xCC\x88"
      "u\xCC\x88.jpg",
      "body:Test_mit_Umlauten_öäüß0.html"}},
    {"verdammelt-tnef/body.tnef", {"body:untitled0.html"}},
    {"verdammelt-tnef/data-before-name.tnef",
     {"boot.ini", "CONFIG.SYS", "AUTOEXEC.BAT", "body:untitled0.rtf"}},
    {"verdammelt-tnef/garbage-at-end.tnef", {}},
    {"verdammelt-tnef/history-24c3c3ac22/MAPI_ATTACH_DATA_OBJ.tnef",
     {"VIA_Nytt_14021.htm", "VIA_Nytt_1402.pdf", "VIA_Nytt_1402.doc", "body:untitled0.rtf"}},
    {"verdammelt-tnef/history-29df38cd0f/multi-value-attribute.tnef",
     {"208225_(5_seconds)_Voice_Mail.mp3", "body:untitled0.rtf"}},
    {"verdammelt-tnef/history-3bf66a203d/MAPI_OBJECT.tnef",
     {"Untitled_Attachment", "body:OCTOBER_DISCOUNTED_PRICE_LIST0.rtf"}},
    {"verdammelt-tnef/long-filename.tnef",
     {"allproductsmar2000.dat", "body:RE:_license_file0.rtf"}},
    {"verdammelt-tnef/MAPI_ATTACH_DATA_OBJ.tnef",
     {"VIA_Nytt_14021.htm", "VIA_Nytt_1402.pdf", "VIA_Nytt_1402.doc", "body:untitled0.rtf"}},
    {"verdammelt-tnef/MAPI_OBJECT.tnef",
     {"Untitled_Attachment", "body:OCTOBER_DISCOUNTED_PRICE_LIST0.rtf"}},
    {"verdammelt-tnef/missing-filenames.tnef",
     {"TechlibNOV99.doc", "TechlibDEC99-JAN00.doc", "TechlibDEC99.doc", "generpts.src",
      "body:Y2K_problem_with_Add-DT0.rtf"}},
    {"verdammelt-tnef/multi-name-property.tnef", {}},
    {"verdammelt-tnef/multi-value-attribute.tnef",
     {"208225__5_seconds__Voice_Mail.mp3", "body:untitled0.rtf"}},
    {"verdammelt-tnef/one-file.tnef", {"AUTHORS"}},
    {"verdammelt-tnef/rtf.tnef", {"body:0.rtf"}},
    {"verdammelt-tnef/triples.tnef", {"calendar.vcs"}},
    {"verdammelt-tnef/two-files.tnef", {"README", "AUTHORS"}},
    {"verdammelt-tnef/unicode-mapi-attr-name.tnef",
     {"image003.png", "image002.png", "image001.png", "spaconsole2.cfg",
      "body:RE:_[ZGLOSZENIE]_THU#29044_Aktualizacja_numerów_w_dodatkowych_panelach0.html"}},
    {"verdammelt-tnef/unicode-mapi-attr.tnef", {"example.dat", "body:example0.html"}},
};

TEST_F(CorpusTest, FilesGiveWhatTheyAreKnownToHold) {
    for (const auto& [file, expected] : kKnownListings) {
        EXPECT_THAT(ExtractCorpusFile(file)->listing, ::testing::ElementsAreArray(expected))
            << file;
    }
}

TEST_F(CorpusTest, ContentsAreThoseTheSourcesExpect) {
    const auto oneFile = ExtractCorpusFile("verdammelt-tnef/one-file.tnef");
    const std::string authors = ReadFile(oneFile->dir.path() / "AUTHORS");
    EXPECT_EQ(authors.size(), 244u);
    EXPECT_NE(authors.find("Mark Simpson"), std::string::npos);

    const auto tnefDoc = ExtractCorpusFile("convert-tnef-perl/tnef.doc");
    EXPECT_EQ(ReadFile(tnefDoc->dir.path() / "tmp.out").rfind("This is an attachment", 0), 0u);

    const auto quick = ExtractCorpusFile("apache-poi-hmef/quick-winmail.dat");
    EXPECT_EQ(ReadFile(quick->dir.path() / "untitled0.rtf").rfind("{\\rtf1", 0), 0u);
    EXPECT_EQ(fs::file_size(quick->dir.path() / "quick.doc"), 19968u);

    const auto jpeg = ExtractCorpusFile("horde-compress/TnefAttachments.txt.tnef");
    const std::string photo = ReadFile(jpeg->dir.path() / "hasselhoff_birthday.jpg");
    EXPECT_EQ(photo.size(), 80051u);
    EXPECT_EQ(photo.substr(0, 2), "\xFF\xD8");

    const auto png = ExtractCorpusFile("apache-poi-hmef/bug52400-winmail-with-attachments.dat");
    EXPECT_EQ(ReadFile(png->dir.path() / "Duke_Wave.png").substr(1, 3), "PNG");

    // Content held in PR_ATTACH_DATA_BIN alone, and larger than the library takes.
    const auto dataObj = ExtractCorpusFile("ktnef/mapi_attach_data_obj.tnef");
    EXPECT_EQ(fs::file_size(dataObj->dir.path() / "VIA_Nytt_1402.pdf"), 213685u);
    EXPECT_EQ(ReadFile(dataObj->dir.path() / "VIA_Nytt_1402.pdf").substr(0, 5), "%PDF-");

    // The object form: its 16-byte interface identifier is not part of the file.
    const auto object = ExtractCorpusFile("verdammelt-tnef/MAPI_OBJECT.tnef");
    EXPECT_EQ(fs::file_size(object->dir.path() / "Untitled_Attachment"), 628240u - 16);

    // Three images of one name, each whole and apart.
    const auto roundcube = ExtractCorpusFile("roundcube/winmail-10193.tnef");
    EXPECT_EQ(fs::file_size(roundcube->dir.path() / "image.png"), 34965u);
    EXPECT_EQ(fs::file_size(roundcube->dir.path() / "image_2.png"), 39201u);
    EXPECT_EQ(fs::file_size(roundcube->dir.path() / "image_3.png"), 37205u);

    // HTML bodies are written as stored.
    const auto html = ExtractCorpusFile("apache-poi-hmef/bug52400-winmail-simple.dat");
    EXPECT_NE(ReadFile(html->dir.path() / "untitled0.html").find("This is the message body."),
              std::string::npos);
    const auto hebrew = ExtractCorpusFile("tnefparse/history-b5e9b7e07d/iso-8859-8-i.tnef");
    EXPECT_NE(
        ReadFile(hebrew->dir.path() / "II_CTP_encoding_issue_test_May_31_-_40.html").find("<html"),
        std::string::npos);
}

// The value of the row of that label, or "(none)".
std::string RowOf(const ItemCard& card, const std::string& label) {
    for (const ItemCard::Row& row : card.rows) {
        if (row.label == label)
            return row.value;
    }
    return "(none)";
}

// The value of the first line of that name in a converted file.
std::string FileValue(const std::string& file, const std::string& name) {
    for (const std::string& line : Lines(file)) {
        if (line.rfind(name, 0) == 0)
            return line.substr(name.size());
    }
    return "(none)";
}

TEST_F(CorpusTest, CardsShowWhatTheConvertedFilesHold) {
    // Times are shown in the local zone: here one hour east of UTC, with no summer time.
    const char* const zone = std::getenv("TZ");
    const std::string savedZone = zone ? zone : "";
    ::setenv("TZ", "XYZ-1", 1);
    ::tzset();
    const auto meeting = ExtractCorpusFile("horde-compress/TnefMeetingRequest.txt.tnef");
    if (zone) {
        ::setenv("TZ", savedZone.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
    ASSERT_EQ(meeting->cards.size(), 1u);
    const ItemCard& card = meeting->cards[0];
    const std::string file = ReadFile(meeting->dir.path() / "calendar.vcs");
    EXPECT_EQ(card.kind, ItemCard::Kind::kMeetingRequest);
    EXPECT_EQ(card.title, FileValue(file, "SUMMARY:"));
    EXPECT_EQ(" " + RowOf(card, "Where:"), FileValue(file, "LOCATION:"));
    EXPECT_EQ(FileValue(file, "DTSTART:") + " " + FileValue(file, "DTEND:"),
              "20131223T170000Z 20131223T173000Z");
    EXPECT_EQ(RowOf(card, "When:"), "Monday, 23 December 2013 18:00–18:30");
    EXPECT_EQ(FileValue(file, "RRULE:"), "FREQ=WEEKLY;INTERVAL=1;BYDAY=MO");
    EXPECT_EQ(RowOf(card, "Recurrence:"), "every Monday");
    EXPECT_EQ(RowOf(card, "Attendees:"), "mike@theupstairsroom.com (required)");
    EXPECT_NE(FileValue(file, "ATTENDEE;").find("ROLE=REQ-PARTICIPANT"), std::string::npos);

    const auto christmas = ExtractCorpusFile("mimekit/christmas.tnef");
    const std::string organizer =
        FileValue(ReadFile(christmas->dir.path() / "calendar.vcs"), "ORGANIZER;");
    const auto appointment =
        std::find_if(christmas->cards.begin(), christmas->cards.end(),
                     [](const ItemCard& c) { return c.kind == ItemCard::Kind::kAppointment; });
    ASSERT_NE(appointment, christmas->cards.end());
    EXPECT_EQ(organizer.substr(organizer.find(":MAILTO:") + 8), RowOf(*appointment, "Organizer:"));

    // A distribution list has no file, only its card.
    const auto list = ExtractCorpusFile("tnefparse/IPM-DistList.tnef");
    ASSERT_EQ(list->cards.size(), 1u);
    EXPECT_EQ(list->cards[0].kind, ItemCard::Kind::kDistributionList);
    EXPECT_EQ(list->cards[0].title, "XXXXnews");
    const std::vector<std::string> members = Lines(RowOf(list->cards[0], "Members:"));
    EXPECT_EQ(members.size(), 76u);
    // The names and addresses are UTF-16 in their one-off entry IDs.
    EXPECT_EQ(members.front(), "Axxxxx, Mxxxxxxx Jxxxxxx <xxxxxxxxxxx101@gmail.com>");
    EXPECT_EQ(members.back(), "Lxxx Jxxx <xxxxxxx173@aol.com>");
}

}  // namespace
}  // namespace parcelo::testing
