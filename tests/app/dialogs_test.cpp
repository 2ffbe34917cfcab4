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

TEST(OpenFilter, TakesDatAndTnefFilesInAnyCaseAndAllFilesTakesEverything) {
    const QStringList filters = OpenDialogFilter().split(";;");
    ASSERT_EQ(filters.size(), 2);
    const struct {
        const char* name;
        bool tnef;
    } cases[] = {
        {"winmail.dat", true}, {"WINMAIL.DAT", true},      {"Winmail.Dat", true},
        {"x.dAt", true},       {"message.tnef", true},     {"MESSAGE.TNEF", true},
        {"a b.Tnef", true},    {"winmail.dat.txt", false}, {"x.data", false},
        {"dat", false},        {"notes.txt", false},       {"tnef", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Matches(filters[0], c.name), c.tnef) << c.name;
        EXPECT_TRUE(Matches(filters[1], c.name)) << c.name;
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
    EXPECT_EQ(shownFilters, QStringList({"Winmail.dat Files(*.dat)", "All Files (*)"}));
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
