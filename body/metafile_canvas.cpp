#include "body/metafile_canvas.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace parcelo {

namespace {

// Painting is bounded by the area it covers, not the records' count alone: a few thousand
// records that each fill the whole picture would take minutes.
constexpr double kMaxPaintedArea = 400'000'000;
constexpr int kMaxFontPixels = 2000;

constexpr uint32_t kSrcAnd = 0x008800C6;
constexpr uint32_t kSrcPaint = 0x00EE0086;
constexpr uint32_t kSrcInvert = 0x00660046;
constexpr uint32_t kPatCopy = 0x00F00021;
constexpr uint32_t kBlackness = 0x00000042;
constexpr uint32_t kWhiteness = 0x00FF0062;

double axisLength(double a, double b) {
    return std::sqrt(a * a + b * b);
}

}  // namespace

MetafileCanvas::MetafileCanvas(QImage& image, Mapping mapping, QRectF frame,
                               double deviceUnitsPerMm)
    : image_(image),
      painter_(&image),
      mapping_(mapping),
      frame_(frame),
      deviceUnitsPerMm_(deviceUnitsPerMm > 0 ? deviceUnitsPerMm : 96 / 25.4) {
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform);
    if (mapping_ == Mapping::Window && !frame_.isEmpty()) {
        state_.windowOrg = frame_.topLeft();
        state_.windowExt = frame_.size();
    }
}

QTransform MetafileCanvas::toImage() const {
    const double width = image_.width();
    const double height = image_.height();
    if (mapping_ == Mapping::Window) {
        // A placeable header's box is where the picture is; a window set later by the
        // records only repeats it, or is an application's leftover.
        QRectF window = frame_;
        if (window.isEmpty() || !std::isfinite(window.width()))
            window = QRectF(state_.windowOrg, state_.windowExt);
        if (window.width() == 0 || window.height() == 0)
            window = QRectF(0, 0, width, height);
        return QTransform::fromTranslate(-window.x(), -window.y()) *
               QTransform::fromScale(width / window.width(), height / window.height());
    }
    double sx = 1;
    double sy = 1;
    switch (state_.mapMode) {
        case 2:  // tenths of a millimetre, the y axis up
            sx = deviceUnitsPerMm_ / 10;
            sy = -sx;
            break;
        case 3:  // hundredths of a millimetre
            sx = deviceUnitsPerMm_ / 100;
            sy = -sx;
            break;
        case 4:  // hundredths of an inch
            sx = deviceUnitsPerMm_ * 0.254;
            sy = -sx;
            break;
        case 5:  // thousandths of an inch
            sx = deviceUnitsPerMm_ * 0.0254;
            sy = -sx;
            break;
        case 6:  // twips
            sx = deviceUnitsPerMm_ * 25.4 / 1440;
            sy = -sx;
            break;
        case 7:
        case 8:
            if (state_.windowExt.width() != 0 && state_.windowExt.height() != 0) {
                sx = state_.viewportExt.width() / state_.windowExt.width();
                sy = state_.viewportExt.height() / state_.windowExt.height();
            }
            break;
        default:
            break;
    }
    const QTransform page =
        QTransform::fromTranslate(-state_.windowOrg.x(), -state_.windowOrg.y()) *
        QTransform::fromScale(sx, sy) *
        QTransform::fromTranslate(state_.viewportOrg.x(), state_.viewportOrg.y());
    QRectF frame = frame_;
    if (frame.isEmpty())
        frame = QRectF(0, 0, width, height);
    const QTransform device = QTransform::fromTranslate(-frame.x(), -frame.y()) *
                              QTransform::fromScale(width / frame.width(), height / frame.height());
    return state_.world * page * device;
}

void MetafileCanvas::addObject(MetafileObject object) {
    auto free = std::find_if(objects_.begin(), objects_.end(),
                             [](const auto& slot) { return !slot.has_value(); });
    if (free != objects_.end()) {
        *free = std::move(object);
    } else if (objects_.size() < kMaxObjects) {
        objects_.push_back(std::move(object));
    }
}

