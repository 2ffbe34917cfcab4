#include "print/body_pages.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QPalette>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <vector>

#include "body/format_changes.h"
#include "body/lengths.h"
#include "body/offline_document.h"
#include "print/sheet_filter.h"

namespace parcelo {

namespace {

constexpr qreal kEdge = 0.5;

bool InPoints(QTextCharFormat& format) {
    if (!format.hasProperty(QTextFormat::FontPixelSize))
        return false;
    const int pixels = format.intProperty(QTextFormat::FontPixelSize);
    format.clearProperty(QTextFormat::FontPixelSize);
    format.setFontPointSize(PointsFromPixels(pixels));
    return true;
}

// Whether `text` reads the same drawn letter by letter: no script in it joins or reorders its
// letters, and no mark is placed over another.
bool ReadsUnshaped(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        // Latin, Greek and Cyrillic and the punctuation and symbols after them; the
        // replacement character stands for a picture.
        return (u < 0x0590 || (u >= 0x1E00 && u < 0x2C00) || u == 0xFFFC) && !c.isMark();
    });
}

// Calls `run(start, length, unshaped)` for each stretch of `text` that reads the same drawn
// letter by letter, or that needs shaping, whole words at a time: a word is shaped as one, and
// the white space after it goes with it.
template <typename Run>
void ForEachShapingRun(QStringView text, Run run) {
    qsizetype start = 0;
    bool startUnshaped = true;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = at;
        while (end < text.size() && !text[end].isSpace())
            ++end;
        const bool unshaped = ReadsUnshaped(text.sliced(at, end - at));
        while (end < text.size() && text[end].isSpace())
            ++end;
        if (at > start && unshaped != startUnshaped) {
            run(start, at - start, startUnshaped);
            start = at;
        }
        if (at == start)
            startUnshaped = unshaped;
        at = end;
    }
    if (text.size() > start)
        run(start, text.size() - start, startUnshaped);
}

// A PDF holds a ligature as one glyph, which a reader copies as the ligature's character
// ("ﬁ") or not at all. Text of scripts drawn letter by letter is laid out without shaping,
// whatever strategy its font or its body's style sheet gave it; text that needs shaping (Hebrew
// points, Arabic joining) keeps it even where the document's font does without.
bool WithShapingAsNeeded(QTextCharFormat& format, bool unshaped, QFont::StyleStrategy inherited) {
    const int given = format.hasProperty(QTextFormat::FontStyleStrategy)
                          ? format.intProperty(QTextFormat::FontStyleStrategy)
                          : inherited;
    const int wanted = unshaped ? given | QFont::PreferNoShaping : given & ~QFont::PreferNoShaping;
    if (wanted == given)
        return false;
    format.setFontStyleStrategy(static_cast<QFont::StyleStrategy>(wanted));
    return true;
}

// Font sizes in pixels (HTML's "font-size: 16px") are device pixels to a layout: at 1200 dots
// an inch they would print a twelfth of their size on screen. They become the points they
// stand for there. And text is shaped only where its script needs it.
void ReadyFontsForPrint(QTextDocument& document) {
    const QFont::StyleStrategy inherited = document.defaultFont().styleStrategy();
    std::vector<CharFormatChange> changes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextCharFormat blockFormat = block.charFormat();
        if (InPoints(blockFormat))
            changes.push_back({block.position(), 0, blockFormat});
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            const bool resized = InPoints(format);
            const QString text = fragment.text();
            ForEachShapingRun(text, [&](qsizetype start, qsizetype length, bool unshaped) {
                QTextCharFormat run = format;
                if (WithShapingAsNeeded(run, unshaped, inherited) || resized) {
                    changes.push_back({fragment.position() + static_cast<int>(start),
                                       static_cast<int>(length), run});
                }
            });
        }
    }
    ApplyCharFormatChanges(document, changes);
}

