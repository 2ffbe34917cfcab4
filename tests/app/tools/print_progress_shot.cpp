// Pictures of printing from the window, for a person to look at: the window with a TNEF file,
// "Print..." pressed and a PDF file chosen, and the progress dialog as the second sheet (or the
// only one) prints. Each sheet is held back as long as a slow printer would take, so that the
// dialog has a time left to show. Run under a display (scripts/print-screenshot.sh).
// With --real-dialog the Print dialog itself is shown and pictured (print-dialog-screen.png),
// then accepted as it stands.
// Usage: print_progress_shot [--real-dialog] FILE OUT_DIR
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <memory>

#include "dialog_template.h"
#include "main_dialog.h"
#include "print_progress_dialog.h"
#include "rich_edit_print_job.h"

namespace {

constexpr int kSheetMilliseconds = 1500;

void Settle(int milliseconds) {
    QTimer wait;
    wait.setSingleShot(true);
    wait.start(milliseconds);
    while (wait.isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Save(const QPixmap& picture, const QString& path) {
    if (picture.save(path))
        std::printf("wrote %s\n", qPrintable(path));
    else
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

class ShotJob : public parcelo::RichEditPrintJob {
  public:
    ShotJob(QWidget* window, QString out, bool realDialog)
        : RichEditPrintJob(window), out_(std::move(out)), realDialog_(realDialog) {}

  protected:
    int ExecPrintDialog(QPrintDialog& dialog) override {
        if (realDialog_) {
            QTimer::singleShot(1000, &dialog, [this, &dialog] {
                Save(QGuiApplication::primaryScreen()->grabWindow(0),
                     QDir(out_).filePath(QStringLiteral("print-dialog-screen.png")));
                dialog.accept();
            });
            return dialog.exec();
        }
        dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog.printer()->setOutputFileName(QDir(out_).filePath(QStringLiteral("printed.pdf")));
        return QDialog::Accepted;
    }
    void BeginPrinting(QPrinter& printer, parcelo::PrintInfo& info) override {
        RichEditPrintJob::BeginPrinting(printer, info);
        pages_ = info.maxPage;
    }
    void PrintPage(QPainter& painter, parcelo::PrintInfo& info) override {
        RichEditPrintJob::PrintPage(painter, info);
        ++sheet_;
        Settle(kSheetMilliseconds);
        if (sheet_ == std::min(2u, std::max(pages_, 1u))) {
            Save(progressDialog()->grab(),
                 QDir(out_).filePath(QStringLiteral("print-progress.png")));
            Save(QGuiApplication::primaryScreen()->grabWindow(0),
                 QDir(out_).filePath(QStringLiteral("print-progress-screen.png")));
        }
    }

  private:
    QString out_;
    bool realDialog_;
    unsigned pages_ = 0;
    unsigned sheet_ = 0;
};

class ShotDialog : public parcelo::MainDialog {
  public:
    ShotDialog(QString out, bool realDialog) : out_(std::move(out)), realDialog_(realDialog) {}

  protected:
    std::unique_ptr<parcelo::RichEditPrintJob> MakePrintJob() override {
        return std::make_unique<ShotJob>(this, out_, realDialog_);
    }

  private:
    QString out_;
    bool realDialog_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QStringList arguments = application.arguments();
    const bool realDialog = arguments.removeAll(QStringLiteral("--real-dialog")) > 0;
    if (arguments.size() != 3) {
        std::fputs("usage: print_progress_shot [--real-dialog] FILE OUT_DIR\n", stderr);
        return 2;
    }
    const QString out = arguments[2];
    ShotDialog dialog(out, realDialog);
    dialog.fileName = arguments[1];
    QObject::connect(&dialog, &parcelo::MainDialog::initialLoadFinished, &dialog, [&] {
        QTimer::singleShot(300, &dialog, [&] {
            qobject_cast<QPushButton*>(dialog.control(parcelo::kIdcPrint))->click();
            Settle(300);
            Save(QGuiApplication::primaryScreen()->grabWindow(0),
                 QDir(out).filePath(QStringLiteral("print-done-screen.png")));
            dialog.reject();
        });
    });
    dialog.exec();
    return 0;
}
