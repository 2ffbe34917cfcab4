// The bar above the message body that says what a damaged stream lost. It takes its room
// from the top of the body view while it shows and gives it back when it hides.
#pragma once

#include <QLabel>
#include <QRect>
#include <QString>

namespace parcelo {

class DamageBar : public QLabel {
    Q_OBJECT

  public:
    // Sits over the top of `below`, whose place it takes as that widget has it now.
    DamageBar(QWidget& below, QWidget* parent);

    // Shows what the last load skipped, in the engine's words; an empty report hides the bar.
    void setReport(const QString& report);

  private:
    QWidget& below_;
    QRect place_;  // the room the bar and the widget below share
};

}  // namespace parcelo
