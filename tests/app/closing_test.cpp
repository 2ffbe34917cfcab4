// Every way the window ends removes what the last load unpacked.
#include <csignal>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app_test_support.h"
#include "dialog_template.h"
#include "quit_signal_watcher.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

struct WayToClose {
    const char* name;
    std::function<void(TestDialog&)> close;
};

class Closing : public ::testing::TestWithParam<WayToClose> {};

TEST_P(Closing, RemovesTheExtractedFilesAndTheScratchFolder) {
    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
    dialog.fileName =
        WriteTnef(in, "winmail.dat", NoteBytes("{\\rtf1 Body}", {{"a.txt", "a"}, {"b.txt", "b"}}));
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.show();
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    const std::string scratch = dialog.scratchDirectory();
    ASSERT_TRUE(fs::exists(scratch + "a.txt"));

    GetParam().close(dialog);
    QCoreApplication::processEvents();

    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(fs::exists(WithoutSlash(scratch)));
    EXPECT_EQ(tmp.entries(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, Closing,
    ::testing::Values(
        WayToClose{"CloseButton",
                   [](TestDialog& d) { QTest::mouseClick(d.control(kIdcClose), Qt::LeftButton); }},
        WayToClose{"Escape", [](TestDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        WayToClose{"CloseBox", [](TestDialog& d) { d.close(); }},
        WayToClose{"TerminateSignal",
                   [](TestDialog& d) {
                       QuitSignalWatcher watcher;
                       QObject::connect(&watcher, &QuitSignalWatcher::quitRequested, &d,
                                        &QDialog::reject);
                       ASSERT_TRUE(watcher.installed());
                       std::raise(SIGTERM);
                       for (int i = 0; i < 50 && d.isVisible(); ++i)
                           QTest::qWait(10);
                   }},
        WayToClose{"InterruptSignal",
                   [](TestDialog& d) {
                       QuitSignalWatcher watcher;
                       QObject::connect(&watcher, &QuitSignalWatcher::quitRequested, &d,
                                        &QDialog::reject);
                       ASSERT_TRUE(watcher.installed());
                       std::raise(SIGINT);
                       for (int i = 0; i < 50 && d.isVisible(); ++i)
                           QTest::qWait(10);
                   }}),
    [](const ::testing::TestParamInfo<WayToClose>& way) { return way.param.name; });

TEST(Closing, EnterInTheBodyOrInAListWithNothingSelectedKeepsTheWindowAndItsFiles) {
    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
    dialog.fileName = WriteTnef(in, "winmail.dat", NoteBytes("{\\rtf1 Body}", {{"a.txt", "a"}}));
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.show();
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    const std::string scratch = dialog.scratchDirectory();
    dialog.bodyView()->setFocus();
    QTest::keyClick(dialog.bodyView(), Qt::Key_Return);
    dialog.attachmentList()->clearSelection();
    QTest::keyClick(dialog.attachmentList(), Qt::Key_Enter);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialog.opened.isEmpty());
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(fs::exists(scratch + "a.txt"));
}

TEST(ClosingWithoutAWindow, DestroyingTheDialogAlsoRemovesItsFiles) {
    ScratchDir in;
    TemporaryFolder tmp;
    std::string scratch;
    {
        TestDialog dialog;
        dialog.fileName = WriteTnef(in, "winmail.dat", NoteBytes("", {{"a.txt", "a"}}));
        ASSERT_EQ(dialog.LoadTnefFile(), 1);
        scratch = dialog.scratchDirectory();
    }
    EXPECT_FALSE(fs::exists(WithoutSlash(scratch)));
}

TEST(ClosingWithoutAWindow, OnlyTheListedFilesAreDeleted) {
    // A file someone else put into the scratch folder is not ours to delete; the folder then
    // stays as well.
    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
    dialog.fileName = WriteTnef(in, "winmail.dat", NoteBytes("", {{"a.txt", "a"}}));
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    const std::string scratch = dialog.scratchDirectory();
    WriteFile(scratch + ".~lock.a.txt#", "lock");
    dialog.RemoveScratchFiles();
    EXPECT_FALSE(fs::exists(scratch + "a.txt"));
    EXPECT_TRUE(fs::exists(scratch + ".~lock.a.txt#"));
    EXPECT_TRUE(dialog.scratchDirectory().empty());
    EXPECT_EQ(dialog.extractedFiles().size(), 0u);
}

}  // namespace
}  // namespace parcelo::testing
