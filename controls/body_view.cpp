#include "body_view.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <QWheelEvent>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace parcelo {

namespace {

constexpr int kZoomPercents[] = {50, 67, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
constexpr int kUnzoomedStep = 4;
static_assert(kZoomPercents[kUnzoomedStep] == 100);

// Every text size and picture of `document` times `factor`. Sizes the text leaves to the
// document's default font are scaled with that font.
void ScaleDocument(QTextDocument& document, qreal factor) {
    QFont base = document.defaultFont();
    if (base.pointSizeF() > 0)
        base.setPointSizeF(base.pointSizeF() * factor);
    else if (base.pixelSize() > 0)
        base.setPixelSize(std::max(1, qRound(base.pixelSize() * factor)));
    document.setDefaultFont(base);

    struct Change {
        int position;
        int length;
        QTextCharFormat format;
    };
    std::vector<Change> changes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            QTextCharFormat format = piece.charFormat();
            QTextCharFormat change;
            if (format.hasProperty(QTextFormat::FontPointSize))
                change.setFontPointSize(format.fontPointSize() * factor);
            else if (format.hasProperty(QTextFormat::FontPixelSize))
                change.setProperty(
                    QTextFormat::FontPixelSize,
                    std::max(1, qRound(format.intProperty(QTextFormat::FontPixelSize) * factor)));
            if (format.isImageFormat()) {
                QTextImageFormat image = format.toImageFormat();
                QSizeF size(image.width(), image.height());
                if (size.width() <= 0 || size.height() <= 0) {
                    const QImage natural =
                        document.resource(QTextDocument::ImageResource, QUrl(image.name()))
                            .value<QImage>();
                    if (size.width() <= 0)
                        size.setWidth(natural.width());
                    if (size.height() <= 0)
                        size.setHeight(natural.height());
                }
                if (size.width() > 0)
                    change.setProperty(QTextFormat::ImageWidth, size.width() * factor);
                if (size.height() > 0)
                    change.setProperty(QTextFormat::ImageHeight, size.height() * factor);
            }
            if (!change.properties().isEmpty())
                changes.push_back({piece.position(), piece.length(), change});
        }
    }
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const Change& change : changes) {
        cursor.setPosition(change.position);
        cursor.setPosition(change.position + change.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(change.format);
    }
    cursor.endEditBlock();
}

}  // namespace

BodyView::BodyView(QWidget* parent) : QTextEdit(parent), zoomStep_(kUnzoomedStep) {
    // A mail is a page, as in a mail reader: its sender chose its colours for white paper with
    // black text, and a dark desktop must not turn the page dark under them. A page colour of
    // the body's own is painted by the body itself.
    QPalette page;
    page.setColor(QPalette::Base, Qt::white);
    page.setColor(QPalette::Text, Qt::black);
    setPalette(page);
    // The hand over a link follows the mouse with no button held.
    viewport()->setMouseTracking(true);
}

void BodyView::setMessage(QTextDocument* message) {
    QTextDocument* previous = message_;
    message_ = message;
    showAtZoom();
    if (previous != nullptr && previous != message && previous->parent() == this)
        previous->deleteLater();
}

QTextDocument* BodyView::message() const {
    return message_ != nullptr ? message_ : document();
}

int BodyView::zoomPercent() const {
    return kZoomPercents[zoomStep_];
}

void BodyView::stepZoom(int steps) {
    const int last = int(std::size(kZoomPercents)) - 1;
    const int step = std::clamp(zoomStep_ + steps, 0, last);
    if (step == zoomStep_)
        return;
    zoomStep_ = step;
    showAtZoom();
}

void BodyView::resetZoom() {
    stepZoom(kUnzoomedStep - zoomStep_);
}

