// Opening and saving an attachment, its context menu, and saving the body.
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QListWidget>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <filesystem>

#include "app_test_support.h"
#include "dialog_template.h"
#include "body/rtf/rtf_reader.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

class Commands : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog.fileName = WriteTnef(
            in, "winmail.dat",
            NoteBytes("{\\rtf1\\ansi Dear {\\b Ann}\\par See you\\par}",
                      {{"report one.txt", "the report"}, {"photo.png", "\x89PNG\r\n\x1a\n"}}));
        ASSERT_EQ(dialog.LoadTnefFile(), 1);
    }

    void select(const QString& name) {
        const auto found = dialog.attachmentList()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        dialog.attachmentList()->setCurrentItem(found.first());
    }

    QString out(const std::string& name) const {
        return QString::fromStdString((target.path() / name).string());
    }

    ScratchDir in;
    ScratchDir target;
    TemporaryFolder tmp;
    TestDialog dialog;
};

TEST_F(Commands, OpenHandsTheSelectedFileToTheDesktopAndNothingWithoutASelection) {
    dialog.OpenAttachment();
    EXPECT_TRUE(dialog.opened.isEmpty());
    select("report_one.txt");
    dialog.OpenAttachment();
    EXPECT_EQ(dialog.opened,
              QStringList({QString::fromStdString(dialog.scratchDirectory() + "report_one.txt")}));
}

// What the window system sends for a double click: press, release, double click, release.
void DoubleClick(QWidget* widget, QPoint point) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, point);
}

TEST_F(Commands, DoubleClickOpensTheItemEvenWhenBesideIt) {
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QListWidget* list = dialog.attachmentList();
    list->doItemsLayout();
    const QRect first = list->visualItemRect(list->item(0));
    DoubleClick(list->viewport(), first.center());
    ASSERT_EQ(dialog.opened.size(), 1);
    EXPECT_TRUE(dialog.opened[0].endsWith("/photo.png"));

    // Empty space under the last item, with the first still selected.
    const QPoint below(2, list->viewport()->height() - 2);
    ASSERT_EQ(list->itemAt(below), nullptr);
    DoubleClick(list->viewport(), below);
    EXPECT_EQ(dialog.opened.size(), 2);
    dialog.reject();
}

TEST_F(Commands, TheMenuOpensOnlyWithOneItemSelectedAndRunsTheChosenCommand) {
    dialog.ShowAttachmentMenu();
    EXPECT_EQ(dialog.menusShown, 0);

    select("photo.png");
    dialog.menuChoice = kIdmOpen;
    dialog.ShowAttachmentMenu();
    EXPECT_EQ(dialog.menusShown, 1);
    EXPECT_EQ(dialog.menuTexts, QStringList({"Open", "Save as...", "Save All..."}));
    EXPECT_EQ(dialog.opened.size(), 1);

    dialog.menuChoice = kIdmSaveAs;
    dialog.saveAnswer = out("copy.png");
    dialog.ShowAttachmentMenu();
    EXPECT_EQ(ReadFile(target.path() / "copy.png"), "\x89PNG\r\n\x1a\n");

    dialog.menuChoice = 0;  // dismissed
    dialog.ShowAttachmentMenu();
    EXPECT_EQ(dialog.opened.size(), 1);
    EXPECT_EQ(dialog.saveQuestions.size(), 1u);
}