void MetafileCanvas::setObject(uint32_t index, MetafileObject object) {
    if (index >= kMaxObjects)
        return;
    if (objects_.size() <= index)
        objects_.resize(index + 1);
    objects_[index] = std::move(object);
}

void MetafileCanvas::selectObject(uint32_t index) {
    if (index & 0x80000000u) {
        selectStockObject(index & 0x7FFFFFFFu);
        return;
    }
    if (index >= objects_.size() || !objects_[index])
        return;
    const MetafileObject& object = *objects_[index];
    if (const auto* pen = std::get_if<MetafilePen>(&object))
        state_.pen = *pen;
    else if (const auto* brush = std::get_if<MetafileBrush>(&object))
        state_.brush = *brush;
    else if (const auto* font = std::get_if<MetafileFont>(&object))
        state_.font = *font;
}

void MetafileCanvas::selectStockObject(uint32_t stock) {
    switch (stock) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4: {
            static constexpr int kGreys[] = {255, 192, 128, 64, 0};
            state_.brush = {
                true, QColor(kGreys[stock], kGreys[stock], kGreys[stock]), Qt::SolidPattern, {}};
            return;
        }
        case 5:
            state_.brush.visible = false;
            return;
        case 6:
        case 7:
            state_.pen = {true, 0, Qt::SolidLine, stock == 6 ? Qt::white : Qt::black};
            return;
        case 8:
            state_.pen.visible = false;
            return;
        case 10:
        case 11:
        case 16:
            state_.font = {};
            state_.font.face = QStringLiteral("Courier New");
            return;
        case 12:
        case 13:
        case 14:
        case 17:
            state_.font = {};
            return;
        default:
            return;
    }
}

void MetafileCanvas::deleteObject(uint32_t index) {
    if (index < objects_.size())
        objects_[index].reset();
}

void MetafileCanvas::save() {
    if (saved_.size() < kMaxSavedStates)
        saved_.push_back(state_);
}

void MetafileCanvas::restore(int relative) {
    const int64_t target = relative < 0 ? int64_t(saved_.size()) + relative : int64_t{relative} - 1;
    if (target < 0 || target >= int64_t(saved_.size()))
        return;
    state_ = saved_[size_t(target)];
    saved_.resize(size_t(target));
    applyClip();
}

void MetafileCanvas::setMapMode(int mode) {
    state_.mapMode = mode;
}

void MetafileCanvas::setWindowOrg(QPointF origin) {
    state_.windowOrg = origin;
}

void MetafileCanvas::setWindowExt(QSizeF extent) {
    state_.windowExt = extent;
    state_.windowExtSet = true;
}

void MetafileCanvas::setViewportOrg(QPointF origin) {
    state_.viewportOrg = origin;
}

void MetafileCanvas::setViewportExt(QSizeF extent) {
    state_.viewportExt = extent;
}

void MetafileCanvas::offsetWindowOrg(QPointF by) {
    state_.windowOrg += by;
}

void MetafileCanvas::offsetViewportOrg(QPointF by) {
    state_.viewportOrg += by;
}

void MetafileCanvas::scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom != 0 && yDenom != 0)
        state_.windowExt = QSizeF(state_.windowExt.width() * xNum / xDenom,
                                  state_.windowExt.height() * yNum / yDenom);
}

void MetafileCanvas::scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom != 0 && yDenom != 0)
        state_.viewportExt = QSizeF(state_.viewportExt.width() * xNum / xDenom,
                                    state_.viewportExt.height() * yNum / yDenom);
}

void MetafileCanvas::setWorldTransform(const QTransform& transform) {
    if (transform.isInvertible())
        state_.world = transform;
}

void MetafileCanvas::modifyWorldTransform(const QTransform& transform, int mode) {
    switch (mode) {
        case 1:
            state_.world = QTransform();
            return;
        case 2:
            setWorldTransform(transform * state_.world);
            return;
        case 3:
            setWorldTransform(state_.world * transform);
            return;
        case 4:
            setWorldTransform(transform);
            return;
        default:
            return;
    }
}