void BodyView::showAtZoom() {
    if (message_ == nullptr)
        message_ = document();
    // The reader keeps the place and the selection; both are positions in the text, which
    // the zoomed copy shares with the message.
    const QTextCursor selection = textCursor();
    const int anchor = selection.anchor();
    const int position = selection.position();
    const int top = cursorForPosition(QPoint(0, 0)).position();
    const bool sameMessage = document() == message_ || document() == zoomed_;

    QTextDocument* shown = message_;
    QTextDocument* copy = nullptr;
    if (zoomPercent() != 100) {
        // Parented by the message, the copy asks the message for any picture it names, and
        // the message reads nothing of the disk.
        copy = message_->clone(message_);
        copy->setUndoRedoEnabled(false);
        ScaleDocument(*copy, zoomPercent() / 100.0);
        shown = copy;
    }
    if (shown != document()) {
        // Each layout of a long body takes a good part of a second, and showing one would lay
        // it out three times: at the page size it came with (none: unbounded lines) as the view
        // takes it, at the view's width, and at that width less the scroll bar, which appears
        // only once the first layout has found the body too tall. With no page size it is not
        // laid out until the view gives it its width, and with the bar kept on meanwhile that
        // width is the final one; a short body that needs no bar is laid out once more.
        shown->setPageSize(QSizeF(0, 0));
        const Qt::ScrollBarPolicy policy = verticalScrollBarPolicy();
        if (policy == Qt::ScrollBarAsNeeded)
            setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setDocument(shown);
        setVerticalScrollBarPolicy(policy);
    }
    delete std::exchange(zoomed_, copy);

    if (sameMessage) {
        const int end = std::max(0, shown->characterCount() - 1);
        QTextCursor restored(shown);
        restored.setPosition(std::min(top, end));
        setTextCursor(restored);
        // The line that was at the top comes back to the top.
        const QRectF line = shown->documentLayout()->blockBoundingRect(restored.block());
        shown->documentLayout()->documentSize();
        verticalScrollBar()->setValue(qRound(line.top()));
        restored.setPosition(std::min(anchor, end));
        restored.setPosition(std::min(position, end), QTextCursor::KeepAnchor);
        const int scroll = verticalScrollBar()->value();
        setTextCursor(restored);
        verticalScrollBar()->setValue(scroll);
    }
    emit displayChanged();
}

QMimeData* BodyView::createMimeDataFromSelection() const {
    if (zoomed_ == nullptr || document() != zoomed_)
        return QTextEdit::createMimeDataFromSelection();
    const QTextCursor selection = textCursor();
    QTextCursor original(message_);
    const int end = std::max(0, message_->characterCount() - 1);
    original.setPosition(std::min(selection.anchor(), end));
    original.setPosition(std::min(selection.position(), end), QTextCursor::KeepAnchor);
    const QTextDocumentFragment fragment(original);
    auto* copied = new QMimeData;
    copied->setText(fragment.toPlainText());
    copied->setHtml(fragment.toHtml());
    return copied;
}

void BodyView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QTextEdit::wheelEvent(event);
        return;
    }
    // A wheel that turns in small steps zooms once a whole notch has gathered.
    wheelDelta_ += event->angleDelta().y();
    const int steps = wheelDelta_ / QWheelEvent::DefaultDeltasPerStep;
    wheelDelta_ -= steps * QWheelEvent::DefaultDeltasPerStep;
    stepZoom(steps);
    event->accept();
}

void BodyView::mousePressEvent(QMouseEvent* event) {
    pressedLink_.clear();
    if (event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier)
        pressedLink_ = anchorAt(event->position().toPoint());
    QTextEdit::mousePressEvent(event);
}

void BodyView::mouseMoveEvent(QMouseEvent* event) {
    showLinkCursor(!anchorAt(event->position().toPoint()).isEmpty());
    QTextEdit::mouseMoveEvent(event);
}

void BodyView::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QString link = std::exchange(pressedLink_, QString());
    // A selection dragged over a link, even within it, is for copying, not a click.
    if (link.isEmpty() || textCursor().hasSelection() ||
        anchorAt(event->position().toPoint()) != link)
        return;
    emit linkClicked(QUrl(link, QUrl::TolerantMode));
}

void BodyView::leaveEvent(QEvent* event) {
    showLinkCursor(false);
    QTextEdit::leaveEvent(event);
}

void BodyView::showLinkCursor(bool overLink) {
    if (overLink == linkCursor_)
        return;
    linkCursor_ = overLink;
    if (overLink) {
        textCursorShape_ = viewport()->cursor().shape();
        viewport()->setCursor(Qt::PointingHandCursor);
    } else {
        viewport()->setCursor(textCursorShape_);
    }
}

}  // namespace parcelo