TEST_F(Commands, SaveAsProposesTheListedNameAndReplacesAnExistingFile) {
    select("report_one.txt");
    dialog.SaveAttachmentAs();  // cancelled
    ASSERT_EQ(dialog.saveQuestions.size(), 1u);
    EXPECT_EQ(dialog.saveQuestions[0].proposedName, "report_one.txt");
    EXPECT_EQ(dialog.saveQuestions[0].filter, "All Files (*)");
    EXPECT_TRUE(dialog.saveQuestions[0].defaultSuffix.isEmpty());
    EXPECT_TRUE(target.fileNames().empty());

    WriteFile(target.path() / "report.txt", "an older and much longer report");
    chmod((target.path() / "report.txt").c_str(), 0640);
    dialog.saveAnswer = out("report.txt");
    dialog.SaveAttachmentAs();
    EXPECT_TRUE(dialog.messages.empty());
    EXPECT_EQ(ReadFile(target.path() / "report.txt"), "the report");
    EXPECT_EQ(fs::status(target.path() / "report.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(target.fileNames(), std::vector<std::string>({"report.txt"}));  // no leftovers
}

TEST_F(Commands, SaveAsThroughALinkReplacesTheFileItNames) {
    select("report_one.txt");
    WriteFile(target.path() / "real.txt", "old");
    fs::create_symlink("real.txt", target.path() / "link.txt");
    dialog.saveAnswer = out("link.txt");
    dialog.SaveAttachmentAs();
    EXPECT_TRUE(fs::is_symlink(target.path() / "link.txt"));
    EXPECT_EQ(ReadFile(target.path() / "real.txt"), "the report");
}

TEST_F(Commands, AFailedSaveAsIsReportedNotSwallowed) {
    select("report_one.txt");
    dialog.saveAnswer = out("no such folder/report.txt");
    dialog.SaveAttachmentAs();
    ASSERT_EQ(dialog.messages.size(), 1u);
    EXPECT_EQ(dialog.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(dialog.messages[0].caption, "app_tests");
    EXPECT_EQ(dialog.messages[0].text, dialog.saveAnswer + " contains an invalid path.");

    // The extracted file went away behind the window's back.
    fs::remove(dialog.scratchDirectory() + "report_one.txt");
    dialog.saveAnswer = out("report.txt");
    dialog.SaveAttachmentAs();
    ASSERT_EQ(dialog.messages.size(), 2u);
    EXPECT_EQ(dialog.messages[1].text,
              QString::fromStdString(dialog.scratchDirectory()) + "report_one.txt was not found.");
    EXPECT_FALSE(fs::exists(target.path() / "report.txt"));
}

TEST_F(Commands, SaveWritesTheBodyAsRtfThatReadsBackToTheSameText) {
    dialog.SaveBody();  // cancelled
    ASSERT_EQ(dialog.saveQuestions.size(), 1u);
    EXPECT_EQ(dialog.saveQuestions[0].proposedName, "message");
    EXPECT_EQ(dialog.saveQuestions[0].defaultSuffix, "rtf");
    EXPECT_EQ(dialog.saveQuestions[0].filter, "Rich Files(*.rtf);;All Files (*)");
    EXPECT_TRUE(target.fileNames().empty());

    WriteFile(target.path() / "message.rtf", std::string(100000, 'x'));
    dialog.saveAnswer = out("message.rtf");
    dialog.SaveBody();
    EXPECT_TRUE(dialog.messages.empty());
    const std::string saved = ReadFile(target.path() / "message.rtf");
    EXPECT_EQ(saved.rfind("{\\rtf1", 0), 0u);
    QTextDocument readBack;
    AppendRtf(readBack, saved);
    EXPECT_EQ(readBack.toPlainText(), dialog.bodyView()->toPlainText());
    EXPECT_TRUE(readBack.toPlainText().contains("Dear Ann"));
}

TEST(SaveBody, WithNothingLoadedStillWritesAnRtfFile) {
    ScratchDir target;
    TestDialog dialog;
    dialog.saveAnswer = QString::fromStdString((target.path() / "empty.rtf").string());
    dialog.SaveBody();
    EXPECT_TRUE(dialog.messages.empty());
    EXPECT_EQ(ReadFile(target.path() / "empty.rtf").rfind("{\\rtf1", 0), 0u);
}

struct SaveFailure {
    const char* name;
    std::string (*target)(const ScratchDir& dir);  // the path to save to
    const char* message;                           // with %1 for the path
};

// While it lives, this thread obeys file permissions even when run as root (as CI does), so
// that a read-only file is one. The capability stays permitted and comes back at the end.
class FilePermissionsObeyed {
  public:
    FilePermissionsObeyed() {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        lowered[0].effective &= ~(1u << CAP_DAC_READ_SEARCH);
        lowered[0].effective &= ~(1u << CAP_FOWNER);
        lowered_ = syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~FilePermissionsObeyed() {
        if (lowered_)
            syscall(SYS_capset, &header_, saved_);
    }
    FilePermissionsObeyed(const FilePermissionsObeyed&) = delete;
    FilePermissionsObeyed& operator=(const FilePermissionsObeyed&) = delete;

  private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool lowered_ = false;
};

class BodySaveFailures : public ::testing::TestWithParam<SaveFailure> {};

TEST_P(BodySaveFailures, ShowTheMessageForTheirCause) {
    ScratchDir dir;
    const std::string path = GetParam().target(dir);
    if (path.empty())
        GTEST_SKIP() << "cannot be arranged here";
    TestDialog dialog;
    dialog.saveAnswer = QString::fromStdString(path);
    {
        const FilePermissionsObeyed obeyed;
        dialog.SaveBody();
    }
    ASSERT_EQ(dialog.messages.size(), 1u);
    EXPECT_EQ(dialog.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(dialog.messages[0].caption, "app_tests");
    EXPECT_EQ(dialog.messages[0].text,
              QString(GetParam().message).replace("%1", dialog.saveAnswer));
}

INSTANTIATE_TEST_SUITE_P(
    Causes, BodySaveFailures,
    ::testing::Values(SaveFailure{"MissingFolder",
                                  [](const ScratchDir& d) {
                                      return (d.path() / "nowhere" / "m.rtf").string();
                                  },
                                  "%1 contains an invalid path."},
                      SaveFailure{"AFolder", [](const ScratchDir& d) { return d.path().string(); },
                                  "Access to %1 was denied."},
                      SaveFailure{"ReadOnlyFile",
                                  [](const ScratchDir& d) {
                                      const std::string path = (d.path() / "ro.rtf").string();
                                      WriteFile(path, "keep me");
                                      chmod(path.c_str(), 0444);
                                      return path;
                                  },
                                  "Access to %1 was denied."},
                      SaveFailure{"FullDisk",
                                  [](const ScratchDir&) {
                                      return fs::exists("/dev/full") ? std::string("/dev/full")
                                                                     : std::string();
                                  },
                                  "Disk full while accessing %1."}),
    [](const ::testing::TestParamInfo<SaveFailure>& failure) { return failure.param.name; });

}  // namespace
}  // namespace parcelo::testing
