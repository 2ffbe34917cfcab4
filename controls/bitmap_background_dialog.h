// A dialog that shows a bitmap as its background, in one of thirteen placements. It can cut
// the window's shape to the bitmap's pixels that are not of a transparent colour, and can let
// the user move the window by pressing anywhere in it.
#pragma once

#include <QColor>
#include <QDialog>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QRegion>

#include <optional>

#include "controls/resource_bitmap.h"

namespace parcelo {

class BitmapBackgroundDialog : public QDialog {
    Q_OBJECT

  public:
    enum Placement : quint8 {
        Tiled = 0,
        Centred = 1,
        Stretched = 2,
        TiledAlongTop = 3,
        TiledAlongBottom = 4,
        TiledDownLeft = 5,
        TiledDownRight = 6,
        TopLeft = 7,
        TopRight = 8,
        TopCentre = 9,
        BottomLeft = 10,
        BottomRight = 11,
        BottomCentre = 12,
    };
    static constexpr quint8 kLastPlacement = BottomCentre;

    // What the setters give back.
    enum Result {
        Ok = 0,
        InvalidBitmap = 1,     // no bitmap, or one without a size
        InvalidPlacement = 2,  // a placement above 12
        NoRegion = 3,          // the transparent colour leaves no pixel of the bitmap
    };

    explicit BitmapBackgroundDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~BitmapBackgroundDialog() override;

    // Shows bitmap resource `id`. A valid `transparentColor` cuts the window to the bitmap's
    // pixels of any other colour; an invalid QColor (the default) keeps the window whole.
    int SetBackgroundBitmap(int id, const QColor& transparentColor = QColor());
    // The same with a bitmap of the caller's; `doubled`, when given, is drawn on screens
    // scaled 2x. A null `bitmap` removes the background.
    int SetBackgroundBitmap(const QImage& bitmap, const QColor& transparentColor = QColor(),
                            const QImage& doubled = QImage());
    int SetBackgroundMode(quint8 placement, bool redraw = true);
    // With the flag on, a left-button press anywhere in the window (outside its controls)
    // moves the window as its title bar would.
    void SetDragAnywhere(bool on) { dragAnywhere_ = on; }
    // Makes the client area the bitmap's size, keeping the window's top left where it is, and
    // centres the bitmap in it. Without a bitmap nothing changes and the result is 1.
    int SizeToBackground(bool redraw = true);

    quint8 backgroundMode() const { return placement_; }
    bool dragAnywhere() const { return dragAnywhere_; }
    QSize backgroundSize() const { return picture_.size(); }
    // The window's shape from the transparent colour; empty when the window is whole.
    const QRegion& windowRegion() const { return region_; }

    // Where each copy of a bitmap of `bitmap` size goes in a client area of `client` size:
    // one rectangle per copy, in drawing order.
    static QList<QRect> PlacementRects(quint8 placement, QSize client, QSize bitmap);
    // The pixels of `bitmap` that are not of `transparentColor`, row by row.
    static QRegion RegionWithout(const QImage& bitmap, const QColor& transparentColor);

  protected:
    // Called with the painter after the background has been drawn; draws nothing here.
    virtual void PaintedBackground(QPainter& painter);

    // Qt paints the background in paintEvent (the children paint over it afterwards, from
    // the same back buffer), where Windows erases it in WM_ERASEBKGND.
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void releaseBackground();

    ScaledPicture picture_;
    QRegion region_;
    quint8 placement_ = Tiled;
    bool dragAnywhere_ = false;
    // Where a move by hand started, when the platform cannot move the window itself.
    std::optional<QPoint> dragOffset_;
};

}  // namespace parcelo
