// Prints the body view: its document laid out once for the printer's sheet less the margins,
// one band of that layout per sheet.
#pragma once

#include <QMargins>
#include <QRectF>

#include <memory>

#include "print/body_pages.h"
#include "print_job.h"

class QTextDocument;
class QTextEdit;

namespace parcelo {

class RichEditPrintJob : public PrintJob {
  public:
    explicit RichEditPrintJob(QWidget* mainWindow = nullptr);
    ~RichEditPrintJob() override;

    // Left, top, right and bottom margins from the edges of the sheet, in points (1/72 inch).
    QMargins margins = BodyPages::kMargins;
    // The view whose document is printed.
    QTextEdit* richEdit = nullptr;
    // The document printed when there is no view.
    const QTextDocument* document = nullptr;

    // Where the text goes on a sheet of `printer`, in its device pixels: the whole sheet less
    // the margins.
    QRectF PageArea(const QPrinter& printer) const;

  protected:
    void PrintPage(QPainter& painter, PrintInfo& info) override;
    void EndPrinting(QPrinter& printer, PrintInfo& info) override;
    void BeginPrinting(QPrinter& printer, PrintInfo& info) override;
    bool PreparePrinting(PrintInfo& info, bool direct) override;

  private:
    std::unique_ptr<BodyPages> pages_;
};

}  // namespace parcelo
