#include "body_view.h"

#include <QMouseEvent>

#include <utility>

namespace parcelo {

BodyView::BodyView(QWidget* parent) : QTextEdit(parent) {
    // The hand over a link follows the mouse with no button held.
    viewport()->setMouseTracking(true);
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
