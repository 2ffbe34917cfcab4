// Real-world streams written by others: each runs through the engine whole, and gives the
// files it is known to hold.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "extraction_run.h"
#include "scratch_dir.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = PARCELO_CORPUS_DIR;

// The TNEF files the corpus index lists (it also lists a few files that are not TNEF).
std::vector<std::string> CorpusFiles() {
    std::vector<std::string> files;
    std::ifstream index(kCorpus / "INDEX.tsv");
    std::string line;
    std::getline(index, line);  // the header
    while (std::getline(index, line)) {
        const std::string path = line.substr(0, line.find('\t'));
        if (path.size() > 4 && path.substr(path.size() - 4) == ".txt")
            continue;
        files.push_back(path);
    }
    return files;
}

struct Extracted {
    int result;
    std::vector<std::string> listing;  // "name size" newest first, bodies marked "body:"
    ScratchDir dir;
};

std::unique_ptr<Extracted> ExtractCorpusFile(const std::string& relative) {
    auto out = std::make_unique<Extracted>();
    ExtractionRun run;
    out->result = ExtractTnefFile(run, (kCorpus / relative).string(), 1, out->dir.prefix());
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
        if (kCorpus.empty() || !fs::exists(kCorpus / "INDEX.tsv")) {
            GTEST_SKIP() << "no sample corpus here";
        }
    }
};

TEST_F(CorpusTest, EveryFileRunsThroughWhole) {
    const std::vector<std::string> files = CorpusFiles();
    EXPECT_GE(files.size(), 60u);
    for (const std::string& file : files) {
        const auto extracted = ExtractCorpusFile(file);
        EXPECT_EQ(extracted->result, 0) << file;
        // Nothing but the listed files is written.
        EXPECT_EQ(extracted->dir.fileNames().size(), extracted->listing.size()) << file;
    }
}

