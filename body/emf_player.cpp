#include "body/emf_player.h"

#include "body/metafile_canvas.h"
#include "body/metafile_records.h"
#include "body/rtf/bitmap_decoding.h"

namespace parcelo {

namespace {

constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr int kMaxRecords = 200'000;

QPointF pointAt(const MetafileRecord& r, qsizetype offset) {
    return QPointF(r.s32(offset), r.s32(offset + 4));
}

// A RECTL, whose right and bottom edges belong to it.
QRectF boxAt(const MetafileRecord& r, qsizetype offset) {
    return QRectF(pointAt(r, offset), pointAt(r, offset + 8));
}

// `count` points of 32 bits (or 16 when `small`) at `offset`.
QPolygonF pointsAt(const MetafileRecord& r, qsizetype offset, uint32_t count, bool small) {
    QPolygonF points;
    const qsizetype each = small ? 4 : 8;
    if (!r.has(offset, qsizetype{count} * each))
        return points;
    points.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype at = offset + i * each;
        points.append(small ? QPointF(r.s16(at), r.s16(at + 2)) : pointAt(r, at));
    }
    return points;
}

QTransform transformAt(const MetafileRecord& r, qsizetype offset) {
    return QTransform(r.f32(offset), r.f32(offset + 4), r.f32(offset + 8), r.f32(offset + 12),
                      r.f32(offset + 16), r.f32(offset + 20));
}

Qt::PenStyle penStyle(uint32_t style) {
    switch (style & 0x0F) {
        case 1:
            return Qt::DashLine;
        case 2:
            return Qt::DotLine;
        case 3:
            return Qt::DashDotLine;
        case 4:
            return Qt::DashDotDotLine;
        case 5:
            return Qt::NoPen;
        default:
            return Qt::SolidLine;
    }
}

// The bitmap that a record holds as a BITMAPINFO and bits at offsets from its start.
QImage bitmapAt(const MetafileRecord& r, uint32_t infoAt, uint32_t infoSize, uint32_t bitsAt,
                uint32_t bitsSize) {
    const QByteArrayView info = r.bytes(infoAt, infoSize);
    const QByteArrayView bits = r.bytes(bitsAt, bitsSize);
    if (info.isEmpty() || bits.isEmpty())
        return {};
    QByteArray dib;
    dib.reserve(info.size() + bits.size());
    dib.append(info);
    dib.append(bits);
    return ImageFromDib(dib, 16'000'000);
}

class EmfPlayer {
  public:
    EmfPlayer(QImage& image, const EmfHeader& header)
        : canvas_(image, MetafileCanvas::Mapping::Device,
                  QRectF(header.frame.topLeft() * header.deviceUnitsPerMm / 100,
                         header.frame.bottomRight() * header.deviceUnitsPerMm / 100),
                  header.deviceUnitsPerMm) {}

    bool play(QByteArrayView data) {
        qsizetype at = 0;
        for (int count = 0; count < kMaxRecords && at + 8 <= data.size(); ++count) {
            const MetafileRecord head(data.sliced(at));
            const uint32_t type = head.u32(0);
            const uint32_t size = head.u32(4);
            if (size < 8 || size % 4 != 0 || size > data.size() - at)
                break;
            if (type == 14)  // EOF
                break;
            record(type, MetafileRecord(data.sliced(at, size)));
            at += size;
        }
        return canvas_.drewSomething();
    }

  private:
    void record(uint32_t type, const MetafileRecord& r);
    void polyPoly(const MetafileRecord& r, bool small, bool closed);

