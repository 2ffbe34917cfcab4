// A print job: asks for a printer and pages, then prints the pages one sheet at a time while
// a progress dialog shows how far it is and offers Cancel. What a page holds is for derived
// classes to draw.
#pragma once

#include <QMessageBox>
#include <QString>

#include <memory>
#include <vector>

#include "print_info.h"

class QPainter;
class QPrintDialog;
class QPrinter;
class QWidget;

namespace parcelo {

class PrintProgressDialog;

class PrintJob {
  public:
    // `mainWindow` is disabled while the sheets are printed and owns the job's dialogs; none
    // for a job that prints without a window.
    explicit PrintJob(QWidget* mainWindow = nullptr);
    virtual ~PrintJob();
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    // The window the progress dialog is centred over; none: the main window.
    QWidget* ownerWindow = nullptr;
    // The document's name, given to the printer.
    QString documentName;

    enum class Outcome {
        Printed,
        Cancelled,   // a dialog was cancelled: nothing was printed
        Aborted,     // the document was abandoned part way: Cancel, or the printer failed
        NotStarted,  // the printer would not take the document
    };

    // The whole job: the Print dialog (and a Save dialog when printing to a file that the
    // Print dialog did not name), then the sheets with the progress dialog. A job that cannot
    // start is reported to the user; a cancelled one is not.
    virtual void Print();
    // Every page into a PDF file, with no dialog at all, laid out as Print lays them out for
    // a PDF file. For printing where there is no window.
    Outcome PrintToPdf(const QString& path);

    // The texts of the time left before sheet `sheet` of `total`, from the average
    // milliseconds that a sheet has taken so far.
    static QString TimeLeftText(unsigned sheet, unsigned total, unsigned long long average);
    // The pages to print, one per sheet, in order: each span of `info.pages` brought within
    // the page bounds. With no page at all (an empty document) one sheet is still printed.
    static std::vector<unsigned> SheetPages(const PrintInfo& info);

  protected:
    // Draws `info.currentPage`; the painter's state is saved before and restored after.
    virtual void PrintPage(QPainter& painter, PrintInfo& info);
    // After the document, on every path that called BeginPrinting.
    virtual void EndPrinting(QPrinter& printer, PrintInfo& info);
    // Before the document: counts the pages into `info.maxPage` when it can.
    virtual void BeginPrinting(QPrinter& printer, PrintInfo& info);
    // Sets the page bounds and asks for the printer and pages (unless `direct`); false ends
    // the job.
    virtual bool PreparePrinting(PrintInfo& info, bool direct);

    // Whether the page `info.currentPage` is to be printed: the count is known, or it is the
    // first page.
    void PrepareDevice(PrintInfo& info) const;
    // Lets the progress dialog and the rest of the program handle their events; false when
    // the job is to stop.
    bool PrintAbortProc();

    // What the job asks of the user; tests replace these.
    virtual int ExecPrintDialog(QPrintDialog& dialog);
    virtual QString AskOutputPath();
    virtual void ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text);

    QWidget* mainWindow() const { return mainWindow_; }
    // The progress dialog while the sheets are printed, else none.
    PrintProgressDialog* progressDialog() const { return progress_.get(); }

  private:
    Outcome printDocument(PrintInfo& info, bool interactive);

    QWidget* mainWindow_;
    std::unique_ptr<PrintProgressDialog> progress_;
};

}  // namespace parcelo
