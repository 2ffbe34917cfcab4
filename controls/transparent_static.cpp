#include "transparent_static.h"

namespace parcelo {

CTransparentStatic::CTransparentStatic(QWidget* parent) : QLabel(parent) {
    makeTransparent();
}

CTransparentStatic::CTransparentStatic(const QString& text, QWidget* parent)
    : QLabel(text, parent) {
    makeTransparent();
}

void CTransparentStatic::makeTransparent() {
    // Qt composes a widget that does not fill its background over its parent's pixels, and
    // repaints the parent beneath it whenever the label changes. That does what a snapshot of
    // the parent's pixels does on Windows, and keeps up when the parent's background changes.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

}  // namespace parcelo
