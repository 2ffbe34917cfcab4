#include "busy_indicator.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QLabel>

namespace parcelo {

BusyIndicator::BusyIndicator(QLabel* status, const QString& text, Qt::CursorShape shape)
    : status_(status), text_(status != nullptr ? text : QString()) {
    QApplication::setOverrideCursor(QCursor(shape));
    if (text_.isEmpty())
        return;
    status->setText(text_);
    status->show();
    status->raise();
    // Painted now, not by an event loop that could start other work (a queued drop) first.
    if (status->isVisible())
        status->repaint();
}

BusyIndicator::~BusyIndicator() {
    QApplication::restoreOverrideCursor();
    // Left alone when a later job has put its own text there.
    if (!text_.isEmpty() && status_ && status_->text() == text_) {
        status_->hide();
        status_->clear();
    }
}

CursorPause::CursorPause() {
    if (QApplication::overrideCursor() == nullptr)
        return;
    QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    paused_ = true;
}

CursorPause::~CursorPause() {
    if (paused_)
        QApplication::restoreOverrideCursor();
}

QString LoadingText(const QString& path) {
    return QStringLiteral("Loading %1...").arg(QFileInfo(path).fileName());
}

}  // namespace parcelo