    MetafileCanvas canvas_;
};

void EmfPlayer::polyPoly(const MetafileRecord& r, bool small, bool closed) {
    const uint32_t polygons = r.u32(24);
    const uint32_t total = r.u32(28);
    if (!r.has(32, qsizetype{polygons} * 4))
        return;
    qsizetype at = 32 + qsizetype{polygons} * 4;
    if (!r.has(at, qsizetype{total} * (small ? 4 : 8)))
        return;
    std::vector<QPolygonF> shapes;
    for (uint32_t i = 0; i < polygons; ++i) {
        const uint32_t count = r.u32(32 + 4 * qsizetype{i});
        QPolygonF points = pointsAt(r, at, count, small);
        if (points.size() != qsizetype{count})
            return;
        at += qsizetype{count} * (small ? 4 : 8);
        if (closed)
            shapes.push_back(std::move(points));
        else
            canvas_.polyline(points);
    }
    if (closed)
        canvas_.polyPolygon(shapes);
}

void EmfPlayer::record(uint32_t type, const MetafileRecord& r) {
    switch (type) {
        case 2:   // PolyBezier
        case 3:   // Polygon
        case 4:   // Polyline
        case 5:   // PolyBezierTo
        case 6:   // PolylineTo
        case 85:  // PolyBezier16
        case 86:  // Polygon16
        case 87:  // Polyline16
        case 88:  // PolyBezierTo16
        case 89:  // PolylineTo16
        {
            const bool small = type >= 85;
            const QPolygonF points = pointsAt(r, 28, r.u32(24), small);
            switch (small ? type - 83 : type) {
                case 2:
                    canvas_.polyBezier(points);
                    return;
                case 3:
                    canvas_.polygon(points);
                    return;
                case 4:
                    canvas_.polyline(points);
                    return;
                case 5:
                    canvas_.polyBezier(points, true);
                    return;
                default:
                    canvas_.polyline(points, true);
                    return;
            }
        }
        case 7:   // PolyPolyline
        case 90:  // PolyPolyline16
            polyPoly(r, type == 90, false);
            return;
        case 8:   // PolyPolygon
        case 91:  // PolyPolygon16
            polyPoly(r, type == 91, true);
            return;
        case 9:  // SetWindowExtEx
            canvas_.setWindowExt(QSizeF(r.s32(8), r.s32(12)));
            return;
        case 10:  // SetWindowOrgEx
            canvas_.setWindowOrg(pointAt(r, 8));
            return;
        case 11:  // SetViewportExtEx
            canvas_.setViewportExt(QSizeF(r.s32(8), r.s32(12)));
            return;
        case 12:  // SetViewportOrgEx
            canvas_.setViewportOrg(pointAt(r, 8));
            return;
        case 17:  // SetMapMode
            canvas_.setMapMode(r.s32(8));
            return;
        case 18:  // SetBkMode
            canvas_.setBackgroundOpaque(r.u32(8) == 2);
            return;
        case 19:  // SetPolyFillMode
            canvas_.setPolyFillMode(r.s32(8));
            return;
        case 22:  // SetTextAlign
            canvas_.setTextAlign(r.s32(8));
            return;
        case 24:  // SetTextColor
            canvas_.setTextColor(ColorFromColorRef(r.u32(8)));
            return;
        case 25:  // SetBkColor
            canvas_.setBackgroundColor(ColorFromColorRef(r.u32(8)));
            return;
        case 27:  // MoveToEx
            canvas_.moveTo(pointAt(r, 8));
            return;
        case 30:  // IntersectClipRect
            canvas_.intersectClipRect(boxAt(r, 8));
            return;
        case 33:  // SaveDC
            canvas_.save();
            return;
        case 34:  // RestoreDC
            canvas_.restore(r.s32(8));
            return;
        case 35:  // SetWorldTransform
            canvas_.setWorldTransform(transformAt(r, 8));
            return;
        case 36:  // ModifyWorldTransform
            canvas_.modifyWorldTransform(transformAt(r, 8), r.s32(32));
            return;
        case 37:  // SelectObject
            canvas_.selectObject(r.u32(8));
            return;
        case 38: {  // CreatePen
            MetafilePen pen;
            const uint32_t style = r.u32(12);
            pen.visible = (style & 0x0F) != 5;
            pen.style = penStyle(style);
            pen.width = r.s32(16);
            pen.color = ColorFromColorRef(r.u32(24));
            canvas_.setObject(r.u32(8), pen);
            return;
        }
        case 95: {  // ExtCreatePen
            MetafilePen pen;
            const uint32_t style = r.u32(28);
            pen.visible = (style & 0x0F) != 5 && r.u32(36) != 1;
            pen.style = penStyle(style);
            // A cosmetic pen is one pixel wide whatever its width says.
            pen.width = style & 0x00010000 ? r.u32(32) : 0;
            pen.color = ColorFromColorRef(r.u32(40));
            canvas_.setObject(r.u32(8), pen);
            return;
        }
        case 39: {  // CreateBrushIndirect
            MetafileBrush brush;
            const uint32_t style = r.u32(12);
            brush.visible = style != 1;
            brush.color = ColorFromColorRef(r.u32(16));
            if (style == 2)
                brush.style = Qt::DiagCrossPattern;
            canvas_.setObject(r.u32(8), brush);
            return;
        }
        case 94: {  // CreateDIBPatternBrushPt
            MetafileBrush brush;
            brush.pattern = bitmapAt(r, r.u32(16), r.u32(20), r.u32(24), r.u32(28));
            canvas_.setObject(r.u32(8), brush);
            return;
        }
        case 82: {  // ExtCreateFontIndirectW
            MetafileFont font;
            font.height = r.s32(12);
            font.escapement = r.s32(20);
            font.weight = r.s32(28);
            font.italic = r.u8(32) != 0;
            font.underline = r.u8(33) != 0;
            font.strikeOut = r.u8(34) != 0;
            font.charset = r.u8(35);
            QString face = r.utf16(40, std::min<qsizetype>(32, (r.size() - 40) / 2));
            if (const qsizetype end = face.indexOf(QChar(0)); end >= 0)
                face.truncate(end);
            font.face = face;
            canvas_.setObject(r.u32(8), font);
            return;
        }
        case 40:  // DeleteObject
            canvas_.deleteObject(r.u32(8));
            return;
        case 42:  // Ellipse
            canvas_.ellipse(boxAt(r, 8));
            return;
        case 43:  // Rectangle
            canvas_.rectangle(boxAt(r, 8));
            return;
        case 44:  // RoundRect
            canvas_.roundRect(boxAt(r, 8), QSizeF(r.s32(24), r.s32(28)));
            return;
        case 45:  // Arc
        case 46:  // Chord
        case 47:  // Pie
            canvas_.arc(boxAt(r, 8), pointAt(r, 24), pointAt(r, 32), int(type) - 45);
            return;
        case 54:  // LineTo
            canvas_.lineTo(pointAt(r, 8));
            return;
        case 59:  // BeginPath
            canvas_.beginPath();
            return;
        case 60:  // EndPath
            canvas_.endPath();
            return;
        case 61:  // CloseFigure
            canvas_.closeFigure();
            return;
        case 62:  // FillPath
            canvas_.fillPath();
            return;
        case 63:  // StrokeAndFillPath
            canvas_.strokeAndFillPath();
            return;
        case 64:  // StrokePath
            canvas_.strokePath();
            return;
        case 76:    // BitBlt
        case 77: {  // StretchBlt
            const QRectF target(pointAt(r, 24), QSizeF(r.s32(32), r.s32(36)));
            const QImage image = bitmapAt(r, r.u32(84), r.u32(88), r.u32(92), r.u32(96));
            QRectF source(pointAt(r, 44),
                          type == 77 ? QSizeF(r.s32(100), r.s32(104)) : target.size());
            if (!image.isNull())
                source.moveTop(image.height() - source.bottom());
            canvas_.bitmap(image, target, source, r.u32(40));
            return;
        }
        case 80: {  // SetDIBitsToDevice
            const QImage image = bitmapAt(r, r.u32(48), r.u32(52), r.u32(56), r.u32(60));
            const QSizeF size(r.s32(40), r.s32(44));
            QRectF source(pointAt(r, 32), size);
            if (!image.isNull())
                source.moveTop(image.height() - source.bottom());
            canvas_.bitmap(image, QRectF(pointAt(r, 24), size), source, 0x00CC0020);
            return;
        }
        case 81: {  // StretchDIBits
            const QImage image = bitmapAt(r, r.u32(48), r.u32(52), r.u32(56), r.u32(60));
            QRectF source(pointAt(r, 32), QSizeF(r.s32(40), r.s32(44)));
            if (!image.isNull())
                source.moveTop(image.height() - source.bottom());
            canvas_.bitmap(image, QRectF(pointAt(r, 24), QSizeF(r.s32(72), r.s32(76))), source,
                           r.u32(68));
            return;
        }
        case 84: {  // ExtTextOutW
            const QPointF at = pointAt(r, 36);
            const uint32_t length = r.u32(44);
            const uint32_t textAt = r.u32(48);
            const uint32_t options = r.u32(52);
            const uint32_t dxAt = r.u32(72);
            std::optional<QRectF> opaque;
            if (options & 0x0002)
                opaque = boxAt(r, 56);
            if (!r.has(textAt, qsizetype{length} * 2)) {
                if (opaque)
                    canvas_.text(at, {}, {}, opaque);
                return;
            }
            const QString text = r.utf16(textAt, length);
            std::vector<double> advances;
            if (dxAt != 0 && r.has(dxAt, qsizetype{length} * 4))
                for (uint32_t i = 0; i < length; ++i)
                    advances.push_back(r.s32(dxAt + 4 * qsizetype{i}));
            canvas_.text(at, text, advances, opaque);
            return;
        }
        default:
            return;  // records that change nothing visible, or that real mail does not use
    }
}

}  // namespace

std::optional<EmfHeader> ReadEmfHeader(QByteArrayView data) {
    const MetafileRecord r(data);
    if (r.u32(0) != 1 || r.u32(40) != kEmfSignature || !r.ok())
        return std::nullopt;
    EmfHeader header;
    header.frame = boxAt(r, 24).normalized();
    // szlDevice (pixels) over szlMillimeters
    const double devicePixels = r.s32(72);
    const double millimetres = r.s32(80);
    header.deviceUnitsPerMm =
        devicePixels > 0 && millimetres > 0 ? devicePixels / millimetres : 96 / 25.4;
    return header;
}

bool PlayEmf(QByteArrayView data, const EmfHeader& header, QImage& image) {
    return EmfPlayer(image, header).play(data);
}

}  // namespace parcelo
