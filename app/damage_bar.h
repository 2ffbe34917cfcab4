// The bar above the message body that says what a damaged stream lost. The bar and the body
// view share their parent, which they fill: the bar takes its room from the top while it
// shows and gives it back when it hides.
#pragma once

#include <QLabel>
#include <QString>

namespace parcelo {

class DamageBar : public QLabel {
    Q_OBJECT

  public:
    // Sits over the top of `below`; both are children of `parent`.
    DamageBar(QWidget& below, QWidget* parent);

    // Shows what the last load skipped, in the engine's words; an empty report hides the bar.
    void setReport(const QString& report);
    // Shares the parent's present size out between the bar and the widget below. The parent's
    // resizes are followed on screen; one that is not yet shown is laid out by this.
    void fitParent();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& below_;
};

}  // namespace parcelo
