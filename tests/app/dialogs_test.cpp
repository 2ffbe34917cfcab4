// The Open, Save and folder dialogs: which names the Open dialog's filters take, what the user
// reads of them, and the folder each kind of dialog starts in.
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "app_test_support.h"
#include "file_dialogs.h"

namespace parcelo::testing {
namespace {

// Matches a name as a native dialog on Linux does: each pattern a glob, letter case counting.
bool Matches(const QString& filter, const QString& name) {
    for (const QString& pattern : FilterPatterns(filter).split(u' ', Qt::SkipEmptyParts)) {
        const QRegularExpression glob(QRegularExpression::wildcardToRegularExpression(pattern));
        if (glob.match(name).hasMatch())
            return true;
    }
    return false;
}

TEST(OpenFilter, EachTypeTakesItsFilesInAnyCaseAndAllFilesTakesEverything) {
    const QStringList filters = OpenDialogFilter().split(";;");
    ASSERT_EQ(filters.size(), 4);
    const struct {
        const char* name;
        int filter;  // the one filter besides "All files" that takes it, or -1
    } cases[] = {
        {"winmail.dat", 0},  {"WINMAIL.DAT", 0},  {"Winmail.Dat", 0}, {"x.dAt", 0},
        {"message.tnef", 0}, {"MESSAGE.TNEF", 0}, {"a b.Tnef", 0},    {"winmail.dat.txt", -1},
        {"x.data", -1},      {"dat", -1},         {"notes.txt", -1},  {"tnef", -1},
        {"Mail.MSG", 1},     {"a.msg", 1},        {"a.msg.bak", -1},  {"a.eml", 2},
        {"Inbox.MBOX", 2},   {"a.EML", 2},        {"mbox", -1},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Matches(filters[i], c.name), c.filter == i) << c.name << " " << i;
        EXPECT_TRUE(Matches(filters[3], c.name)) << c.name;
    }
}

// Runs `answer` on the dialog that `run` opens, once it is up.
QString AnswerDialog(const std::function<QString()>& run,
                     const std::function<void(QFileDialog&)>& answer) {
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
    return run();
}

class Dialogs : public ::testing::Test {
  protected:
    void SetUp() override { QSettings("parcelo", "parcelo").clear(); }
    void TearDown() override { QSettings("parcelo", "parcelo").clear(); }
    ScratchDir first;
    ScratchDir second;
};

TEST_F(Dialogs, TheOpenDialogShowsTheFiltersAsTheyReadAndStartsWhereTheLastFileWasChosen) {
    const QString firstFolder = QString::fromStdString(first.path().string());
    const QString chosen = WriteTnef(first, "winmail.dat", "x");
    QStringList shownFilters;
    const QString path =
        AnswerDialog([] { return RunOpenDialog(nullptr, OpenDialogFilter()); },
                     [&](QFileDialog& dialog) {
                         const auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
                         for (int i = 0; types && i < types->count(); ++i)
                             shownFilters << types->itemText(i);
                         dialog.selectFile(chosen);
                         static_cast<QDialog&>(dialog).accept();  // as the Open button does
                     });
    EXPECT_EQ(path, chosen);
    EXPECT_EQ(shownFilters, QStringList({"Winmail.dat Files(*.dat)", "Outlook messages (*.msg)",
                                         "Mail (*.eml *.mbox)", "All files (*)"}));
    EXPECT_EQ(LastOpenFolder(), firstFolder);
    EXPECT_TRUE(LastSaveFolder().isEmpty());

    QString startedIn;
    AnswerDialog([] { return RunOpenDialog(nullptr, OpenDialogFilter()); },
                 [&](QFileDialog& dialog) {
                     startedIn = dialog.directory().absolutePath();
                     dialog.reject();
                 });
    EXPECT_EQ(startedIn, firstFolder);
}

TEST_F(Dialogs, SaveDialogsProposeTheNameInTheFolderLastSavedInAndForgetAFolderRemovedSince) {
    const QString secondFolder = QString::fromStdString(second.path().string());
    const QString saved = AnswerDialog(
        [] { return RunSaveDialog(nullptr, "report one.txt", "All Files (*)", QString()); },
        [&](QFileDialog& dialog) {
            dialog.setDirectory(secondFolder);
            dialog.selectFile("report one.txt");
            static_cast<QDialog&>(dialog).accept();  // as the Open button does
        });
    EXPECT_EQ(saved, secondFolder + "/report one.txt");
    EXPECT_EQ(LastSaveFolder(), secondFolder);

    QString startedIn;
    QStringList proposed;
    AnswerDialog([] { return RunSaveDialog(nullptr, "photo.png", "All Files (*)", QString()); },
                 [&](QFileDialog& dialog) {
                     startedIn = dialog.directory().absolutePath();
                     proposed = dialog.selectedFiles();
                     dialog.reject();
                 });
    EXPECT_EQ(startedIn, secondFolder);
    EXPECT_EQ(proposed, QStringList({secondFolder + "/photo.png"}));

    QSettings("parcelo", "parcelo").setValue("dialogs/saveFolder", secondFolder + "/gone");
    EXPECT_TRUE(LastSaveFolder().isEmpty());
}

}  // namespace
}  // namespace parcelo::testing