void MetafileCanvas::intersectClipRect(QRectF rect) {
    QPainterPath box;
    box.addRect(rect.normalized());
    const QPainterPath mapped = toImage().map(box);
    state_.clip = state_.clip ? state_.clip->intersected(mapped) : mapped;
    applyClip();
}

void MetafileCanvas::applyClip() {
    painter_.resetTransform();
    if (state_.clip)
        painter_.setClipPath(*state_.clip);
    else
        painter_.setClipping(false);
}

QPen MetafileCanvas::painterPen() const {
    if (!state_.pen.visible)
        return Qt::NoPen;
    QPen pen(state_.pen.color);
    pen.setStyle(state_.pen.style);
    const QTransform t = toImage();
    const double scale = std::max(axisLength(t.m11(), t.m12()), axisLength(t.m21(), t.m22()));
    // Windows draws every pen at least one device pixel wide.
    if (state_.pen.width * scale <= 1) {
        pen.setWidthF(1);
        pen.setCosmetic(true);
    } else {
        pen.setWidthF(state_.pen.width);
    }
    return pen;
}

QBrush MetafileCanvas::painterBrush() const {
    if (!state_.brush.visible)
        return Qt::NoBrush;
    if (!state_.brush.pattern.isNull())
        return QBrush(state_.brush.pattern);
    return QBrush(state_.brush.color, state_.brush.style);
}

void MetafileCanvas::draw(const QPainterPath& path, bool fill, bool stroke) {
    if (path_) {
        path_->addPath(path);
        return;
    }
    const QTransform t = toImage();
    const QRectF area = t.mapRect(path.controlPointRect()).intersected(image_.rect());
    const double cost = std::max(area.width() * area.height(), double(path.elementCount()));
    if (painted_ + cost > kMaxPaintedArea)
        return;
    painted_ += cost;
    QPainterPath shape = path;
    shape.setFillRule(state_.windingFill ? Qt::WindingFill : Qt::OddEvenFill);
    painter_.setTransform(t);
    painter_.setPen(stroke ? painterPen() : QPen(Qt::NoPen));
    painter_.setBrush(fill ? painterBrush() : QBrush(Qt::NoBrush));
    painter_.drawPath(shape);
    ++drawn_;
}

QPainterPath MetafileCanvas::logicalPath(const QPolygonF& points, bool closed) const {
    QPainterPath path;
    path.addPolygon(points);
    if (closed)
        path.closeSubpath();
    return path;
}

void MetafileCanvas::moveTo(QPointF point) {
    state_.current = point;
    if (path_)
        path_->moveTo(point);
}

void MetafileCanvas::lineTo(QPointF point) {
    if (path_) {
        if (path_->elementCount() == 0)
            path_->moveTo(state_.current);
        path_->lineTo(point);
    } else {
        QPainterPath line(state_.current);
        line.lineTo(point);
        draw(line, false, true);
    }
    state_.current = point;
}

void MetafileCanvas::polyline(const QPolygonF& points, bool fromCurrent) {
    if (points.isEmpty())
        return;
    if (path_) {
        if (!fromCurrent)
            path_->moveTo(points.front());
        else if (path_->elementCount() == 0)
            path_->moveTo(state_.current);
        for (const QPointF& point : points)
            path_->lineTo(point);
    } else {
        QPolygonF line = points;
        if (fromCurrent)
            line.prepend(state_.current);
        draw(logicalPath(line, false), false, true);
    }
    if (fromCurrent)
        state_.current = points.back();
}

void MetafileCanvas::polygon(const QPolygonF& points) {
    if (points.size() >= 2)
        draw(logicalPath(points, true), true, true);
}

void MetafileCanvas::polyPolygon(const std::vector<QPolygonF>& polygons) {
    QPainterPath path;
    for (const QPolygonF& points : polygons) {
        path.addPolygon(points);
        path.closeSubpath();
    }
    draw(path, true, true);
}

