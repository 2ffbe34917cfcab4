#include "body/wmf_player.h"

#include "body/metafile_canvas.h"
#include "body/metafile_records.h"
#include "body/rtf/bitmap_decoding.h"
#include "body/rtf/code_page_text.h"

#include <string_view>

namespace parcelo {

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr qsizetype kPlaceableSize = 22;
constexpr qsizetype kHeaderSize = 18;
constexpr int kMaxRecords = 200'000;

QPointF pointAt(const MetafileRecord& r, qsizetype offset) {
    // WMF gives its coordinates y first.
    return QPointF(r.s16(offset + 2), r.s16(offset));
}

// Four 16-bit values, as WMF gives a rectangle: bottom, right, top, left.
QRectF boxAt(const MetafileRecord& r, qsizetype offset) {
    return QRectF(QPointF(r.s16(offset + 6), r.s16(offset + 4)),
                  QPointF(r.s16(offset + 2), r.s16(offset)));
}

QPolygonF pointsAt(const MetafileRecord& r, qsizetype offset, qsizetype count) {
    QPolygonF points;
    if (!r.has(offset, count * 4))
        return points;
    points.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        points.append(QPointF(r.s16(offset + 4 * i), r.s16(offset + 4 * i + 2)));
    return points;
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

Qt::BrushStyle hatchStyle(uint32_t hatch) {
    switch (hatch) {
        case 0:
            return Qt::HorPattern;
        case 1:
            return Qt::VerPattern;
        case 2:
            return Qt::FDiagPattern;
        case 3:
            return Qt::BDiagPattern;
        case 4:
            return Qt::CrossPattern;
        default:
            return Qt::DiagCrossPattern;
    }
}

MetafileFont fontAt(const MetafileRecord& r, qsizetype offset) {
    MetafileFont font;
    font.height = r.s16(offset);
    font.escapement = r.s16(offset + 4);
    font.weight = r.s16(offset + 8);
    font.italic = r.u8(offset + 10) != 0;
    font.underline = r.u8(offset + 11) != 0;
    font.strikeOut = r.u8(offset + 12) != 0;
    font.charset = r.u8(offset + 13);
    QByteArrayView face = r.bytes(offset + 18, std::min<qsizetype>(32, r.size() - offset - 18));
    if (const qsizetype end = face.indexOf('\0'); end >= 0)
        face.truncate(end);
    font.face = QString::fromLatin1(face);
    return font;
}

class WmfPlayer {
  public:
    WmfPlayer(QImage& image, const WmfHeader& header)
        : canvas_(image, MetafileCanvas::Mapping::Window, header.box, 0) {}

    bool play(QByteArrayView data, qsizetype at) {
        for (int count = 0; count < kMaxRecords && at + 6 <= data.size(); ++count) {
            const MetafileRecord head(data.sliced(at));
            const int64_t size = int64_t{head.u32(0)} * 2;
            if (size < 6 || size > data.size() - at)
                break;
            const uint16_t function = head.u16(4);
            if (function == 0)
                break;
            record(function, MetafileRecord(data.sliced(at + 6, size - 6)));
            at += size;
        }
        return canvas_.drewSomething();
    }

  private:
    void record(uint16_t function, const MetafileRecord& r);
    QString textOf(QByteArrayView bytes);
    void dib(const MetafileRecord& r, qsizetype dibAt, QRectF target, QRectF source, uint32_t rop);

    MetafileCanvas canvas_;
    CodePageDecoder decoder_;
};

QString WmfPlayer::textOf(QByteArrayView bytes) {
    const MetafileFont& font = canvas_.font();
    QString text;
    if (font.charset == 2) {
        const SymbolFont symbol = SymbolFontNamed(font.face);
        for (char c : bytes)
            text += QChar(symbol == SymbolFont::None ? char16_t(uint8_t(c))
                                                     : SymbolFontChar(symbol, uint8_t(c)));
        return text;
    }
    decoder_.append(std::string_view(bytes.data(), size_t(bytes.size())),
                    CodePageOfCharset(font.charset, 1252), text);
    return text;
}

void WmfPlayer::dib(const MetafileRecord& r, qsizetype dibAt, QRectF target, QRectF source,
                    uint32_t rop) {
    QImage image;
    if (r.size() > dibAt)
        image = ImageFromDib(r.bytes(dibAt, r.size() - dibAt), 16'000'000);
    if (!image.isNull() && !source.isEmpty()) {
        // Source rows count from the bottom of a bottom-up bitmap, as the image shows it.
        source.moveTop(image.height() - source.bottom());
    }
    canvas_.bitmap(image, target, source, rop);
}

void WmfPlayer::record(uint16_t function, const MetafileRecord& r) {
    switch (function) {
        case 0x0103:  // SetBkMode
            canvas_.setBackgroundOpaque(r.u16(0) == 2);
            return;
        case 0x0107:  // SetPolyFillMode
            canvas_.setPolyFillMode(r.u16(0));
            return;
        case 0x0201:  // SetBkColor
            canvas_.setBackgroundColor(ColorFromColorRef(r.u32(0)));
            return;
        case 0x0209:  // SetTextColor
            canvas_.setTextColor(ColorFromColorRef(r.u32(0)));
            return;
        case 0x012E:  // SetTextAlign
            canvas_.setTextAlign(r.u16(0));
            return;
        case 0x020B:  // SetWindowOrg
            canvas_.setWindowOrg(pointAt(r, 0));
            return;
        case 0x020C:  // SetWindowExt
            canvas_.setWindowExt(QSizeF(r.s16(2), r.s16(0)));
            return;
        case 0x020D:  // SetViewportOrg
            canvas_.setViewportOrg(pointAt(r, 0));
            return;
        case 0x020E:  // SetViewportExt
            canvas_.setViewportExt(QSizeF(r.s16(2), r.s16(0)));
            return;
        case 0x020F:  // OffsetWindowOrg
            canvas_.offsetWindowOrg(pointAt(r, 0));
            return;
        case 0x0211:  // OffsetViewportOrg
            canvas_.offsetViewportOrg(pointAt(r, 0));
            return;
        case 0x0410:  // ScaleWindowExt
            canvas_.scaleWindowExt(r.s16(6), r.s16(4), r.s16(2), r.s16(0));
            return;
        case 0x0412:  // ScaleViewportExt
            canvas_.scaleViewportExt(r.s16(6), r.s16(4), r.s16(2), r.s16(0));
            return;
        case 0x0416:  // IntersectClipRect
            canvas_.intersectClipRect(boxAt(r, 0));
            return;
        case 0x001E:  // SaveDC
            canvas_.save();
            return;
        case 0x0127:  // RestoreDC
            canvas_.restore(r.s16(0));
            return;
        case 0x0214:  // MoveTo
            canvas_.moveTo(pointAt(r, 0));
            return;
        case 0x0213:  // LineTo
            canvas_.lineTo(pointAt(r, 0));
            return;
        case 0x0324:  // Polygon
            canvas_.polygon(pointsAt(r, 2, r.s16(0)));
            return;
        case 0x0325:  // Polyline
            canvas_.polyline(pointsAt(r, 2, r.s16(0)));
            return;
        case 0x0538: {  // PolyPolygon
            const int polygons = r.u16(0);
            std::vector<QPolygonF> shapes;
            qsizetype at = 2 + 2 * qsizetype{polygons};
            for (int i = 0; i < polygons && r.ok(); ++i) {
                const int count = r.u16(2 + 2 * i);
                shapes.push_back(pointsAt(r, at, count));
                at += 4 * qsizetype{count};
            }
            if (r.ok())
                canvas_.polyPolygon(shapes);
            return;
        }
        case 0x041B:  // Rectangle
            canvas_.rectangle(boxAt(r, 0));
            return;
        case 0x061C:  // RoundRect
            canvas_.roundRect(boxAt(r, 4), QSizeF(r.s16(2), r.s16(0)));
            return;
        case 0x0418:  // Ellipse
            canvas_.ellipse(boxAt(r, 0));
            return;
        case 0x0817:  // Arc
        case 0x0830:  // Chord
        case 0x081A:  // Pie
            canvas_.arc(boxAt(r, 8), pointAt(r, 4), pointAt(r, 0),
                        function == 0x0817   ? 0
                        : function == 0x0830 ? 1
                                             : 2);
            return;
        case 0x0521: {  // TextOut
            const int length = r.s16(0);
            const qsizetype padded = (qsizetype{length} + 1) / 2 * 2;
            if (length > 0 && r.has(2, padded + 4))
                canvas_.text(pointAt(r, 2 + padded), textOf(r.bytes(2, length)));
            return;
        }
        case 0x0A32: {  // ExtTextOut
            const QPointF at = pointAt(r, 0);
            const int length = r.s16(4);
            const uint16_t options = r.u16(6);
            qsizetype textAt = 8;
            std::optional<QRectF> opaque;
            if (options & 0x0006) {
                // left, top, right, bottom, unlike the other records' rectangles
                const QRectF box(QPointF(r.s16(8), r.s16(10)), QPointF(r.s16(12), r.s16(14)));
                if (options & 0x0002)
                    opaque = box;
                textAt = 16;
            }
            if (length <= 0 || !r.has(textAt, length)) {
                if (opaque)
                    canvas_.text(at, {}, {}, opaque);
                return;
            }
            const QString text = textOf(r.bytes(textAt, length));
            std::vector<double> advances;
            const qsizetype dxAt = textAt + (qsizetype{length} + 1) / 2 * 2;
            // The advances are per byte; a double-byte text has fewer characters.
            if (r.has(dxAt, qsizetype{length} * 2) && text.size() == length)
                for (int i = 0; i < length; ++i)
                    advances.push_back(r.s16(dxAt + 2 * i));
            canvas_.text(at, text, advances, opaque);
            return;
        }
        case 0x02FA: {  // CreatePenIndirect
            MetafilePen pen;
            const uint16_t style = r.u16(0);
            pen.visible = (style & 0x0F) != 5;
            pen.style = penStyle(style);
            pen.width = r.s16(2);
            pen.color = ColorFromColorRef(r.u32(6));
            canvas_.addObject(pen);
            return;
        }
        case 0x02FC: {  // CreateBrushIndirect
            MetafileBrush brush;
            const uint16_t style = r.u16(0);
            brush.visible = style != 1;
            brush.color = ColorFromColorRef(r.u32(2));
            if (style == 2)
                brush.style = hatchStyle(r.u16(6));
            canvas_.addObject(brush);
            return;
        }
        case 0x0142: {  // DibCreatePatternBrush
            MetafileBrush brush;
            brush.pattern =
                ImageFromDib(r.bytes(4, std::max<qsizetype>(r.size() - 4, 0)), 1'000'000);
            canvas_.addObject(brush);
            return;
        }
        case 0x02FB:  // CreateFontIndirect
            canvas_.addObject(fontAt(r, 0));
            return;
        case 0x00F7:  // CreatePalette
        case 0x06FF:  // CreateRegion
        case 0x01F9:  // CreatePatternBrush
            canvas_.addObject(MetafileOtherObject{});
            return;
        case 0x012D:  // SelectObject
            canvas_.selectObject(r.u16(0));
            return;
        case 0x01F0:  // DeleteObject
            canvas_.deleteObject(r.u16(0));
            return;
        case 0x061D:  // PatBlt
            canvas_.bitmap({}, QRectF(pointAt(r, 8), QSizeF(r.s16(6), r.s16(4))), {}, r.u32(0));
            return;
        case 0x0F43:  // StretchDIBits
            dib(r, 22, QRectF(QPointF(r.s16(20), r.s16(18)), QSizeF(r.s16(16), r.s16(14))),
                QRectF(QPointF(r.s16(12), r.s16(10)), QSizeF(r.s16(8), r.s16(6))), r.u32(0));
            return;
        case 0x0B41:  // DIBStretchBlt
            if (r.size() > 22)
                dib(r, 20, QRectF(QPointF(r.s16(18), r.s16(16)), QSizeF(r.s16(14), r.s16(12))),
                    QRectF(QPointF(r.s16(10), r.s16(8)), QSizeF(r.s16(6), r.s16(4))), r.u32(0));
            else
                canvas_.bitmap({},
                               QRectF(QPointF(r.s16(20), r.s16(18)), QSizeF(r.s16(16), r.s16(14))),
                               {}, r.u32(0));
            return;
        case 0x0940:  // DIBBitBlt
            if (r.size() > 18)
                dib(r, 16, QRectF(QPointF(r.s16(14), r.s16(12)), QSizeF(r.s16(10), r.s16(8))),
                    QRectF(QPointF(r.s16(6), r.s16(4)), QSizeF(r.s16(10), r.s16(8))), r.u32(0));
            else
                canvas_.bitmap({},
                               QRectF(QPointF(r.s16(16), r.s16(14)), QSizeF(r.s16(12), r.s16(10))),
                               {}, r.u32(0));
            return;
        case 0x0D33:  // SetDIBitsToDevice
            dib(r, 18, QRectF(QPointF(r.s16(16), r.s16(14)), QSizeF(r.s16(12), r.s16(10))),
                QRectF(QPointF(r.s16(8), r.s16(6)), QSizeF(r.s16(12), r.s16(10))), 0x00CC0020);
            return;
        default:
            return;  // records that change nothing visible, or that real mail does not use
    }
}

}  // namespace

std::optional<WmfHeader> ReadWmfHeader(QByteArrayView data) {
    WmfHeader header;
    const MetafileRecord bytes(data);
    if (bytes.u32(0) == kPlaceableKey) {
        const QRectF box(QPointF(bytes.s16(6), bytes.s16(8)),
                         QPointF(bytes.s16(10), bytes.s16(12)));
        header.box = box.normalized();
        header.unitsPerInch = bytes.u16(14);
        header.recordsAt = kPlaceableSize;
    }
    const qsizetype at = header.recordsAt;
    const uint16_t type = bytes.u16(at);
    if ((type != 1 && type != 2) || bytes.u16(at + 2) != 9 || !bytes.ok())
        return std::nullopt;
    header.recordsAt = at + kHeaderSize;
    return header;
}

bool PlayWmf(QByteArrayView data, const WmfHeader& header, QImage& image) {
    return WmfPlayer(image, header).play(data, header.recordsAt);
}

}  // namespace parcelo
