#include "print/pdf_printing.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <utility>

#include "print/body_pages.h"

namespace parcelo {

namespace {

// As fine as the window's printing lays out a PDF file: text placed to the printer's dot.
constexpr int kPdfDotsPerInch = 1200;

}  // namespace

bool PrintDocumentToPdf(std::unique_ptr<QTextDocument> document, const QString& path,
                        const QString& title) {
    QPdfWriter writer(path);
    writer.setResolution(kPdfDotsPerInch);
    writer.setTitle(title);
    // Pages are measured from the sheet's edges: the body's margins are its own.
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    const QRectF sheet = writer.pageLayout().fullRectPixels(writer.resolution());
    const BodyPages pages(std::move(document), writer,
                          BodyPages::PageArea(sheet, writer.logicalDpiX(), writer.logicalDpiY(),
                                              BodyPages::kMargins));

    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    // An empty body still gives one (empty) sheet, as printing it does.
    for (int sheetIndex = 0; sheetIndex < pages.pageCount(); ++sheetIndex) {
        if (sheetIndex > 0 && !writer.newPage()) {
            painter.end();
            return false;
        }
        painter.save();
        pages.draw(painter, sheetIndex);
        painter.restore();
    }
    return painter.end();
}

}  // namespace parcelo
