// The window as template 102 lays it out, the command line, and the texts the window builds
// from the string table and from system errors.
#include <cerrno>
#include <optional>
#include <string>

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "controls/dialog_units.h"
#include "dialog_template.h"
#include "file_dialog_filter.h"
#include "file_error_message.h"
#include "parcelo_app.h"
#include "string_table.h"

namespace parcelo::testing {
namespace {

TEST(Window, FollowsTheTemplateInDialogUnitsOfItsFont) {
    TestDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), "Oxbrook Parcelo - Extract TNEF message (Winmail.dat)");
    const DialogUnits units(dialog.font());
    ASSERT_GT(units.baseX(), 0);
    EXPECT_EQ(dialog.size(), QSize(units.toPixelsX(329), units.toPixelsY(265)));
    EXPECT_EQ(dialog.minimumSize(), dialog.size());  // never smaller than the template
    for (const ControlTemplate& item : kMainDialogControls) {
        QWidget* widget = dialog.control(item.id);
        ASSERT_NE(widget, nullptr) << item.id;
        const QRect rect = units.toPixels(item.x, item.y, item.width, item.height);
        const QRect place(widget->mapTo(&dialog, QPoint(0, 0)), widget->size());
        if (qobject_cast<QPushButton*>(widget) != nullptr) {
            // The buttons take the size of their pictures where the template puts them.
            EXPECT_EQ(place, QRect(rect.topLeft(), QSize(75, 21))) << item.id;
        } else {
            EXPECT_EQ(place, rect) << item.id;
        }
        // The texts read as the template has them; "&" only marks the mnemonic letter.
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_EQ(QString(label->text()).remove(u'&'), item.text);
        }
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            EXPECT_EQ(QString(button->text()).remove(u'&'), item.text);
            EXPECT_FALSE(button->isDefault() || button->autoDefault()) << item.text;
        }
    }
    EXPECT_EQ(dialog.control(kIdcBrowse), dialog.findChild<QPushButton*>("control1000"));
    EXPECT_TRUE(dialog.bodyView()->isReadOnly());
    EXPECT_EQ(dialog.attachmentList()->viewMode(), QListView::IconMode);
    EXPECT_EQ(dialog.attachmentList()->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST(Window, ALargerWindowGivesTheBodyTheExtraRoomAndTheListOnlyHeight) {
    TestDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QSize body = dialog.bodyView()->size();
    const QSize list = dialog.attachmentList()->size();
    dialog.resize(1200, 900);
    QCoreApplication::processEvents();
    ASSERT_EQ(dialog.size(), QSize(1200, 900));
    EXPECT_GT(dialog.bodyView()->width(), body.width());
    EXPECT_GT(dialog.bodyView()->height(), body.height());
    EXPECT_EQ(dialog.attachmentList()->width(), list.width());
    EXPECT_GT(dialog.attachmentList()->height(), list.height());
    // Close stays in the bottom right corner.
    const QWidget* close = dialog.control(kIdcClose);
    EXPECT_LT(dialog.width() - close->geometry().right(), 40);
    EXPECT_LT(dialog.height() - close->geometry().bottom(), 40);
    // Smaller than the template it does not get.
    dialog.resize(300, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.size(), dialog.minimumSize());
}

TEST(Window, TabsThroughTheControlsInTemplateOrder) {
    TestDialog dialog;
    const int order[] = {kIdcFileName, kIdcBrowse, kIdcAttachmentList, kIdcPrint,
                         kIdcBody,     kIdcAbout,  kIdcClose,          kIdcSave};
    QWidget* widget = dialog.control(order[0]);
    for (size_t i = 1; i < std::size(order); ++i) {
        widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus ||
               !widget->objectName().startsWith(QStringLiteral("control")))
            widget = widget->nextInFocusChain();
        EXPECT_EQ(widget, dialog.control(order[i])) << i;
    }
    // A screen reader names every control that Tab reaches.
    for (QWidget* w = dialog.nextInFocusChain(); w != &dialog; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << qPrintable(w->objectName());
        }
    }
}

TEST(DialogUnitsConversion, RoundsAsWindowsDoes) {
    // Base units 6 × 13: x = units × 6 / 4, y = units × 13 / 8, halves rounded up.
    const DialogUnits units(6, 13);
    EXPECT_EQ(units.toPixels(7, 10, 41, 8), QRect(11, 16, 62, 13));
    EXPECT_EQ(units.toPixelsX(329), 494);
    EXPECT_EQ(units.toPixelsY(265), 431);
}

