#include "print_job.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageRanges>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QWidget>

#include <algorithm>

#include "busy_indicator.h"
#include "file_dialog_filter.h"
#include "format_template.h"
#include "print_progress_dialog.h"
#include "print_progress_template.h"
#include "string_table.h"

namespace parcelo {

namespace {

// The printer and settings chosen in the Print dialog, proposed again by the next job of this
// run of the program.
struct RememberedPrinter {
    bool chosen = false;
    QString name;
    QPrinter::OutputFormat format = QPrinter::NativeFormat;
    QString outputFileName;
    QPageLayout layout;
    QPrinter::ColorMode colorMode = QPrinter::Color;
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
    int copies = 1;
    bool collate = true;
};

RememberedPrinter& Remembered() {
    static RememberedPrinter remembered;
    return remembered;
}

void Remember(const QPrinter& printer) {
    RememberedPrinter& r = Remembered();
    r.chosen = true;
    r.name = printer.printerName();
    r.format = printer.outputFormat();
    r.outputFileName = printer.outputFileName();
    r.layout = printer.pageLayout();
    r.colorMode = printer.colorMode();
    r.duplex = printer.duplex();
    r.copies = printer.copyCount();
    r.collate = printer.collateCopies();
}

// Every job prints at the printer's own resolution, so that text is laid out with the
// metrics it is printed with.
std::unique_ptr<QPrinter> NewPrinter() {
    return std::make_unique<QPrinter>(QPrinter::HighResolution);
}

std::unique_ptr<QPrinter> RememberedOrNewPrinter() {
    std::unique_ptr<QPrinter> printer = NewPrinter();
    const RememberedPrinter& r = Remembered();
    if (!r.chosen)
        return printer;
    if (r.format == QPrinter::NativeFormat && !r.name.isEmpty())
        printer->setPrinterName(r.name);
    printer->setOutputFormat(r.format);
    printer->setOutputFileName(r.outputFileName);
    printer->setPageLayout(r.layout);
    printer->setColorMode(r.colorMode);
    printer->setDuplex(r.duplex);
    printer->setCopyCount(r.copies);
    printer->setCollateCopies(r.collate);
    return printer;
}

bool PrintsToFile(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat || !printer.outputFileName().isEmpty();
}

QString DeviceName(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return QString::fromLatin1(kPdfDeviceName);
    const QString description = QPrinterInfo(printer).description();
    return description.isEmpty() ? printer.printerName() : description;
}

QString PortDescription(const QPrinter& printer) {
    if (PrintsToFile(printer)) {
        return FormatTemplate(QString::fromLatin1(kPrintToFileText),
                              {QFileInfo(printer.outputFileName()).fileName()});
    }
    return FormatTemplate(QString::fromLatin1(kPrintOnPortText), {printer.printerName()});
}

QString ApplicationTitle() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

// Disables a window for as long as it lives, or until released.
class DisabledWindow {
  public:
    explicit DisabledWindow(QWidget* window) : window_(window) {
        if (window_ != nullptr)
            window_->setEnabled(false);
    }
    ~DisabledWindow() { release(); }
    DisabledWindow(const DisabledWindow&) = delete;
    DisabledWindow& operator=(const DisabledWindow&) = delete;
    void release() {
        if (window_ != nullptr)
            window_->setEnabled(true);
        window_ = nullptr;
    }

