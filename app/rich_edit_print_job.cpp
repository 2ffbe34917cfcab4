#include "rich_edit_print_job.h"

#include <QPrinter>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace parcelo {

RichEditPrintJob::RichEditPrintJob(QWidget* mainWindow) : PrintJob(mainWindow) {}

RichEditPrintJob::~RichEditPrintJob() = default;

bool RichEditPrintJob::PreparePrinting(PrintInfo& info, bool direct) {
    info.minPage = 1;
    return PrintJob::PreparePrinting(info, direct);
}

QRectF RichEditPrintJob::PageArea(const QPrinter& printer) const {
    return BodyPages::PageArea(printer.paperRect(QPrinter::DevicePixel), printer.logicalDpiX(),
                               printer.logicalDpiY(), margins);
}

void RichEditPrintJob::BeginPrinting(QPrinter& printer, PrintInfo& info) {
    info.maxPage = 0;
    pages_.reset();
    const QTextDocument* source = richEdit != nullptr ? richEdit->document() : document;
    if (source == nullptr || source->isEmpty())
        return;  // no page: the job still prints one empty sheet
    pages_ = std::make_unique<BodyPages>(*source, printer, PageArea(printer));
    // A count that large would read as "not counted yet"; the pages past it are not printed.
    info.maxPage =
        unsigned(std::clamp(pages_->pageCount(), 0, int(PrintInfo::kUnknownPageCount) - 1));
}

void RichEditPrintJob::PrintPage(QPainter& painter, PrintInfo& info) {
    if (!pages_ || info.currentPage < 1 || info.currentPage > info.maxPage)
        return;
    pages_->draw(painter, int(info.currentPage) - 1);
}

void RichEditPrintJob::EndPrinting(QPrinter&, PrintInfo&) {
    pages_.reset();
}

}  // namespace parcelo