void MetafileCanvas::polyBezier(const QPolygonF& points, bool fromCurrent) {
    QPainterPath curve;
    qsizetype i = 0;
    if (fromCurrent) {
        curve.moveTo(state_.current);
    } else {
        if (points.isEmpty())
            return;
        curve.moveTo(points[0]);
        i = 1;
    }
    for (; i + 2 < points.size(); i += 3) {
        curve.cubicTo(points[i], points[i + 1], points[i + 2]);
    }
    if (path_) {
        if (fromCurrent && path_->elementCount() > 0)
            path_->connectPath(curve);
        else
            path_->addPath(curve);
    } else {
        draw(curve, false, true);
    }
    if (fromCurrent && !points.isEmpty())
        state_.current = curve.currentPosition();
}

void MetafileCanvas::rectangle(QRectF rect) {
    QPainterPath path;
    path.addRect(rect.normalized());
    draw(path, true, true);
}

void MetafileCanvas::roundRect(QRectF rect, QSizeF corner) {
    QPainterPath path;
    path.addRoundedRect(rect.normalized(), std::abs(corner.width()) / 2,
                        std::abs(corner.height()) / 2);
    draw(path, true, true);
}

void MetafileCanvas::ellipse(QRectF rect) {
    QPainterPath path;
    path.addEllipse(rect.normalized());
    draw(path, true, true);
}

void MetafileCanvas::arc(QRectF box, QPointF start, QPointF end, int kind) {
    box = box.normalized();
    const QPointF center = box.center();
    const auto angleOf = [&](QPointF point) {
        return std::atan2(center.y() - point.y(), point.x() - center.x()) * 180 / M_PI;
    };
    const double from = angleOf(start);
    double sweep = angleOf(end) - from;
    if (sweep <= 0)
        sweep += 360;
    QPainterPath path;
    if (kind == 2)
        path.moveTo(center);
    else
        path.arcMoveTo(box, from);
    path.arcTo(box, from, sweep);
    if (kind != 0)
        path.closeSubpath();
    draw(path, kind != 0, true);
}

void MetafileCanvas::fillRect(QRectF rect, QColor color) {
    const MetafileBrush brush = state_.brush;
    const MetafilePen pen = state_.pen;
    state_.brush = {true, color, Qt::SolidPattern, {}};
    QPainterPath path;
    path.addRect(rect.normalized());
    draw(path, true, false);
    state_.brush = brush;
    state_.pen = pen;
}

void MetafileCanvas::patternFill(QRectF rect) {
    QPainterPath path;
    path.addRect(rect.normalized());
    draw(path, true, false);
}

