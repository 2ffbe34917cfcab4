// "Save All..." in the attachment menu: every attachment into one folder under its listed
// name, and files of the same names replaced only when the user says so.
#include <sys/stat.h>
#include <unistd.h>

#include <QListWidget>

#include <gtest/gtest.h>

#include <filesystem>

#include "app_test_support.h"
#include "dialog_template.h"
#include "save_all.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

class SaveAll : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog.fileName = WriteTnef(
            in, "winmail.dat",
            NoteBytes("{\\rtf1 Body}",
                      {{"report one.txt", "the report"}, {"photo.png", "png"}, {"c.txt", "c"}}));
        ASSERT_EQ(dialog.LoadTnefFile(), 1);
        dialog.folderAnswer = QString::fromStdString(target.path().string());
    }
    std::vector<std::string> saved() const { return target.fileNames(); }

    ScratchDir in;
    ScratchDir target;
    TemporaryFolder tmp;
    TestDialog dialog;
};

TEST_F(SaveAll, IsTheMenusThirdCommandAndWritesEveryAttachmentUnderItsListedName) {
    dialog.attachmentList()->setCurrentRow(0);
    dialog.menuChoice = kIdmSaveAll;
    dialog.ShowAttachmentMenu();
    EXPECT_EQ(dialog.menuTexts, QStringList({"Open", "Save as...", "Save All..."}));
    EXPECT_EQ(dialog.folderQuestions, 1);
    EXPECT_TRUE(dialog.questions.empty());
    EXPECT_TRUE(dialog.messages.empty());
    EXPECT_EQ(saved(), std::vector<std::string>({"c.txt", "photo.png", "report_one.txt"}));
    EXPECT_EQ(ReadFile(target.path() / "report_one.txt"), "the report");
    EXPECT_EQ(ReadFile(target.path() / "photo.png"), "png");
}

TEST_F(SaveAll, ACancelledFolderSavesNothing) {
    dialog.folderAnswer.clear();
    dialog.SaveAllAttachments();
    EXPECT_EQ(dialog.folderQuestions, 1);
    EXPECT_TRUE(saved().empty());
}

TEST_F(SaveAll, ExistingNamesAreAskedAboutOnceForAll) {
    WriteFile(target.path() / "photo.png", "mine");
    WriteFile(target.path() / "c.txt", "mine too");

    dialog.choiceAnswer = 2;  // Cancel: nothing at all is written
    dialog.SaveAllAttachments();
    ASSERT_EQ(dialog.questions.size(), 1u);
    EXPECT_EQ(dialog.questions[0].icon, QMessageBox::Question);
    EXPECT_EQ(dialog.questions[0].text,
              "2 files of these names already exist in " + dialog.folderAnswer +
                  ":\n\nc.txt\nphoto.png\n\nDo you want to replace them?");
    EXPECT_EQ(dialog.questions[0].buttons, QStringList({"Replace", "Keep Existing", "Cancel"}));
    EXPECT_EQ(saved(), std::vector<std::string>({"c.txt", "photo.png"}));

    dialog.choiceAnswer = -1;  // dismissed with Esc: the same
    dialog.SaveAllAttachments();
    EXPECT_EQ(saved(), std::vector<std::string>({"c.txt", "photo.png"}));

    dialog.choiceAnswer = 1;  // keep them, save the rest
    dialog.SaveAllAttachments();
    EXPECT_EQ(dialog.questions.size(), 3u);
    EXPECT_EQ(ReadFile(target.path() / "photo.png"), "mine");
    EXPECT_EQ(ReadFile(target.path() / "c.txt"), "mine too");
    EXPECT_EQ(ReadFile(target.path() / "report_one.txt"), "the report");

    fs::remove(target.path() / "c.txt");
    dialog.choiceAnswer = 0;  // replace
    dialog.SaveAllAttachments();
    ASSERT_EQ(dialog.questions.size(), 4u);
    EXPECT_EQ(dialog.questions[3].text,
              "2 files of these names already exist in " + dialog.folderAnswer +
                  ":\n\nphoto.png\nreport_one.txt\n\nDo you want to replace them?");
    EXPECT_EQ(ReadFile(target.path() / "photo.png"), "png");
    EXPECT_EQ(ReadFile(target.path() / "c.txt"), "c");
    EXPECT_TRUE(dialog.messages.empty());
}

TEST_F(SaveAll, OneExistingNameIsNamedAndADanglingLinkCountsAsExisting) {
    fs::create_symlink("nowhere", target.path() / "c.txt");
    dialog.choiceAnswer = 1;
    dialog.SaveAllAttachments();
    ASSERT_EQ(dialog.questions.size(), 1u);
    EXPECT_EQ(dialog.questions[0].text, "A file of this name already exists in " +
                                            dialog.folderAnswer +
                                            ":\n\nc.txt\n\nDo you want to replace it?");
    EXPECT_TRUE(fs::is_symlink(target.path() / "c.txt"));
    EXPECT_FALSE(fs::exists(target.path() / "nowhere"));
}

TEST_F(SaveAll, AFolderThatTakesNoFilesIsReportedOnce) {
    dialog.folderAnswer = QString::fromStdString((target.path() / "missing").string());
    dialog.SaveAllAttachments();
    ASSERT_EQ(dialog.messages.size(), 1u);
    EXPECT_EQ(dialog.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(dialog.messages[0].text, dialog.folderAnswer +
                                           "/c.txt contains an invalid path.\n\n"
                                           "3 of the 3 files were not saved.");
}

TEST(SaveAllQuestion, ListsTenNamesAndCountsTheRest) {
    QStringList names;
    for (int i = 0; i < 12; ++i)
        names << QString("f%1.txt").arg(i);
    const QString text = ReplaceExistingText(names, "/out");
    EXPECT_TRUE(text.startsWith("12 files of these names already exist in /out:\n\nf0.txt\n"));
    EXPECT_TRUE(text.contains("f9.txt\n(and 2 more)\n\n"));
    EXPECT_FALSE(text.contains("f10.txt"));
}

}  // namespace
}  // namespace parcelo::testing
