#include "bitmap_background_dialog.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

namespace parcelo {

BitmapBackgroundDialog::BitmapBackgroundDialog(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags) {}

BitmapBackgroundDialog::~BitmapBackgroundDialog() {
    releaseBackground();
}

void BitmapBackgroundDialog::releaseBackground() {
    picture_ = ScaledPicture();
    if (!region_.isEmpty()) {
        // Qt's window mask stands in for the window region.
        clearMask();
        region_ = QRegion();
    }
}

int BitmapBackgroundDialog::SetBackgroundBitmap(int id, const QColor& transparentColor) {
    return SetBackgroundBitmap(ResourceBitmap(id), transparentColor, ResourceBitmap2x(id));
}

int BitmapBackgroundDialog::SetBackgroundBitmap(const QImage& bitmap,
                                                const QColor& transparentColor,
                                                const QImage& doubled) {
    releaseBackground();
    if (bitmap.isNull()) {
        update();
        return InvalidBitmap;
    }
    QRegion region;
    if (transparentColor.isValid()) {
        region = RegionWithout(bitmap, transparentColor);
        // A window without a single pixel could be neither seen nor closed.
        if (region.isEmpty()) {
            update();
            return NoRegion;
        }
    }
    picture_.normal = QPixmap::fromImage(bitmap);
    picture_.normal.setDevicePixelRatio(1.0);
    if (!doubled.isNull() && doubled.size() == 2 * bitmap.size()) {
        picture_.doubled = QPixmap::fromImage(doubled);
        picture_.doubled.setDevicePixelRatio(2.0);
    }
    if (!region.isEmpty()) {
        region_ = region;
        setMask(region_);
    }
    update();
    return Ok;
}

int BitmapBackgroundDialog::SetBackgroundMode(quint8 placement, bool redraw) {
    if (placement > kLastPlacement)
        return InvalidPlacement;
    placement_ = placement;
    if (redraw)
        update();
    return Ok;
}

int BitmapBackgroundDialog::SizeToBackground(bool redraw) {
    if (picture_.isNull())
        return InvalidBitmap;
    // In Qt a widget's size is its client area; the frame comes on top of it.
    resize(picture_.size());
    SetBackgroundMode(Centred, redraw);
    return Ok;
}

QList<QRect> BitmapBackgroundDialog::PlacementRects(quint8 placement, QSize client, QSize bitmap) {
    QList<QRect> rects;
    const int w = bitmap.width();
    const int h = bitmap.height();
    if (w <= 0 || h <= 0)
        return rects;
    const int cw = client.width();
    const int ch = client.height();
    // Halved with a shift, so that a bitmap larger than the window gets negative offsets.
    const int centreX = (cw - w) >> 1;
    const int centreY = (ch - h) >> 1;
    switch (placement) {
        case Tiled:
            for (int y = 0; y < ch; y += h) {
                for (int x = 0; x < cw; x += w)
                    rects << QRect(x, y, w, h);
            }
            break;
        case Centred:
            rects << QRect(centreX, centreY, w, h);
            break;
        case Stretched:
            rects << QRect(0, 0, cw, ch);
            break;
        case TiledAlongTop:
        case TiledAlongBottom:
            for (int x = 0; x < cw; x += w)
                rects << QRect(x, placement == TiledAlongTop ? 0 : ch - h, w, h);
            break;
        case TiledDownLeft:
        case TiledDownRight:
            for (int y = 0; y < ch; y += h)
                rects << QRect(placement == TiledDownLeft ? 0 : cw - w, y, w, h);
            break;
        case TopLeft:
            rects << QRect(0, 0, w, h);
            break;
        case TopRight:
            rects << QRect(cw - w, 0, w, h);
            break;
        case TopCentre:
            rects << QRect(centreX, 0, w, h);
            break;
        case BottomLeft:
            rects << QRect(0, ch - h, w, h);
            break;
        case BottomRight:
            rects << QRect(cw - w, ch - h, w, h);
            break;
        case BottomCentre:
            rects << QRect(centreX, ch - h, w, h);
            break;
        default:
            break;
    }
    return rects;
}

QRegion BitmapBackgroundDialog::RegionWithout(const QImage& bitmap,
                                              const QColor& transparentColor) {
    // Every column counts, whatever the width: reading rows as if they were padded to four
    // bytes would drop the last columns of a bitmap whose width is not a multiple of 4.
    const QImage pixels = bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb transparent = transparentColor.rgb() & RGB_MASK;
    QRegion region;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        int x = 0;
        while (x < pixels.width()) {
            while (x < pixels.width() && (row[x] & RGB_MASK) == transparent)
                ++x;
            const int start = x;
            while (x < pixels.width() && (row[x] & RGB_MASK) != transparent)
                ++x;
            if (x > start)
                region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

void BitmapBackgroundDialog::PaintedBackground(QPainter&) {}

void BitmapBackgroundDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.setClipRegion(event->region());
    // Whatever the placement leaves uncovered shows the window's own colour.
    painter.fillRect(rect(), palette().window());
    const QPixmap& pixmap = picture_.forDevice(painter);
    if (placement_ == Stretched)
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const QRect& target : PlacementRects(placement_, size(), picture_.size())) {
        if (target.intersects(event->rect()))
            painter.drawPixmap(target, pixmap);
    }
    PaintedBackground(painter);
}

void BitmapBackgroundDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // Centred and edge placements move with the size: everything is drawn anew.
    if (!picture_.isNull())
        update();
}

void BitmapBackgroundDialog::mousePressEvent(QMouseEvent* event) {
    if (dragAnywhere_ && event->button() == Qt::LeftButton) {
        // The platform moves the window as if its title bar had been pressed (WM_NCLBUTTONDOWN
        // with HTCAPTION on Windows); where it cannot, the window follows the mouse by hand.
        QWindow* handle = window()->windowHandle();
        if (handle == nullptr || !handle->startSystemMove())
            dragOffset_ = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
    }
    QDialog::mousePressEvent(event);
}

void BitmapBackgroundDialog::mouseMoveEvent(QMouseEvent* event) {
    if (dragOffset_ && (event->buttons() & Qt::LeftButton))
        window()->move(event->globalPosition().toPoint() - *dragOffset_);
    QDialog::mouseMoveEvent(event);
}

void BitmapBackgroundDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        dragOffset_.reset();
    QDialog::mouseReleaseEvent(event);
}

}  // namespace parcelo
