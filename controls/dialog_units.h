// Dialog units to pixels, with the base units Windows derives from a dialog's font: a
// horizontal unit is a quarter of the font's average character width, a vertical unit an
// eighth of its height.
#pragma once

#include <QRect>
#include <QSize>

class QFont;

namespace parcelo {

class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }

    int toPixelsX(int units) const;
    int toPixelsY(int units) const;
    QRect toPixels(int x, int y, int width, int height) const;
    QSize toPixels(QSize units) const;

  private:
    int baseX_;
    int baseY_;
};

}  // namespace parcelo
