#include "damage_bar.h"

#include <QEvent>
#include <QPalette>

#include <algorithm>

#include "string_table.h"

namespace parcelo {

DamageBar::DamageBar(QWidget& below, QWidget* parent) : QLabel(parent), below_(below) {
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setMargin(4);
    setFrameShape(QFrame::Box);
    // The colours of a tooltip: a note beside the content, drawn over the window's bitmap.
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
    setPalette(colours);
    hide();
    parent->installEventFilter(this);
    fitParent();
}

void DamageBar::setReport(const QString& report) {
    if (report.isEmpty()) {
        hide();
        clear();
    } else {
        setText(QString::fromLatin1(kDamagedStreamText).arg(report));
        show();
        raise();
    }
    fitParent();
}

void DamageBar::fitParent() {
    const QRect place = parentWidget()->rect();
    if (isHidden()) {
        below_.setGeometry(place);
        return;
    }
    // A long report is cut rather than leave the body no room.
    const int height = std::min(heightForWidth(place.width()), place.height() / 3);
    setGeometry(place.x(), place.y(), place.width(), height);
    below_.setGeometry(place.x(), place.y() + height, place.width(), place.height() - height);
}

bool DamageBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        fitParent();
    return QLabel::eventFilter(watched, event);
}

}  // namespace parcelo