// A layout on the printer takes the lengths of a body as device dots, where the view takes
// them as pixels: Qt scales most of them by the printer's dots per pixel itself (spacing above
// and below blocks, tables, pictures, tab stops), but not a block's left and right margins
// nor its first line's indent. Those are scaled here, so that paper shows the view's layout.
void ScaleBlockLengths(QTextDocument& document, qreal dotsPerPixel) {
    struct Change {
        int position;
        QTextBlockFormat format;
    };
    std::vector<Change> changes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (format.leftMargin() == 0 && format.rightMargin() == 0 && format.textIndent() == 0)
            continue;
        format.setLeftMargin(format.leftMargin() * dotsPerPixel);
        format.setRightMargin(format.rightMargin() * dotsPerPixel);
        format.setTextIndent(format.textIndent() * dotsPerPixel);
        changes.push_back({block.position(), format});
    }
    if (changes.empty())
        return;
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const Change& change : changes) {
        cursor.setPosition(change.position);
        cursor.setBlockFormat(change.format);
    }
    cursor.endEditBlock();
}

bool HasBackground(const QTextFormat& format) {
    return format.background().style() != Qt::NoBrush;
}

// Whether a frame that holds `block`, or the table cell it is in, paints a background under it.
bool UnderAFramesBackground(const QTextBlock& block) {
    const QTextCursor cursor(block);
    for (QTextFrame* frame = cursor.currentFrame(); frame != nullptr;
         frame = frame->parentFrame()) {
        if (HasBackground(frame->frameFormat()))
            return true;
        if (const auto* table = qobject_cast<const QTextTable*>(frame)) {
            const QTextTableCell cell = table->cellAt(block.position());
            if (cell.isValid() && HasBackground(cell.format()))
                return true;
        }
    }
    return false;
}

}  // namespace

QRectF BodyPages::PageArea(const QRectF& sheet, qreal dpiX, qreal dpiY, const QMargins& margins) {
    const qreal x = dpiX / kPointsPerInch;
    const qreal y = dpiY / kPointsPerInch;
    QRectF area = sheet.adjusted(margins.left() * x, margins.top() * y, -margins.right() * x,
                                 -margins.bottom() * y);
    // Margins wider than the sheet leave a sliver rather than a negative page.
    area.setWidth(std::max(area.width(), 1.0));
    area.setHeight(std::max(area.height(), 1.0));
    return area;
}

BodyPages::BodyPages(const QTextDocument& source, QPaintDevice& device, const QRectF& area)
    : area_(area) {
    if (source.isEmpty())
        return;
    copyParent_ = std::make_unique<OfflineTextDocument>();
    layOut(std::unique_ptr<QTextDocument>(source.clone(copyParent_.get())), device);
}

BodyPages::BodyPages(std::unique_ptr<QTextDocument> document, QPaintDevice& device,
                     const QRectF& area)
    : area_(area) {
    if (document == nullptr || document->isEmpty())
        return;
    layOut(std::move(document), device);
}

void BodyPages::layOut(std::unique_ptr<QTextDocument> document, QPaintDevice& device) {
    laidOut_ = std::move(document);
    laidOut_->setUndoRedoEnabled(false);
    // Everything that changes the layout is set while the document has none: each change to
    // a laid-out document lays the whole of it out again, which for a long body is most of
    // the time the job takes. A document of no page size is not laid out at all, and a copy
    // has its source's, with which the layout made to be given the device would lay it all
    // out once at the screen's metrics before the device's.
    laidOut_->setPageSize(QSizeF(0, 0));
    ReadyFontsForPrint(*laidOut_);
    ScaleBlockLengths(*laidOut_, DotsPerPixel(device.logicalDpiX()));
    laidOut_->setDocumentMargin(0);
    laidOut_->documentLayout()->setPaintDevice(&device);
    // A block keeps the glyphs its lines were shaped into: else its layout lets them go once
    // its lines are laid out, and drawing shapes all the text a second time.
    for (QTextBlock block = laidOut_->begin(); block.isValid(); block = block.next())
        block.layout()->setCacheEnabled(true);
    // Laid out with the device's own font metrics, on pages as large as the area the margins
    // leave; sheet n then shows the band of the layout from (n-1) × its height.
    laidOut_->setPageSize(area_.size());

    // Given its page size, the layout lays out only the beginning of a long document, and the
    // rest when it is asked for: the lines of every block are wanted here.
    laidOut_->pageCount();
    QAbstractTextDocumentLayout* layout = laidOut_->documentLayout();
    for (QTextBlock block = laidOut_->begin(); block.isValid(); block = block.next()) {
        const QTextLayout* lines = block.layout();
        if (!block.isVisible() || lines == nullptr || lines->lineCount() == 0)
            continue;
        const QRectF rect = layout->blockBoundingRect(block);
        const int firstSheet = sheetOfLine(rect.top() + lines->lineAt(0).y());
        // The layout draws a block on every sheet its rectangle (margins and all) touches.
        const int lastSheet =
            std::max(sheetOfLine(rect.bottom()),
                     sheetOfLine(rect.top() + lines->lineAt(lines->lineCount() - 1).y()));
        if (lastSheet == firstSheet)
            continue;
        const Carried carried{block.blockNumber(), UnderAFramesBackground(block)};
        for (int sheet = firstSheet + 1; sheet <= lastSheet; ++sheet)
            carriedOver_[sheet].push_back(carried);
    }
}

