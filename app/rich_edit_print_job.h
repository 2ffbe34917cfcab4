// Prints the body view: its document laid out once for the printer's sheet less the margins,
// one band of that layout per sheet.
#pragma once

#include <QMargins>
#include <QRectF>

#include <map>
#include <memory>
#include <vector>

#include "print_job.h"

class QTextDocument;
class QTextBlock;
class QTextEdit;

namespace parcelo {

class RichEditPrintJob : public PrintJob {
  public:
    explicit RichEditPrintJob(QWidget* mainWindow = nullptr);
    ~RichEditPrintJob() override;

    // Left, top, right and bottom margins from the edges of the sheet, in points (1/72 inch).
    QMargins margins{50, 50, 50, 50};
    // The view whose document is printed.
    QTextEdit* richEdit = nullptr;
    // The document printed when there is no view (printing without a window).
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
    // Parent of the laid-out copy: a copy of a document is a plain QTextDocument, which would
    // read any local file the document names; under a document parent it asks the parent,
    // which reads nothing.
    std::unique_ptr<QTextDocument> copyParent_;
    std::unique_ptr<QTextDocument> laidOut_;
    QRectF area_;
    // The layout draws, of a block that reaches onto a sheet from an earlier one, the last
    // line above the sheet as well (clipped away, yet its text is in a PDF's text). By sheet
    // (0 for the first), the blocks it must not draw there: those are drawn here, line by
    // line, each line on the sheet it begins on.
    std::map<int, std::vector<int>> carriedOver_;  // block numbers
    int sheetOfLine(qreal top) const;
};

}  // namespace parcelo
