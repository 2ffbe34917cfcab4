// A body document laid out on the sheets of a printer or a PDF file: laid out once with the
// device's own font metrics for the sheet less the margins, one band of that layout per sheet.
#pragma once

#include <QMargins>
#include <QRectF>

#include <map>
#include <memory>
#include <vector>

class QPaintDevice;
class QPainter;
class QTextDocument;

namespace parcelo {

class BodyPages {
  public:
    // The margins a body prints with: left, top, right and bottom, in points (1/72 inch).
    static constexpr QMargins kMargins{50, 50, 50, 50};

    // Where the text goes on a sheet of `sheet` device pixels at `dpiX` × `dpiY` dots an
    // inch: the whole sheet less `margins` (in points).
    static QRectF PageArea(const QRectF& sheet, qreal dpiX, qreal dpiY, const QMargins& margins);

    // Lays out a copy of `source` for `device`, whose pages show the band `area` (device
    // pixels) of each sheet. `source` is only read, here and never after.
    BodyPages(const QTextDocument& source, QPaintDevice& device, const QRectF& area);
    // Lays out `document` itself rather than a copy, which for a long body saves seconds: for
    // a document made only to be printed. It is laid out as it is, so it should be an offline
    // document: a plain one reads any local file it names.
    BodyPages(std::unique_ptr<QTextDocument> document, QPaintDevice& device, const QRectF& area);
    ~BodyPages();
    BodyPages(const BodyPages&) = delete;
    BodyPages& operator=(const BodyPages&) = delete;

    // The sheets the body fills; none for an empty body.
    int pageCount() const;
    // Draws sheet `sheet` (0 for the first) with `painter` on the device laid out for.
    void draw(QPainter& painter, int sheet) const;

  private:
    void layOut(std::unique_ptr<QTextDocument> document, QPaintDevice& device);
    int sheetOfLine(qreal top) const;
    void drawCarried(QPainter& painter, int sheet, int block) const;

    // Parent of the laid-out copy: a copy of a document is a plain QTextDocument, which would
    // read any local file the document names; under a document parent it asks the parent,
    // which reads nothing.
    std::unique_ptr<QTextDocument> copyParent_;
    std::unique_ptr<QTextDocument> laidOut_;
    QRectF area_;
    // The layout draws, of a block that reaches onto a sheet from an earlier one, the last
    // line above the sheet as well (clipped away, yet its text is in a PDF's text). By sheet,
    // the blocks it must not draw there: those are drawn here, line by line, each line on the
    // sheet it begins on.
    struct Carried {
        int block;  // number
        // Whether a frame around it (the page, a table, a cell) has a background, which the
        // layout paints over whatever was drawn before it.
        bool underBackground;
    };
    std::map<int, std::vector<Carried>> carriedOver_;
};

}  // namespace parcelo
