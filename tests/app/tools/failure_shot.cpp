// Pictures of what the window says when something fails, for a person to look at: opening an
// attachment that no program takes (open-failure.png), loading a folder and a missing file
// (load-failure-folder.png, load-failure-missing.png), and "Save All..." into a folder that
// holds some of the names (save-all-question.png); each also as the whole screen
// (*-screen.png). Run under a display (scripts/failure-screenshot.sh).
// Usage: failure_shot OUT_DIR
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QListWidget>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <functional>

#include "main_dialog.h"
#include "scratch_dir.h"
#include "tnef_builder.h"

namespace {

using parcelo::testing::ScratchDir;

void Save(const QPixmap& picture, const QString& path) {
    if (picture.save(path))
        std::printf("wrote %s\n", qPrintable(path));
    else
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

// Pictures the message box that `ask` brings up, then closes it with Esc.
void Picture(const QString& out, const QString& name, const std::function<void()>& ask) {
    QTimer::singleShot(700, [out, name] {
        QWidget* box = QApplication::activeModalWidget();
        Save(QGuiApplication::primaryScreen()->grabWindow(0),
             QDir(out).filePath(name + QStringLiteral("-screen.png")));
        if (box == nullptr) {
            std::fprintf(stderr, "no message for %s\n", qPrintable(name));
            return;
        }
        Save(box->grab(), QDir(out).filePath(name + QStringLiteral(".png")));
        box->close();
    });
    ask();
}

class ShotDialog : public parcelo::MainDialog {
  public:
    QString folder;

  protected:
    QString AskFolder(const QString&) override { return folder; }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (application.arguments().size() != 2) {
        std::fputs("usage: failure_shot OUT_DIR\n", stderr);
        return 2;
    }
    const QString out = application.arguments()[1];
    ScratchDir in;
    ScratchDir target;
    const std::string tnef = parcelo::testing::TnefBuilder()
                                 .messageClass("IPM.Microsoft Mail.Note")
                                 .subject("Readings")
                                 .attach("measurements.zzq", std::string("\x01\x02\x03\x00\xff", 5))
                                 .attach("notes.txt", "first readings")
                                 .bytes();
    parcelo::testing::WriteFile(in.path() / "winmail.dat", tnef);
    parcelo::testing::WriteFile(target.path() / "notes.txt", "older notes");

    ShotDialog dialog;
    dialog.folder = QString::fromStdString(target.path().string());
    dialog.fileName = QString::fromStdString((in.path() / "winmail.dat").string());
    QObject::connect(&dialog, &parcelo::MainDialog::initialLoadFinished, &dialog, [&] {
        QTimer::singleShot(300, &dialog, [&] {
            QListWidget* list = dialog.attachmentList();
            list->setCurrentItem(
                list->findItems(QStringLiteral("measurements.zzq"), Qt::MatchExactly).value(0));
            Picture(out, QStringLiteral("open-failure"), [&] { dialog.OpenAttachment(); });
            Picture(out, QStringLiteral("save-all-question"), [&] { dialog.SaveAllAttachments(); });
            dialog.fileName = QString::fromStdString(in.path().string());
            Picture(out, QStringLiteral("load-failure-folder"), [&] { dialog.LoadTnefFile(); });
            dialog.fileName = QString::fromStdString((in.path() / "gone" / "winmail.dat").string());
            Picture(out, QStringLiteral("load-failure-missing"), [&] { dialog.LoadTnefFile(); });
            dialog.reject();
        });
    });
    dialog.exec();
    return 0;
}
