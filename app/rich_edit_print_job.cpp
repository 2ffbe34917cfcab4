#include "rich_edit_print_job.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPalette>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <vector>

#include "rtf/offline_document.h"

namespace parcelo {

namespace {

constexpr qreal kPointsPerInch = 72.0;
constexpr qreal kEdge = 0.5;
// A pixel of a body's text, as on screen and in CSS.
constexpr qreal kPixelsPerInch = 96.0;

bool InPoints(QTextCharFormat& format) {
    if (!format.hasProperty(QTextFormat::FontPixelSize))
        return false;
    const int pixels = format.intProperty(QTextFormat::FontPixelSize);
    format.clearProperty(QTextFormat::FontPixelSize);
    format.setFontPointSize(pixels * kPointsPerInch / kPixelsPerInch);
    return true;
}

// Font sizes in pixels (HTML's "font-size: 16px") are device pixels to a layout: at 1200 dots
// an inch they would print a twelfth of their size on screen. They become the points they
// stand for there.
void SizeFontsInPoints(QTextDocument& document) {
    struct Change {
        int position;
        int length;  // 0: the block's own format, which sizes an empty line
        QTextCharFormat format;
    };
    std::vector<Change> changes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextCharFormat blockFormat = block.charFormat();
        if (InPoints(blockFormat))
            changes.push_back({block.position(), 0, blockFormat});
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            if (InPoints(format))
                changes.push_back({fragment.position(), fragment.length(), format});
        }
    }
    if (changes.empty())
        return;
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const Change& change : changes) {
        cursor.setPosition(change.position);
        if (change.length == 0) {
            cursor.setBlockCharFormat(change.format);
            continue;
        }
        cursor.setPosition(change.position + change.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(change.format);
    }
    cursor.endEditBlock();
}

}  // namespace

RichEditPrintJob::RichEditPrintJob(QWidget* mainWindow) : PrintJob(mainWindow) {}

RichEditPrintJob::~RichEditPrintJob() = default;

bool RichEditPrintJob::PreparePrinting(PrintInfo& info, bool direct) {
    info.minPage = 1;
    return PrintJob::PreparePrinting(info, direct);
}

QRectF RichEditPrintJob::PageArea(const QPrinter& printer) const {
    const QRectF sheet = printer.paperRect(QPrinter::DevicePixel);
    const qreal x = printer.logicalDpiX() / kPointsPerInch;
    const qreal y = printer.logicalDpiY() / kPointsPerInch;
    QRectF area = sheet.adjusted(margins.left() * x, margins.top() * y, -margins.right() * x,
                                 -margins.bottom() * y);
    // Margins wider than the sheet leave a sliver rather than a negative page.
    area.setWidth(std::max(area.width(), 1.0));
    area.setHeight(std::max(area.height(), 1.0));
    return area;
}

void RichEditPrintJob::BeginPrinting(QPrinter& printer, PrintInfo& info) {
    info.maxPage = 0;
    laidOut_.reset();
    area_ = PageArea(printer);
    const QTextDocument* source = richEdit != nullptr ? richEdit->document() : document;
    if (source == nullptr || source->isEmpty())
        return;  // no page: the job still prints one empty sheet

    copyParent_ = std::make_unique<OfflineTextDocument>();
    laidOut_.reset(source->clone(copyParent_.get()));
    laidOut_->setUndoRedoEnabled(false);
    SizeFontsInPoints(*laidOut_);
    // Laid out with the printer's own font metrics, on pages as large as the area the
    // margins leave; sheet n then shows the band of the layout from (n-1) × its height.
    laidOut_->documentLayout()->setPaintDevice(&printer);
    laidOut_->setDocumentMargin(0);
    laidOut_->setPageSize(area_.size());
    // A count that large would read as "not counted yet"; the pages past it are not printed.
    info.maxPage =
        unsigned(std::clamp(laidOut_->pageCount(), 0, int(PrintInfo::kUnknownPageCount) - 1));
}

void RichEditPrintJob::PrintPage(QPainter& painter, PrintInfo& info) {
    if (!laidOut_ || info.currentPage < 1 || info.currentPage > info.maxPage)
        return;
    const qreal top = (info.currentPage - 1) * area_.height();
    const QRectF band(0, top, area_.width(), area_.height());
    painter.translate(area_.left(), area_.top() - top);
    painter.setClipRect(band);
    QAbstractTextDocumentLayout::PaintContext context;
    // The layout draws every line that touches the clip, and a line that begins a page
    // touches the bottom of the one before; clipped away, its text would still be in the
    // PDF's text. Half a pixel in from each edge keeps lines on their own page.
    context.clip = band.adjusted(0, kEdge, 0, -kEdge);
    // Text of no colour of its own prints black, whatever the desktop's colours.
    context.palette.setColor(QPalette::Text, Qt::black);
    laidOut_->documentLayout()->draw(&painter, context);
}

void RichEditPrintJob::EndPrinting(QPrinter&, PrintInfo&) {
    laidOut_.reset();
    copyParent_.reset();
}

}  // namespace parcelo