  private:
    QWidget* window_;
};

}  // namespace

PrintJob::PrintJob(QWidget* mainWindow)
    : documentName(QString::fromLatin1(kPrintDocumentName)), mainWindow_(mainWindow) {}

PrintJob::~PrintJob() = default;

void PrintJob::Print() {
    PrintInfo info;
    info.printer = RememberedOrNewPrinter();
    if (!PreparePrinting(info, false))
        return;
    QPrinter& printer = *info.printer;
    if (PrintsToFile(printer) && printer.outputFileName().isEmpty()) {
        const QString path = AskOutputPath();
        if (path.isEmpty())
            return;
        printer.setOutputFileName(path);
    }
    // The progress window says what is going on; the cursor says the program is at it.
    const BusyIndicator busy(nullptr, QString(), Qt::BusyCursor);
    printDocument(info, true);
}

PrintJob::Outcome PrintJob::PrintToPdf(const QString& path) {
    PrintInfo info;
    info.printer = NewPrinter();
    info.printer->setOutputFormat(QPrinter::PdfFormat);
    info.printer->setOutputFileName(path);
    if (!PreparePrinting(info, true))
        return Outcome::Cancelled;
    return printDocument(info, false);
}

bool PrintJob::PreparePrinting(PrintInfo& info, bool direct) {
    info.maxPage = std::max(info.maxPage, info.minPage);
    info.pages = {{info.minPage, info.maxPage}};
    if (direct)
        return true;

    QPrinter& printer = *info.printer;
    QPrintDialog dialog(&printer, mainWindow_);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    dialog.setMinMax(int(info.minPage), int(info.maxPage));
    dialog.setFromTo(int(info.minPage), int(info.maxPage));
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    if (ExecPrintDialog(dialog) != QDialog::Accepted || !printer.isValid())
        return false;
    if (printer.printRange() == QPrinter::PageRange && !printer.pageRanges().isEmpty()) {
        info.pages.clear();
        for (const QPageRanges::Range& range : printer.pageRanges().toRangeList())
            info.pages.push_back({unsigned(range.from), unsigned(range.to)});
    }
    Remember(printer);
    return true;
}

void PrintJob::BeginPrinting(QPrinter&, PrintInfo&) {}

void PrintJob::PrintPage(QPainter&, PrintInfo&) {}

void PrintJob::EndPrinting(QPrinter&, PrintInfo&) {}

void PrintJob::PrepareDevice(PrintInfo& info) const {
    info.continuePrinting = info.maxPage != PrintInfo::kUnknownPageCount || info.currentPage == 1;
}

bool PrintJob::PrintAbortProc() {
    if (!printAbortRequested)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !printAbortRequested;
}

std::vector<unsigned> PrintJob::SheetPages(const PrintInfo& info) {
    std::vector<unsigned> sheets;
    for (const PrintInfo::PageSpan& span : info.pages) {
        // The end is brought within the bounds first, then the start; an empty document's
        // bounds (1 .. 0) collapse both to page 0, which still gives one sheet.
        long end = span.to;
        long start = span.from;
        const long low = info.minPage;
        const long high = info.maxPage;
        if (end < low)
            end = low;
        if (end > high)
            end = high;
        if (start < low)
            start = low;
        if (start > high)
            start = high;
        const long step = end >= start ? 1 : -1;
        if (end != long(PrintInfo::kUnknownPageCount))
            end += step;
        for (long page = start; page != end; page += step) {
            // A page named by two ranges (or clamped onto one already printed) goes once.
            if (info.pages.size() == 1 ||
                std::find(sheets.begin(), sheets.end(), unsigned(page)) == sheets.end())
                sheets.push_back(unsigned(page));
        }
    }
    return sheets;
}

QString PrintJob::TimeLeftText(unsigned sheet, unsigned total, unsigned long long average) {
    const unsigned long long seconds = (total - sheet + 1ULL) * average / 1000;
    if (seconds > 60) {
        return FormatTemplate(QString::fromLatin1(kPrintMinutesLeftText),
                              {QString::number(seconds / 60), QString::number(seconds % 60)});
    }
    if (total > 1) {
        if (seconds > 0) {
            return FormatTemplate(QString::fromLatin1(kPrintSecondsLeftText),
                                  {QString::number(seconds)});
        }
        return QString::fromLatin1(kPrintTimeUnknownText);
    }
    return QString();
}

PrintJob::Outcome PrintJob::printDocument(PrintInfo& info, bool interactive) {
    QPrinter& printer = *info.printer;
    printer.setDocName(documentName);
    // Pages are measured from the sheet's edges, whatever the printer can reach.
    printer.setFullPage(true);
    const bool toFile = PrintsToFile(printer);

    BeginPrinting(printer, info);
    DisabledWindow disabled(mainWindow_);
    if (interactive) {
        progress_ = std::make_unique<PrintProgressDialog>(ownerWindow != nullptr ? ownerWindow
                                                                                 : mainWindow_);
        progress_->setWindowTitle(
            FormatTemplate(QString::fromLatin1(kPrintingCaptionText), {documentName}));
        progress_->setItemText(
            kIdcPrintJobLine,
            FormatTemplate(progress_->itemText(kIdcPrintJobLine),
                           {documentName, DeviceName(printer), PortDescription(printer)}));
        progress_->show();
        progress_->updateWindow();
    }

    QPainter painter;
    if (!painter.begin(&printer)) {
        disabled.release();
        EndPrinting(printer, info);
        progress_.reset();
        if (interactive) {
            ShowMessage(QMessageBox::Warning, ApplicationTitle(),
                        QString::fromLatin1(kCouldNotStartPrintJobText));
        }
        return Outcome::NotStarted;
    }

    const std::vector<unsigned> sheets = SheetPages(info);
    const unsigned total = unsigned(sheets.size());
    const QString pageLine = progress_ ? progress_->itemText(kIdcPrintPageLine) : QString();
    QElapsedTimer clock;
    clock.start();
    unsigned long long average = 0;
    if (progress_) {
        progress_->progressBar()->setRange(0, int(total));
        progress_->progressBar()->setValue(0);
    }
    bool failed = false;
    unsigned sheet = 0;
    for (const unsigned page : sheets) {
        info.currentPage = page;
        ++sheet;
        if (progress_) {
            progress_->progressBar()->setValue(int(sheet));
            progress_->progressBar()->repaint();
            progress_->setItemText(kIdcPrintPercent,
                                   FormatTemplate(QString::fromLatin1(kPrintPercentText),
                                                  {QString::number(100ULL * sheet / total)}));
        }
        PrepareDevice(info);
        if (!info.continuePrinting)
            break;
        if (progress_) {
            progress_->setItemText(
                kIdcPrintPageLine,
                FormatTemplate(pageLine, {QString::number(sheet), QString::number(total),
                                          TimeLeftText(sheet, total, average)}));
            progress_->updateWindow();
        }
        // The first sheet is begun by the painter; each further one by a new page.
        if (sheet > 1 && !printer.newPage()) {
            failed = true;
            break;
        }
        PrepareDevice(info);
        painter.save();
        PrintPage(painter, info);
        painter.restore();
        if (!PrintAbortProc()) {
            failed = true;
            break;
        }
        average = static_cast<unsigned long long>(clock.elapsed()) / sheet;
    }

    if (failed) {
        // Qt's PDF and CUPS engines cannot abandon a document once begun: ending it writes
        // the sheets done so far. A file that was being written goes, as an abandoned
        // document does.
        const bool aborted = printer.abort();
        painter.end();
        if (!aborted && toFile)
            QFile::remove(printer.outputFileName());
    } else {
        painter.end();
    }

    disabled.release();
    EndPrinting(printer, info);
    progress_.reset();
    return failed ? Outcome::Aborted : Outcome::Printed;
}

int PrintJob::ExecPrintDialog(QPrintDialog& dialog) {
    return dialog.exec();
}

QString PrintJob::AskOutputPath() {
    QFileDialog dialog(mainWindow_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QtFileFilter(kPrintToFileFilterText));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(QStringLiteral("message.pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void PrintJob::ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text) {
    const CursorPause pause;
    QMessageBox box(icon, caption, text, QMessageBox::Ok, mainWindow_);
    box.exec();
}

}  // namespace parcelo