// What each file gives, newest first ("body:" marks a message body). Where this differs
// from what other tools show, the reason is a rule of this engine: only attMessageClass
// "IPM.Microsoft Mail.Note" messages get a body file and only from compressed RTF (so
// HTML-only bodies give none); names equal but for letter case are one file; attachments
// with no content anywhere are left out; a present but empty display name names a file "_".
const std::map<std::string, std::vector<std::string>> kKnownListings = {
    {"apache-poi-hmef/bug52400-winmail-simple.dat", {}},
    {"apache-poi-hmef/bug52400-winmail-with-attachments.dat",
     {"Duke_Wave.png", "scion_tc_2007_maintenanceguide.pdf"}},
    {"apache-poi-hmef/bug63955-winmail.dat", {"SI-61598.pdf", "SI-61597.pdf"}},
    {"apache-poi-hmef/oom.tnef", {}},
    {"apache-poi-hmef/quick-winmail.dat",
     {"quick.xml", "quick.txt", "quick.pdf", "quick.html", "quick.doc", "body:untitled0.rtf"}},
    {"convert-tnef-perl/tnef.doc", {"tmp.out", "body:This_is_a_test0.rtf"}},
    {"horde-compress/history-4f27496471/tnef_vnote", {"foo.vcs"}},
    {"horde-compress/Itip_Reply.eml.part1.tnef", {"calendar.vcs"}},
    {"horde-compress/tnef_task.eml.part1.tnef", {"Test_Task.vcs"}},
    {"horde-compress/tnef_vnote.tnef", {"Some_important_task..vcs"}},
    {"horde-compress/TnefAttachments.txt.tnef", {"hasselhoff_birthday.jpg", "body:untitled0.rtf"}},
    {"horde-compress/TnefAttachmentsMultiple.txt.tnef",
     {"Tulips.jpg", "Penguins.jpg", "Lighthouse.jpg", "body:untitled0.rtf"}},
    {"horde-compress/TnefMeetingRequest.txt.tnef", {"calendar.vcs"}},
    {"horde-compress/winmail2.dat", {"calendar.vcs"}},
    {"ktnef/mapi_attach_data_obj.tnef",
     {"VIA_Nytt_14021.htm", "VIA_Nytt_1402.pdf", "VIA_Nytt_1402.doc"}},
    {"ktnef/umlaut-filename.tnef", {"döcument.pdf", "body:untitled0.rtf"}},
    {"mimekit/christmas.tnef",
     {"calendar.vcs", "Sample_Outlook_2016_Task.vcs", "kitten-playing-with-a-christmas-tree.jpg",
      "body:untitled0.rtf"}},
    {"mimekit/ukr.eml.part1.tnef", {}},
    {"mimekit/Untitled Attachment.2", {"Sample_Outlook_2016_Task.vcs"}},
    {"mimekit/Untitled Attachment.4", {"kitten-playing-with-a-christmas-tree.jpg", "calendar.vcs"}},
    {"mimekit/winmail.tnef", {"Picture_(Device_Independent_Bitmap)", "body:untitled0.rtf"}},
    {"node-tnef/history-13055a1e81/attachments.dat", {"zappa_av1.jpg", "body:untitled0.rtf"}},
    {"node-tnef/history-13055a1e81/panic.dat", {}},
    {"obm-opush/acceptInv.tnef", {}},
    {"obm-opush/acpInv.tnef", {}},
    {"obm-opush/busy.tnef", {}},
    {"obm-opush/cancelOrrurEvent.eml.part1.tnef", {}},
    {"obm-opush/excptRecur.tnef", {}},
    {"obm-opush/full.tnef", {}},
    {"obm-opush/rdvTNEF.tnef", {}},
    {"obm-opush/recur.tnef", {}},
    {"obm-opush/recurMonthly.tnef", {}},
    {"obm-opush/recurWeekly.tnef", {}},
    {"obm-opush/recurYearly.tnef", {}},
    {"obm-opush/test.tnef", {}},
    {"obm-opush/troisAtt.tnef", {}},
    {"pytnef/winmail-1.dat", {"body:untitled0.rtf"}},
    {"qualityunit-tnefdecoder/invalid-checksum.tnef", {"body:0.rtf"}},
    {"roundcube/winmail-10193.tnef", {"image.png"}},
    {"teamwork-tnef/attachments.tnef", {"bookmark.htm", "zappa_av1.jpg", "body:untitled0.rtf"}},
    {"teamwork-tnef/badchecksum.tnef", {}},
    {"teamwork-tnef/history-0fdafee76b/winmail.dat",
     {"image003.png", "image002.jpg", "image001.jpg"}},
    {"teamwork-tnef/panic.tnef", {"image003.png", "image002.jpg", "image001.jpg"}},
    {"tnefparse/bad_checksum.tnef", {"image001.png"}},
    {"tnefparse/duplicate_filename.tnef", {"VIA_Nytt_14021.htm", "file_abcdefgh.txt"}},
    {"tnefparse/history-b5e9b7e07d/iso-8859-8-i.tnef", {}},
    {"tnefparse/IPM-DistList.tnef", {"body:untitled0.rtf"}},
    {"tnefparse/minimal_attachment.tnef", {}},
    {"tnefparse/umlaut.tnef",
     {"UmlautAnhang-äüö.txt", "image003.jpg", "TBZ_PARIV_GmbH.jpg", "body:untitled0.rtf"}},
    {"uponusolutions-tnef/empty-file.tnef", {}},
    {"uponusolutions-tnef/signed.tnef", {"smime.p7m"}},
    {"uponusolutions-tnef/umlaute.tnef", {"Dog_with_öäü.jpg"}},
    {"verdammelt-tnef/body.tnef", {}},
    {"verdammelt-tnef/data-before-name.tnef", {"boot.ini", "body:untitled0.rtf"}},
    {"verdammelt-tnef/garbage-at-end.tnef", {}},
    {"verdammelt-tnef/history-24c3c3ac22/MAPI_ATTACH_DATA_OBJ.tnef",
     {"VIA_Nytt_14021.htm", "VIA_Nytt_1402.pdf", "VIA_Nytt_1402.doc"}},
    {"verdammelt-tnef/history-29df38cd0f/multi-value-attribute.tnef",
     {"208225_(5_seconds)_Voice_Mail.mp3"}},
    {"verdammelt-tnef/history-3bf66a203d/MAPI_OBJECT.tnef",
     {"_", "body:OCTOBER_DISCOUNTED_PRICE_LIST0.rtf"}},
    {"verdammelt-tnef/long-filename.tnef",
     {"allproductsmar2000.dat", "body:RE:_license_file0.rtf"}},
    {"verdammelt-tnef/MAPI_ATTACH_DATA_OBJ.tnef",
     {"VIA_Nytt_14021.htm", "VIA_Nytt_1402.pdf", "VIA_Nytt_1402.doc"}},
    {"verdammelt-tnef/MAPI_OBJECT.tnef", {"_", "body:OCTOBER_DISCOUNTED_PRICE_LIST0.rtf"}},
    {"verdammelt-tnef/missing-filenames.tnef",
     {"TechlibNOV99.doc", "TechlibDEC99-JAN00.doc", "TechlibDEC99.doc", "generpts.src",
      "body:Y2K_problem_with_Add-DT0.rtf"}},
    {"verdammelt-tnef/multi-name-property.tnef", {}},
    {"verdammelt-tnef/multi-value-attribute.tnef", {"208225__5_seconds__Voice_Mail.mp3"}},
    {"verdammelt-tnef/one-file.tnef", {"AUTHORS"}},
    {"verdammelt-tnef/rtf.tnef", {"body:0.rtf"}},
    {"verdammelt-tnef/triples.tnef", {"calendar.vcs"}},
    {"verdammelt-tnef/two-files.tnef", {"README", "AUTHORS"}},
    {"verdammelt-tnef/unicode-mapi-attr-name.tnef",
     {"image003.png", "image002.png", "image001.png", "spaconsole2.cfg"}},
    {"verdammelt-tnef/unicode-mapi-attr.tnef", {"example.dat"}},
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
    EXPECT_EQ(fs::file_size(object->dir.path() / "_"), 628240u - 16);
}

}  // namespace
}  // namespace parcelo::testing
