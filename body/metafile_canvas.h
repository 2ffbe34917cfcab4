// The device context that Windows metafiles draw into, over a QPainter: the object table of
// pens, brushes and fonts, the saved states, and the mapping of logical coordinates onto the
// picture. The WMF and EMF players read their records into calls on it.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <optional>
#include <variant>
#include <vector>

namespace parcelo {

// A LOGFONT as both formats give it.
struct MetafileFont {
    double height = 12;  // logical units; negative: the height of the letters without leading
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int escapement = 0;  // tenths of a degree, counter-clockwise
    int charset = 0;
    QString face;
};

struct MetafilePen {
    bool visible = true;
    double width = 0;  // logical units; 0: one device pixel
    Qt::PenStyle style = Qt::SolidLine;
    QColor color = Qt::black;
};

struct MetafileBrush {
    bool visible = true;
    QColor color = Qt::white;
    Qt::BrushStyle style = Qt::SolidPattern;
    QImage pattern;
};

// Palettes, regions and the like take a slot in the table without being drawn with.
struct MetafileOtherObject {};

using MetafileObject = std::variant<MetafilePen, MetafileBrush, MetafileFont, MetafileOtherObject>;

class MetafileCanvas {
  public:
    // The most objects a metafile may hold at once, and the most saved states.
    static constexpr int kMaxObjects = 4096;
    static constexpr int kMaxSavedStates = 64;

    enum class Mapping {
        Window,  // WMF: the window is stretched over the whole picture
        Device,  // EMF: logical units go through the mapping mode to device units, and the
                 // header's frame (in device units) is stretched over the picture
    };

    // Draws onto `image`, whose whole area shows `frame`: the window of a WMF (replaced by
    // the first SetWindowExt when empty) or the device frame of an EMF.
    MetafileCanvas(QImage& image, Mapping mapping, QRectF frame, double deviceUnitsPerMm);

    // Objects. WMF puts a new one into the lowest free slot; EMF names its slot.
    void addObject(MetafileObject object);
    void setObject(uint32_t index, MetafileObject object);
    void selectObject(uint32_t index);
    void selectStockObject(uint32_t stock);
    void deleteObject(uint32_t index);

    void save();
    void restore(int relative);

    // Mapping.
    void setMapMode(int mode);
    void setWindowOrg(QPointF origin);
    void setWindowExt(QSizeF extent);
    void setViewportOrg(QPointF origin);
    void setViewportExt(QSizeF extent);
    void offsetWindowOrg(QPointF by);
    void offsetViewportOrg(QPointF by);
    void scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
    void scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
    void setWorldTransform(const QTransform& transform);
    void modifyWorldTransform(const QTransform& transform, int mode);

    // Attributes.
    void setTextColor(QColor color) { state_.textColor = color; }
    void setBackgroundColor(QColor color) { state_.backgroundColor = color; }
    void setBackgroundOpaque(bool opaque) { state_.opaqueBackground = opaque; }
    void setTextAlign(int align) { state_.textAlign = align; }
    void setPolyFillMode(int mode) { state_.windingFill = mode == 2; }
    void intersectClipRect(QRectF rect);

    // Drawing, in logical units.
    void moveTo(QPointF point);
    void lineTo(QPointF point);
    void polyline(const QPolygonF& points, bool fromCurrent = false);
    void polygon(const QPolygonF& points);
    void polyPolygon(const std::vector<QPolygonF>& polygons);
    void polyBezier(const QPolygonF& points, bool fromCurrent = false);
    void rectangle(QRectF rect);
    void roundRect(QRectF rect, QSizeF corner);
    void ellipse(QRectF rect);
    void arc(QRectF box, QPointF start, QPointF end, int kind);  // 0 arc, 1 chord, 2 pie
    void fillRect(QRectF rect, QColor color);
    void patternFill(QRectF rect);
    // Text at `at`; `advances` (logical units), when given, place each character.
    void text(QPointF at, const QString& text, const std::vector<double>& advances = {},
              std::optional<QRectF> opaqueBox = std::nullopt);
    // A bitmap stretched over `target`; `source` is the part of it to show (in its pixels,
    // the top row first), and `rop` the raster operation.
    void bitmap(const QImage& image, QRectF target, QRectF source, uint32_t rop);

    // Paths (EMF): while one is open, drawing calls add to it.
    void beginPath();
    void endPath();
    void closeFigure();
    void fillPath();
    void strokePath();
    void strokeAndFillPath();

    const MetafileFont& font() const { return state_.font; }

    // Whether anything was drawn.
    bool drewSomething() const { return drawn_ > 0; }

  private:
    struct State {
        MetafilePen pen;
        MetafileBrush brush;
        MetafileFont font;
        QColor textColor = Qt::black;
        QColor backgroundColor = Qt::white;
        bool opaqueBackground = true;
        int textAlign = 0;
        bool windingFill = false;
        int mapMode = 1;
        QPointF windowOrg;
        QSizeF windowExt{1, 1};
        QPointF viewportOrg;
        QSizeF viewportExt{1, 1};
        bool windowExtSet = false;
        QTransform world;
        QPointF current;
        std::optional<QPainterPath> clip;  // in device units of the picture
    };

    QTransform toImage() const;
    QPainterPath logicalPath(const QPolygonF& points, bool closed) const;
    void draw(const QPainterPath& path, bool fill, bool stroke);
    QPen painterPen() const;
    QBrush painterBrush() const;
    void applyClip();

    QImage& image_;
    QPainter painter_;
    Mapping mapping_;
    QRectF frame_;
    double deviceUnitsPerMm_;
    State state_;
    std::vector<State> saved_;
    std::vector<std::optional<MetafileObject>> objects_;
    std::optional<QPainterPath> path_;  // logical units, while a path is open
    QPainterPath finishedPath_;
    int drawn_ = 0;
    double painted_ = 0;  // picture pixels covered so far
};

// A COLORREF: red in the low byte.
inline QColor ColorFromColorRef(uint32_t value) {
    return QColor(value & 0xFF, value >> 8 & 0xFF, value >> 16 & 0xFF);
}

}  // namespace parcelo
