// A label drawn straight onto whatever its parent shows beneath it, so that it can sit on a
// bitmap background; a changed text leaves nothing of the old one behind.
#pragma once

#include <QLabel>

namespace parcelo {

class CTransparentStatic : public QLabel {
    Q_OBJECT

  public:
    explicit CTransparentStatic(QWidget* parent = nullptr);
    explicit CTransparentStatic(const QString& text, QWidget* parent = nullptr);

  private:
    void makeTransparent();
};

}  // namespace parcelo
