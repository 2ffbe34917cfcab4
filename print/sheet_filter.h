// A paint device that hands on to a painter only what shows on one sheet. Qt's text layout
// draws a table's outer border once for every page the table spans, on every sheet, whatever
// the clip; a printer's or a PDF file's engine writes all of it (clipped away, yet written and
// compressed), so a long table would cost sheets × pages to print. Drawn through this device,
// what falls outside the sheet costs no more than the layout's own walk over it.
#pragma once

#include <QPaintDevice>
#include <QRectF>

#include <memory>

class QPainter;

namespace parcelo {

class SheetFilter : public QPaintDevice {
  public:
    // Passes on to `target`, in its own coordinates and state, what a painter on this device
    // draws within `sheet` (this device's coordinates, which are `target`'s before its own
    // transformation). This device measures as `target`'s device does.
    SheetFilter(QPainter& target, const QRectF& sheet);
    ~SheetFilter() override;
    SheetFilter(const SheetFilter&) = delete;
    SheetFilter& operator=(const SheetFilter&) = delete;

    QPaintEngine* paintEngine() const override;

  protected:
    int metric(PaintDeviceMetric metric) const override;

  private:
    class Engine;
    std::unique_ptr<Engine> engine_;
    const QPaintDevice* device_;
};

}  // namespace parcelo