BodyPages::~BodyPages() = default;

int BodyPages::pageCount() const {
    return laidOut_ ? laidOut_->pageCount() : 0;
}

int BodyPages::sheetOfLine(qreal top) const {
    // The layout draws a line on a sheet when it begins above the clip's lower edge, which
    // is half a pixel above the sheet's: the line belongs to the first such sheet.
    return std::max(0, int(std::ceil((top + kEdge) / area_.height())) - 1);
}

void BodyPages::draw(QPainter& target, int sheet) const {
    if (!laidOut_ || sheet < 0 || sheet >= pageCount())
        return;
    // The layout draws, on every sheet, a long table's border for each page it spans: what
    // falls off this sheet goes no further than the filter.
    target.save();
    SheetFilter onSheet(target, area_);
    QPainter painter(&onSheet);
    const qreal top = sheet * area_.height();
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
    QAbstractTextDocumentLayout* layout = laidOut_->documentLayout();
    const auto carried = carriedOver_.find(sheet);
    if (carried == carriedOver_.end()) {
        layout->draw(&painter, context);
        painter.end();
        target.restore();
        return;
    }
    // Hiding a block skips it in drawing; the layout is not redone, as nothing is edited.
    std::vector<QTextBlock> hidden;
    for (const Carried& block : carried->second)
        hidden.push_back(laidOut_->findBlockByNumber(block.block));
    // A carried block's lines begin the sheet's text, and are drawn first so that a PDF's
    // text reads them first; under a background the layout paints, they can only come after.
    for (const Carried& block : carried->second) {
        if (!block.underBackground)
            drawCarried(painter, sheet, block.block);
    }
    for (QTextBlock& block : hidden)
        block.setVisible(false);
    layout->draw(&painter, context);
    for (QTextBlock& block : hidden)
        block.setVisible(true);
    for (const Carried& block : carried->second) {
        if (block.underBackground)
            drawCarried(painter, sheet, block.block);
    }
    painter.end();
    target.restore();
}

void BodyPages::drawCarried(QPainter& painter, int sheet, int number) const {
    const QTextBlock block = laidOut_->findBlockByNumber(number);
    const QRectF rect = laidOut_->documentLayout()->blockBoundingRect(block);
    const QPointF origin = rect.topLeft();
    // The block's own shading, which the layout would have painted under its lines.
    if (const QBrush shading = block.blockFormat().background(); shading.style() != Qt::NoBrush)
        painter.fillRect(rect, shading);
    const QTextLayout* lines = block.layout();
    painter.setPen(Qt::black);
    for (int i = 0; i < lines->lineCount(); ++i) {
        const QTextLine line = lines->lineAt(i);
        if (sheetOfLine(origin.y() + line.y()) == sheet)
            line.draw(&painter, origin);
    }
}

}  // namespace parcelo
