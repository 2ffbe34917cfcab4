// The window from the keyboard: Enter in the file name field and on an attachment, the
// shortcuts, the mnemonics, and the context menu by the Menu key or Shift+F10.
#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>

#include "app_test_support.h"
#include "controls/find_bar.h"
#include "dialog_template.h"
#include "rich_edit_print_job.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

// A print job that records that it was asked to print, and prints nothing.
class CountingPrintJob : public RichEditPrintJob {
  public:
    CountingPrintJob(QWidget* owner, int& count) : RichEditPrintJob(owner), count_(count) {}
    void Print() override { ++count_; }

  private:
    int& count_;
};

class KeyDialog : public TestDialog {
  public:
    int printed = 0;

  protected:
    std::unique_ptr<RichEditPrintJob> MakePrintJob() override {
        return std::make_unique<CountingPrintJob>(this, printed);
    }
};

class Keyboard : public ::testing::Test {
  protected:
    void SetUp() override {
        path = WriteTnef(in, "winmail.dat",
                         NoteBytes("{\\rtf1 Body}", {{"a.txt", "a"}, {"b.txt", "b"}}));
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    void TearDown() override {
        if (dialog.isVisible())
            dialog.reject();
    }

    void load() {
        dialog.fileName = path;
        ASSERT_EQ(dialog.LoadTnefFile(), 1);
    }

    void select(int row) {
        dialog.attachmentList()->setFocus();
        dialog.attachmentList()->setCurrentRow(row);
    }

    ScratchDir in;
    TemporaryFolder tmp;
    KeyDialog dialog;
    QString path;
};

TEST_F(Keyboard, EnterInTheFileNameFieldLoadsTheTypedPathAndKeepsTheWindowOpen) {
    QLineEdit* field = dialog.fileNameField();
    field->setFocus();
    QTest::keyClicks(field, path);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.fileName, path);
    EXPECT_EQ(ItemTexts(dialog.attachmentList()), QStringList({"a.txt", "b.txt"}));

    // A file URL pasted from a file manager, and the keypad's Enter.
    const QString other = WriteTnef(in, "other.dat", NoteBytes("", {{"c.txt", "c"}}));
    field->setText(QUrl::fromLocalFile(other).toString());
    QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dialog.fileName, other);
    EXPECT_EQ(field->text(), other);
    EXPECT_EQ(ItemTexts(dialog.attachmentList()), QStringList({"c.txt"}));

    // A path that cannot be loaded says so, and the window stays.
    field->setText(path + ".missing");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(dialog.messages.size(), 1u);
    EXPECT_TRUE(dialog.messages[0].text.contains(path + ".missing"));

    // An empty field loads nothing and closes nothing.
    field->clear();
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.messages.size(), 1u);
}

