#include "print/sheet_filter.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

namespace parcelo {

namespace {

// Room around a shape for its pen and its antialiasing: a shape that only touches the sheet
// is passed on, to be clipped there as before.
constexpr qreal kBleed = 16;

}  // namespace

class SheetFilter::Engine : public QPaintEngine {
  public:
    Engine(QPainter& target, const QRectF& sheet)
        : QPaintEngine(AllFeatures),
          target_(target),
          sheet_(sheet),
          base_(target.worldTransform()) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& given) override {
        const DirtyFlags dirty = given.state();
        // The transformation first: a clip is given in the coordinates of the one it came with.
        if (dirty & DirtyTransform) {
            transform_ = given.transform();
            target_.setWorldTransform(transform_ * base_);
        }
        if (dirty & DirtyPen)
            target_.setPen(given.pen());
        if (dirty & DirtyBrush)
            target_.setBrush(given.brush());
        if (dirty & DirtyBrushOrigin)
            target_.setBrushOrigin(given.brushOrigin());
        if (dirty & DirtyFont)
            target_.setFont(given.font());
        if (dirty & DirtyBackground)
            target_.setBackground(given.backgroundBrush());
        if (dirty & DirtyBackgroundMode)
            target_.setBackgroundMode(given.backgroundMode());
        if (dirty & DirtyHints) {
            target_.setRenderHints(target_.renderHints(), false);
            target_.setRenderHints(given.renderHints(), true);
        }
        if (dirty & DirtyCompositionMode)
            target_.setCompositionMode(given.compositionMode());
        if (dirty & DirtyOpacity)
            target_.setOpacity(given.opacity());
        if (dirty & DirtyClipPath)
            target_.setClipPath(given.clipPath(), given.clipOperation());
        if (dirty & DirtyClipRegion)
            target_.setClipRegion(given.clipRegion(), given.clipOperation());
        if (dirty & DirtyClipEnabled)
            target_.setClipping(given.isClipEnabled());
    }

    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            if (shows(rects[i]))
                target_.drawRect(rects[i]);
        }
    }
    void drawRects(const QRect* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            if (shows(rects[i]))
                target_.drawRect(rects[i]);
        }
    }
    void drawLines(const QLineF* lines, int count) override {
        for (int i = 0; i < count; ++i) {
            if (shows(QRectF(lines[i].p1(), lines[i].p2()).normalized()))
                target_.drawLine(lines[i]);
        }
    }
    void drawLines(const QLine* lines, int count) override {
        for (int i = 0; i < count; ++i) {
            if (shows(QRectF(lines[i].p1(), lines[i].p2()).normalized()))
                target_.drawLine(lines[i]);
        }
    }
    void drawEllipse(const QRectF& rect) override {
        if (shows(rect))
            target_.drawEllipse(rect);
    }
    void drawPath(const QPainterPath& path) override {
        if (shows(path.controlPointRect()))
            target_.drawPath(path);
    }
    void drawPoints(const QPointF* points, int count) override {
        target_.drawPoints(points, count);
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        if (!shows(QPolygonF(QList<QPointF>(points, points + count)).boundingRect()))
            return;
        switch (mode) {
            case PolylineMode:
                target_.drawPolyline(points, count);
                break;
            case ConvexMode:
                target_.drawConvexPolygon(points, count);
                break;
            case WindingMode:
                target_.drawPolygon(points, count, Qt::WindingFill);
                break;
            case OddEvenMode:
                target_.drawPolygon(points, count, Qt::OddEvenFill);
                break;
        }
    }
    void drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF& source) override {
        if (shows(rect))
            target_.drawPixmap(rect, pixmap, source);
    }
    void drawTiledPixmap(const QRectF& rect, const QPixmap& pixmap, const QPointF& at) override {
        if (shows(rect))
            target_.drawTiledPixmap(rect, pixmap, at);
    }
    void drawImage(const QRectF& rect, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override {
        if (shows(rect))
            target_.drawImage(rect, image, source, flags);
    }
    // Text is passed on as the glyphs it was shaped into, so that the target writes the same
    // text; the layout clips lines itself.
    void drawTextItem(const QPointF& at, const QTextItem& text) override {
        target_.drawTextItem(at, text);
    }

  private:
    // A line's rectangle has no height or no width, and meets nothing before it is widened.
    bool shows(const QRectF& rect) const {
        return transform_.mapRect(rect)
            .adjusted(-kBleed, -kBleed, kBleed, kBleed)
            .intersects(sheet_);
    }

    QPainter& target_;
    const QRectF sheet_;
    const QTransform base_;
    QTransform transform_;
};

SheetFilter::SheetFilter(QPainter& target, const QRectF& sheet)
    : engine_(std::make_unique<Engine>(target, sheet)), device_(target.device()) {}

SheetFilter::~SheetFilter() = default;

QPaintEngine* SheetFilter::paintEngine() const {
    return engine_.get();
}

int SheetFilter::metric(PaintDeviceMetric metric) const {
    switch (metric) {
        case PdmWidth:
            return device_->width();
        case PdmHeight:
            return device_->height();
        case PdmWidthMM:
            return device_->widthMM();
        case PdmHeightMM:
            return device_->heightMM();
        case PdmNumColors:
            return device_->colorCount();
        case PdmDepth:
            return device_->depth();
        case PdmDpiX:
            return device_->logicalDpiX();
        case PdmDpiY:
            return device_->logicalDpiY();
        case PdmPhysicalDpiX:
            return device_->physicalDpiX();
        case PdmPhysicalDpiY:
            return device_->physicalDpiY();
        case PdmDevicePixelRatio:
            return int(device_->devicePixelRatio());
        case PdmDevicePixelRatioScaled:
            return int(device_->devicePixelRatio() * devicePixelRatioFScale());
    }
    return 0;
}

}  // namespace parcelo
