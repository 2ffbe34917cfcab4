#include "damage_bar.h"

#include <QPalette>

#include <algorithm>

#include "string_table.h"

namespace parcelo {

DamageBar::DamageBar(QWidget& below, QWidget* parent)
    : QLabel(parent), below_(below), place_(below.geometry()) {
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
}

void DamageBar::setReport(const QString& report) {
    if (report.isEmpty()) {
        hide();
        clear();
        below_.setGeometry(place_);
        return;
    }
    setText(QString::fromLatin1(kDamagedStreamText).arg(report));
    // A long report is cut rather than leave the body no room.
    const int height = std::min(heightForWidth(place_.width()), place_.height() / 3);
    setGeometry(place_.x(), place_.y(), place_.width(), height);
    below_.setGeometry(place_.x(), place_.y() + height, place_.width(), place_.height() - height);
    show();
    raise();
}

}  // namespace parcelo