TEST_F(Keyboard, EnterOnTheSelectedAttachmentOpensIt) {
    load();
    select(1);
    QTest::keyClick(dialog.attachmentList(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(dialog.opened.size(), 1);
    EXPECT_TRUE(dialog.opened[0].endsWith("/b.txt"));
}

TEST_F(Keyboard, TheShortcutsRunTheWindowsCommandsFromAnyControl) {
    load();
    QSignalSpy about(qobject_cast<QAbstractButton*>(dialog.control(kIdcAbout)),
                     &QAbstractButton::clicked);
    // The About box F1 opens is modal: closed as soon as it shows.
    QTimer closeAbout;
    QObject::connect(&closeAbout, &QTimer::timeout, [] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            modal->reject();
    });
    closeAbout.start(10);
    for (QWidget* focus : {static_cast<QWidget*>(dialog.fileNameField()),
                           static_cast<QWidget*>(dialog.bodyView())}) {
        focus->setFocus();
        const size_t saves = dialog.saveQuestions.size();
        QTest::keyClick(focus, Qt::Key_O, Qt::ControlModifier);
        EXPECT_TRUE(dialog.openFilter.contains("Winmail.dat Files(*.dat)"));
        dialog.openFilter.clear();
        QTest::keyClick(focus, Qt::Key_S, Qt::ControlModifier);
        ASSERT_EQ(dialog.saveQuestions.size(), saves + 1);
        EXPECT_EQ(dialog.saveQuestions.back().proposedName, "message");
        const int printed = dialog.printed;
        QTest::keyClick(focus, Qt::Key_P, Qt::ControlModifier);
        EXPECT_EQ(dialog.printed, printed + 1);
        const int clicks = about.count();
        QTest::keyClick(focus, Qt::Key_F1);
        EXPECT_EQ(about.count(), clicks + 1);
        // Back in the event loop once the box has closed, as a person would be.
        QCoreApplication::processEvents();
        EXPECT_TRUE(dialog.isVisible());
    }
}

TEST_F(Keyboard, CtrlFFindsAsTypedAndMarksEveryMatchEscClosesTheBarNotTheWindow) {
    dialog.fileName = WriteTnef(in, "find.dat", NoteBytes("{\\rtf1 one Two one}", {}));
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    dialog.bodyView()->setFocus();
    QTest::keyClick(dialog.bodyView(), Qt::Key_F, Qt::ControlModifier);
    FindBar* bar = dialog.findBar();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_TRUE(bar->field()->hasFocus());
    QTest::keyClicks(bar->field(), "one");
    EXPECT_EQ(bar->matchCount(), 2);
    EXPECT_EQ(dialog.bodyView()->extraSelections().size(), 2);
    const int body = int(kHelloHeader.size());  // where the body's text begins
    EXPECT_EQ(dialog.bodyView()->textCursor().selectionStart(), body);
    QTest::keyClick(bar->field(), Qt::Key_F3);
    EXPECT_EQ(dialog.bodyView()->textCursor().selectedText(), "one");
    EXPECT_EQ(dialog.bodyView()->textCursor().selectionStart(), body + 8);
    QTest::keyClick(bar->field(), Qt::Key_Return);  // wraps to the first
    EXPECT_EQ(dialog.bodyView()->textCursor().selectionStart(), body);
    QTest::keyClicks(bar->field(), "x");
    EXPECT_EQ(bar->resultText()->text(), "not found");
    EXPECT_TRUE(dialog.bodyView()->extraSelections().isEmpty());
    // The zoom keeps the text, and the selection with it.
    QTest::keyClick(bar->field(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(dialog.bodyView()->zoomPercent(), 110);
    // "+" typed with Shift, as on a US keyboard.
    QTest::keyClick(bar->field(), Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialog.bodyView()->zoomPercent(), 125);
    QTest::keyClick(bar->field(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(dialog.bodyView()->zoomPercent(), 100);
    EXPECT_EQ(dialog.bodyView()->toPlainText().trimmed(), kHelloHeader + "one Two one");
    QTest::keyClick(bar->field(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(Keyboard, CtrlQAndCtrlWCloseTheWindowAndRemoveTheScratchFiles) {
    for (const Qt::Key key : {Qt::Key_Q, Qt::Key_W}) {
        if (!dialog.isVisible()) {
            dialog.show();
            dialog.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        }
        load();
        const std::string scratch = dialog.scratchDirectory();
        QTest::keyClick(dialog.fileNameField(), key, Qt::ControlModifier);
        EXPECT_FALSE(dialog.isVisible()) << key;
        EXPECT_FALSE(fs::exists(WithoutSlash(scratch))) << key;
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
}

TEST_F(Keyboard, ShortcutsStillWorkOnceAMessageOfTheWindowHasClosed) {
    load();
    QMessageBox box(QMessageBox::Information, "Parcelo", "Done.", QMessageBox::Ok, &dialog);
    QTimer::singleShot(0, &box, [&box] { QTest::keyClick(&box, Qt::Key_Escape); });
    box.exec();
    for (int i = 0; i < 20 && QApplication::activeWindow() != &dialog; ++i)
        QTest::qWait(10);
    QTest::keyClick(dialog.fileNameField(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(Keyboard, TheMenuKeyAndShiftF10OpenTheMenuAtTheSelectedItem) {
    load();
    QListWidget* list = dialog.attachmentList();
    select(1);
    list->doItemsLayout();
    const QPoint item = list->viewport()->mapToGlobal(list->visualItemRect(list->item(1)).center());
    QCursor::setPos(dialog.mapToGlobal(QPoint(1, 1)));  // well away from the item

    QTest::keyClick(list, Qt::Key_Menu);
    EXPECT_EQ(dialog.menusShown, 1);
    EXPECT_EQ(dialog.menuPosition, item);

    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(dialog.menusShown, 2);
    EXPECT_EQ(dialog.menuPosition, item);

    // As X11 delivers the Menu key: a context menu event of the keyboard, at the pointer.
    QContextMenuEvent fromKeyboard(QContextMenuEvent::Keyboard, QPoint(1, 1),
                                   list->mapToGlobal(QPoint(1, 1)));
    QCoreApplication::sendEvent(list, &fromKeyboard);
    EXPECT_EQ(dialog.menusShown, 3);
    EXPECT_EQ(dialog.menuPosition, item);

    // Plain F10 is no menu key, and without a selection there is no menu.
    QTest::keyClick(list, Qt::Key_F10);
    list->clearSelection();
    QTest::keyClick(list, Qt::Key_Menu);
    EXPECT_EQ(dialog.menusShown, 3);
}

TEST_F(Keyboard, AltAndALetterOfALabelGoesToItsControl) {
    load();
    const struct {
        Qt::Key key;
        int control;
    } mnemonics[] = {
        {Qt::Key_A, kIdcAttachmentList}, {Qt::Key_M, kIdcBody}, {Qt::Key_F, kIdcFileName}};
    for (const auto& mnemonic : mnemonics) {
        QTest::keyClick(&dialog, mnemonic.key, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), dialog.control(mnemonic.control)) << mnemonic.key;
    }
    QSignalSpy browse(qobject_cast<QAbstractButton*>(dialog.control(kIdcBrowse)),
                      &QAbstractButton::clicked);
    QTest::keyClick(&dialog, Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(browse.count() == 1 || browse.wait(2000));  // a mnemonic clicks with a delay
    // Every letter is taken once only.
    QStringList letters;
    for (const ControlTemplate& item : kMainDialogControls) {
        QString text;
        if (auto* label = qobject_cast<QLabel*>(dialog.control(item.id)))
            text = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(dialog.control(item.id)))
            text = button->text();
        const qsizetype amp = text.indexOf(u'&');
        if (amp >= 0)
            letters << text.mid(amp + 1, 1).toLower();
    }
    EXPECT_EQ(letters.size(), 8);
    letters.removeDuplicates();
    EXPECT_EQ(letters.size(), 8);
}

}  // namespace
}  // namespace parcelo::testing