TEST(CommandLine, TheFirstArgumentThatIsNotASwitchIsTheFile) {
    struct Case {
        QStringList arguments;
        QString file;
    };
    const Case cases[] = {
        {{"parcelo"}, ""},
        {{"parcelo", "/home/ann/My Mail/winmail.dat"}, "/home/ann/My Mail/winmail.dat"},
        {{"parcelo", "-x", "a.dat"}, ""},
        {{"parcelo", "-platform", "offscreen", "-style=fusion", "--reverse", "a.dat"}, "a.dat"},
        {{"parcelo", "-", "a.dat"}, "-"},
        {{"parcelo", "--timing", "a.dat", "b.dat"}, "a.dat"},
        {{"parcelo", "--", "-odd.dat"}, "-odd.dat"},
        {{"parcelo", "--screenshot=/tmp/s.png", "winmail.dat"}, "winmail.dat"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParceloApp::ParseCommandLine(c.arguments).fileName, c.file)
            << c.arguments.join(' ').toStdString();
    const CommandLine line =
        ParceloApp::ParseCommandLine({"parcelo", "--screenshot=out.png", "--timing"});
    EXPECT_EQ(line.screenshot, "out.png");
    EXPECT_TRUE(line.timing);
    EXPECT_TRUE(line.fileName.isEmpty());
}

TEST(CommandLine, HelpVersionAndUnknownSwitchesAnswerOnTheTerminalWithoutADisplay) {
    struct Case {
        QStringList arguments;
        int status;
        std::string out;  // the start of standard output
        std::string err;
    };
    const std::string tryHelp = "Try 'parcelo --help' for more information.\n";
    const Case cases[] = {
        {{"--help"}, 0, "Usage: parcelo ", ""},
        {{"a.dat", "--version"}, 0, "parcelo " PARCELO_VERSION "\n", ""},
        {{"--bogus", "--help"}, 2, "", "parcelo: unknown option --bogus\n" + tryHelp},
        {{"a.dat", "-x"}, 2, "", "parcelo: unknown option -x\n" + tryHelp},
        {{"--", "--help"}, -1, "", ""},  // a file of that name: the window opens
    };
    for (const Case& c : cases) {
        if (c.status < 0) {
            const CommandLine line =
                ParceloApp::ParseCommandLine(QStringList("parcelo") + c.arguments);
            EXPECT_FALSE(ParceloApp::AnswerOnTerminal(line).has_value());
            EXPECT_EQ(line.fileName, c.arguments.last());
            continue;
        }
        // The program itself, with no display to open a window on.
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        program.setProcessEnvironment(environment);
        program.start(PARCELO_APP_BINARY, c.arguments);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), c.status) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(program.readAllStandardOutput().toStdString().starts_with(c.out))
            << c.arguments.join(u' ').toStdString();
        EXPECT_EQ(program.readAllStandardError().toStdString(), c.err);
    }
}

TEST(FileDialogFilters, ComeFromTheStringTableWithStarDotStarMeaningEveryFile) {
    EXPECT_EQ(QtFileFilter(kOpenFilterText),
              "Winmail.dat Files(*.dat);;Outlook messages (*.msg);;"
              "Mail (*.eml *.mbox);;All files (*)");
    EXPECT_EQ(QtFileFilter(kSaveAttachmentFilterText), "All Files (*)");
    EXPECT_EQ(QtFileFilter(kSaveBodyFilterText), "Rich Files(*.rtf);;All Files (*)");
    EXPECT_EQ(QtFileFilter("Text|*.txt;*.text||"), "Text (*.txt *.text)");
}

TEST(FileErrors, EachErrorNumberGivesTheMessageOfItsCause) {
    const QString path = "/home/ann/100% sure.rtf";
    struct Case {
        int error;
        FileAccess access;
        const char* text;
    };
    const Case cases[] = {
        {ENOENT, FileAccess::Writing, "/home/ann/100% sure.rtf contains an invalid path."},
        {ENOENT, FileAccess::Reading, "/home/ann/100% sure.rtf was not found."},
        {ENOTDIR, FileAccess::Writing, "/home/ann/100% sure.rtf contains an invalid path."},
        {ENAMETOOLONG, FileAccess::Writing, "/home/ann/100% sure.rtf contains an invalid path."},
        {EACCES, FileAccess::Writing, "Access to /home/ann/100% sure.rtf was denied."},
        {EROFS, FileAccess::Writing, "Access to /home/ann/100% sure.rtf was denied."},
        {EISDIR, FileAccess::Writing, "Access to /home/ann/100% sure.rtf was denied."},
        {EMFILE, FileAccess::Writing,
         "/home/ann/100% sure.rtf could not be opened because there are too many open files."},
        {ENOSPC, FileAccess::Writing, "Disk full while accessing /home/ann/100% sure.rtf."},
        {EDQUOT, FileAccess::Writing, "Disk full while accessing /home/ann/100% sure.rtf."},
        {EIO, FileAccess::Writing,
         "A hardware I/O error was reported while accessing /home/ann/100% sure.rtf."},
        {ETXTBSY, FileAccess::Writing,
         "A sharing violation occurred while accessing /home/ann/100% sure.rtf."},
        {EBADF, FileAccess::Writing,
         "An invalid file handle was associated with /home/ann/100% sure.rtf."},
        {ESPIPE, FileAccess::Writing, "Seek failed on /home/ann/100% sure.rtf"},
        {ENOLCK, FileAccess::Writing,
         "A locking violation occurred while accessing /home/ann/100% sure.rtf."},
        {ECONNRESET, FileAccess::Writing,
         "An unknown error occurred while accessing /home/ann/100% sure.rtf."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileErrorMessage(CauseOfErrno(c.error, c.access), path), c.text) << c.error;
}

}  // namespace
}  // namespace parcelo::testing