void MetafileCanvas::text(QPointF at, const QString& text, const std::vector<double>& advances,
                          std::optional<QRectF> opaqueBox) {
    if (opaqueBox)
        fillRect(*opaqueBox, state_.backgroundColor);
    if (text.isEmpty() || path_)
        return;
    const bool updateCurrent = state_.textAlign & 1;
    if (updateCurrent)
        at = state_.current;
    const QTransform t = toImage();
    const double xScale = axisLength(t.m11(), t.m12());
    const double yScale = axisLength(t.m21(), t.m22());

    QFont font(state_.font.face.isEmpty() ? QStringLiteral("Arial") : state_.font.face);
    const double logicalHeight = state_.font.height == 0 ? 12 : state_.font.height;
    double pixels = std::abs(logicalHeight) * yScale;
    font.setPixelSize(std::clamp(int(std::lround(pixels)), 1, kMaxFontPixels));
    if (logicalHeight > 0) {
        // A positive height is the cell's, leading included; Qt sizes the letters alone.
        const QFontMetricsF metrics(font);
        if (metrics.height() > 0)
            pixels = pixels * pixels / metrics.height();
        font.setPixelSize(std::clamp(int(std::lround(pixels)), 1, kMaxFontPixels));
    }
    font.setWeight(
        QFont::Weight(std::clamp(state_.font.weight > 0 ? state_.font.weight : 400, 100, 900)));
    font.setItalic(state_.font.italic);
    font.setUnderline(state_.font.underline);
    font.setStrikeOut(state_.font.strikeOut);
    const QFontMetricsF metrics(font);

    std::vector<double> offsets;  // of each character, in picture pixels
    double width = 0;
    if (!advances.empty()) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            offsets.push_back(width);
            width += (size_t(i) < advances.size() ? advances[size_t(i)] : 0) * xScale;
        }
    } else {
        width = metrics.horizontalAdvance(text);
    }
    double x = 0;
    switch (state_.textAlign & 6) {
        case 6:
            x = -width / 2;
            break;
        case 2:
            x = -width;
            break;
        default:
            break;
    }
    double y = 0;
    switch (state_.textAlign & 24) {
        case 0:
            y = metrics.ascent();
            break;
        case 8:
            y = -metrics.descent();
            break;
        default:
            break;
    }
    const double cost = width * metrics.height();
    if (painted_ + cost > kMaxPaintedArea)
        return;
    painted_ += cost;

    painter_.setTransform(QTransform::fromTranslate(t.map(at).x(), t.map(at).y()));
    painter_.rotate(-state_.font.escapement / 10.0);
    if (state_.opaqueBackground)
        painter_.fillRect(QRectF(x, y - metrics.ascent(), width, metrics.height()),
                          state_.backgroundColor);
    painter_.setFont(font);
    painter_.setPen(state_.textColor);
    if (offsets.empty()) {
        painter_.drawText(QPointF(x, y), text);
    } else {
        for (qsizetype i = 0; i < text.size(); ++i)
            painter_.drawText(QPointF(x + offsets[size_t(i)], y), QString(text[i]));
    }
    ++drawn_;
    if (updateCurrent && xScale > 0)
        state_.current.rx() += width / xScale;
}

void MetafileCanvas::bitmap(const QImage& image, QRectF target, QRectF source, uint32_t rop) {
    if (image.isNull()) {
        if (rop == kPatCopy)
            patternFill(target);
        else if (rop == kBlackness || rop == kWhiteness)
            fillRect(target, rop == kBlackness ? Qt::black : Qt::white);
        return;
    }
    if (path_)
        return;
    QRectF part = source.isEmpty() ? QRectF(image.rect()) : source.intersected(image.rect());
    if (part.isEmpty())
        return;
    const QTransform t = toImage();
    const QRectF area = t.mapRect(target).intersected(image_.rect());
    const double cost = area.width() * area.height();
    if (painted_ + cost > kMaxPaintedArea)
        return;
    painted_ += cost;
    QImage shown = image.copy(part.toAlignedRect());
    // A negative extent mirrors the picture.
    shown = shown.mirrored(target.width() < 0, target.height() < 0);
    painter_.setTransform(t);
    switch (rop) {
        case kSrcAnd:
            painter_.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
            break;
        case kSrcPaint:
            painter_.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
            break;
        case kSrcInvert:
            painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            break;
        default:
            break;
    }
    painter_.drawImage(target.normalized(), shown);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    ++drawn_;
}

void MetafileCanvas::beginPath() {
    path_ = QPainterPath();
    path_->moveTo(state_.current);
}

void MetafileCanvas::endPath() {
    if (!path_)
        return;
    finishedPath_ = *path_;
    path_.reset();
}

void MetafileCanvas::closeFigure() {
    if (path_)
        path_->closeSubpath();
}

void MetafileCanvas::fillPath() {
    endPath();
    draw(finishedPath_, true, false);
    finishedPath_ = {};
}

void MetafileCanvas::strokePath() {
    endPath();
    draw(finishedPath_, false, true);
    finishedPath_ = {};
}

void MetafileCanvas::strokeAndFillPath() {
    endPath();
    draw(finishedPath_, true, true);
    finishedPath_ = {};
}

}  // namespace parcelo
