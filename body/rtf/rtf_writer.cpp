#include "body/rtf/rtf_writer.h"

#include "body/document_builder.h"
#include "body/font_families.h"
#include "body/lengths.h"
#include "body/line_spacing.h"
#include "body/picture_placeholder.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QTextTableCellFormat>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace parcelo {

namespace {

// Table width when the document gives none: a page of Letter or A4 less its margins.
constexpr int kTableTwips = 9000;

QByteArray hexByte(qsizetype value) {
    return "\\'" + QByteArray::number(static_cast<int>(value), 16).rightJustified(2, '0');
}

int twips(double pixels) {
    return static_cast<int>(std::lround(TwipsFromPixels(pixels)));
}

const char* familyWord(int hint) {
    switch (hint) {
        case QFont::Serif:
            return "\\froman";
        case QFont::SansSerif:
            return "\\fswiss";
        case QFont::Monospace:
        case QFont::TypeWriter:
            return "\\fmodern";
        case QFont::Cursive:
            return "\\fscript";
        case QFont::Decorative:
            return "\\fdecor";
        default:
            return "\\fnil";
    }
}

int levelNfc(QTextListFormat::Style style) {
    switch (style) {
        case QTextListFormat::ListDecimal:
            return 0;
        case QTextListFormat::ListUpperRoman:
            return 1;
        case QTextListFormat::ListLowerRoman:
            return 2;
        case QTextListFormat::ListUpperAlpha:
            return 3;
        case QTextListFormat::ListLowerAlpha:
            return 4;
        default:
            return 23;
    }
}

// Block and cell backgrounds: the page colour of a body, and paragraph or cell shading.
bool hasBackground(const QTextFormat& format) {
    return format.hasProperty(QTextFormat::BackgroundBrush) &&
           format.background().style() != Qt::NoBrush;
}

// An edge of a cell as Qt draws it: the cell's own border, or else the table's.
struct CellBorder {
    double width = 0;  // pixels
    QTextFrameFormat::BorderStyle style = QTextFrameFormat::BorderStyle_None;
    QColor color;
};

CellBorder borderOf(const QTextTableCellFormat& cell, const QTextTableFormat& table,
                    QTextFormat::Property width, QTextFormat::Property style,
                    QTextFormat::Property brush) {
    CellBorder border;
    border.width = cell.hasProperty(width) ? cell.doubleProperty(width) : table.border();
    border.style = cell.hasProperty(style)
                       ? static_cast<QTextFrameFormat::BorderStyle>(cell.intProperty(style))
                       : table.borderStyle();
    const QBrush paint = cell.hasProperty(brush) ? cell.brushProperty(brush) : table.borderBrush();
    border.color = paint.style() == Qt::NoBrush ? QColor(Qt::black) : paint.color();
    if (border.width <= 0)
        border.style = QTextFrameFormat::BorderStyle_None;
    return border;
}

// Top, left, bottom, right.
std::array<CellBorder, 4> bordersOf(const QTextTableCellFormat& cell,
                                    const QTextTableFormat& table) {
    return {
        borderOf(cell, table, QTextFormat::TableCellTopBorder, QTextFormat::TableCellTopBorderStyle,
                 QTextFormat::TableCellTopBorderBrush),
        borderOf(cell, table, QTextFormat::TableCellLeftBorder,
                 QTextFormat::TableCellLeftBorderStyle, QTextFormat::TableCellLeftBorderBrush),
        borderOf(cell, table, QTextFormat::TableCellBottomBorder,
                 QTextFormat::TableCellBottomBorderStyle, QTextFormat::TableCellBottomBorderBrush),
        borderOf(cell, table, QTextFormat::TableCellRightBorder,
                 QTextFormat::TableCellRightBorderStyle, QTextFormat::TableCellRightBorderBrush)};
}

const char* borderStyleWord(QTextFrameFormat::BorderStyle style) {
    switch (style) {
        case QTextFrameFormat::BorderStyle_Dotted:
            return "\\brdrdot";
        case QTextFrameFormat::BorderStyle_Dashed:
            return "\\brdrdash";
        case QTextFrameFormat::BorderStyle_DotDash:
            return "\\brdrdashd";
        case QTextFrameFormat::BorderStyle_DotDotDash:
            return "\\brdrdashdd";
        case QTextFrameFormat::BorderStyle_Double:
            return "\\brdrdb";
        case QTextFrameFormat::BorderStyle_Inset:
            return "\\brdrinset";
        case QTextFrameFormat::BorderStyle_Outset:
            return "\\brdroutset";
        case QTextFrameFormat::BorderStyle_Groove:
            return "\\brdrengrave";
        case QTextFrameFormat::BorderStyle_Ridge:
            return "\\brdremboss";
        default:
            return "\\brdrs";
    }
}

// The padding Qt gives a cell on one side: its own, or the table's.
double paddingOf(const QTextTableCellFormat& cell, const QTextTableFormat& table,
                 QTextFormat::Property side) {
    return cell.hasProperty(side) ? cell.doubleProperty(side) : table.cellPadding();
}

// Qt does not show an empty block right after a table, nor one right before a table unless
// its format has a background (even one that paints nothing) or a rule: such a block only
// holds the table's place and is no paragraph of the body.
bool hiddenByQt(const QTextBlock& block, bool afterTable, bool beforeTable) {
    if (block.length() > 1)
        return false;
    if (afterTable)
        return true;
    const QTextBlockFormat format = block.blockFormat();
    return beforeTable && !format.hasProperty(QTextFormat::BackgroundBrush) &&
           !format.hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth);
}

class Writer {
  public:
    explicit Writer(const QTextDocument& document) : document_(document) {}

    QByteArray write();

  private:
    struct Font {
        QString family;
        int hint;
    };

    void collect();
    int fontIndex(const QTextCharFormat& format);
    int colorIndex(const QColor& color);
    void noteColors(const QTextCharFormat& format);
    void noteBackground(const QTextFormat& format);
    void noteCellColors(const QTextFrame* frame);
    void notePageColor(const QTextFormat& format);
    void findPageColor();
    void writeBackground(const char* word, const QTextFormat& format);

    void writeHeader();
    void writeListTables();
    void writePageBackground();
    void writeFrame(const QTextFrame* frame);
    void writeTable(const QTextTable* table, int level);
    void writeRowDefinition(const QTextTable* table, int row, const std::vector<int>& edges);
    void writeCell(const QTextTableCell& cell, int level);
    void writeFlattenedTable(const QTextTable* table);
    void writeParagraphBox(const QTextTable* table);
    void writeBorder(const char* edge, const CellBorder& border, double space);
    void writeParagraphBorders();
    void writeBlock(const QTextBlock& block, int level, const char* end);
    void writeFragments(const QTextBlock& block);
    void writeCharProps(const QTextCharFormat& format);
    void writeImage(const QTextImageFormat& format);
    void writePictureData(double width, double height, const QByteArray& data);
    void writeText(QStringView text);
    void word(const char* word) { out_ += word; }
    void word(const char* word, long long value) {
        out_ += word;
        out_ += QByteArray::number(value);
    }

    const QTextDocument& document_;
    QByteArray out_;
    std::vector<Font> fonts_;
    std::vector<QColor> colors_;  // index 0 is "auto" and is not in this list
    std::map<const QTextList*, int> lists_;
    std::vector<const QTextList*> listOrder_;
    // The page colour, when every block and cell of the outermost tables that has no
    // background of its own shows the same one.
    QColor pageColor_;
    bool pageColorMixed_ = false;
    // The box of the paragraphs being written, which are written with its borders; null when
    // they have none.
    const QTextTable* box_ = nullptr;
};

QByteArray Writer::write() {
    collect();
    writeHeader();
    writePageBackground();
    if (!document_.isEmpty())
        writeFrame(document_.rootFrame());
    out_ += "}\n";
    return out_;
}

void Writer::collect() {
    const QFont base = document_.defaultFont();
    fonts_.push_back({base.family(), base.styleHint()});
    for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
        fontIndex(block.charFormat());
        noteColors(block.charFormat());
        noteBackground(block.blockFormat());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            fontIndex(format);
            noteColors(format);
        }
        if (const QTextList* list = block.textList(); list && !lists_.count(list)) {
            lists_[list] = static_cast<int>(listOrder_.size()) + 1;
            listOrder_.push_back(list);
        }
    }
    noteCellColors(document_.rootFrame());
    findPageColor();
}

int Writer::fontIndex(const QTextCharFormat& format) {
    const QStringList families = SenderFontFamilies(format);
    if (families.isEmpty() || families.front().isEmpty())
        return 0;
    const QString& family = families.front();
    for (size_t i = 0; i < fonts_.size(); ++i)
        if (fonts_[i].family == family)
            return static_cast<int>(i);
    fonts_.push_back({family, format.hasProperty(QTextFormat::FontStyleHint)
                                  ? static_cast<int>(format.fontStyleHint())
                                  : static_cast<int>(QFont::AnyStyle)});
    return static_cast<int>(fonts_.size()) - 1;
}

int Writer::colorIndex(const QColor& color) {
    const QRgb rgb = color.rgb();
    for (size_t i = 0; i < colors_.size(); ++i)
        if (colors_[i].rgb() == rgb)
            return static_cast<int>(i) + 1;
    colors_.push_back(color);
    return static_cast<int>(colors_.size());
}

void Writer::noteColors(const QTextCharFormat& format) {
    if (format.hasProperty(QTextFormat::ForegroundBrush) &&
        format.foreground().style() != Qt::NoBrush)
        colorIndex(format.foreground().color());
    if (format.hasProperty(QTextFormat::BackgroundBrush) &&
        format.background().style() != Qt::NoBrush)
        colorIndex(format.background().color());
}

void Writer::noteBackground(const QTextFormat& format) {
    if (hasBackground(format))
        colorIndex(format.background().color());
}

void Writer::noteCellColors(const QTextFrame* frame) {
    for (const QTextFrame* child : frame->childFrames()) {
        if (const auto* table = qobject_cast<const QTextTable*>(child)) {
            for (int row = 0; row < table->rows(); ++row) {
                for (int column = 0; column < table->columns(); ++column) {
                    const QTextTableCellFormat format =
                        table->cellAt(row, column).format().toTableCellFormat();
                    noteBackground(format);
                    for (const CellBorder& border : bordersOf(format, table->format()))
                        if (border.style != QTextFrameFormat::BorderStyle_None)
                            colorIndex(border.color);
                }
            }
        }
        noteCellColors(child);
    }
}

void Writer::notePageColor(const QTextFormat& format) {
    if (!hasBackground(format)) {
        pageColorMixed_ = true;
    } else if (format.boolProperty(kPageColorProperty)) {
        const QColor color = format.background().color();
        if (pageColor_.isValid() && pageColor_ != color)
            pageColorMixed_ = true;
        pageColor_ = color;
    }
}

// The builder paints the page colour of a body into its blocks and the cells of its tables
// (nested tables show the cell they stand in). When the whole document shows one page colour,
// it is saved as the page's, which Word and LibreOffice paint behind the whole page.
void Writer::findPageColor() {
    for (auto it = document_.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (const auto* table = qobject_cast<const QTextTable*>(it.currentFrame())) {
            for (int row = 0; row < table->rows(); ++row)
                for (int column = 0; column < table->columns(); ++column)
                    notePageColor(table->cellAt(row, column).format());
        } else if (!it.currentFrame()) {
            notePageColor(it.currentBlock().blockFormat());
        }
    }
    if (pageColorMixed_)
        pageColor_ = QColor();
}

void Writer::writeBackground(const char* word, const QTextFormat& format) {
    if (!hasBackground(format))
        return;
    if (pageColor_.isValid() && format.boolProperty(kPageColorProperty))
        return;  // the page's
    this->word(word, colorIndex(format.background().color()));
}

void Writer::writeHeader() {
    out_ += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (size_t i = 0; i < fonts_.size(); ++i) {
        word("{\\f", static_cast<long long>(i));
        word(familyWord(fonts_[i].hint));
        word("\\fcharset0 ");
        writeText(fonts_[i].family);
        out_ += ";}";
    }
    out_ += "}\n{\\colortbl;";
    for (const QColor& color : colors_) {
        word("\\red", color.red());
        word("\\green", color.green());
        word("\\blue", color.blue());
        out_ += ';';
    }
    out_ += "}\n";
    writeListTables();
}

void Writer::writeListTables() {
    if (listOrder_.empty())
        return;
    out_ += "{\\*\\listtable";
    for (size_t i = 0; i < listOrder_.size(); ++i) {
        const QTextListFormat format = listOrder_[i]->format();
        const int levels = std::clamp(format.indent(), 1, 9);
        out_ += "{\\list\\listsimple";
        for (int level = 0; level < levels; ++level) {
            // Only the list's own level matters; the ones above it are there so that its
            // number is right.
            const auto style = level == levels - 1 ? format.style() : QTextListFormat::ListDisc;
            const int nfc = levelNfc(style);
            word("{\\listlevel\\levelnfc", nfc);
            word("\\levelnfcn", nfc);
            out_ += "\\leveljc0\\levelfollow0\\levelstartat1{\\leveltext";
            QByteArray numbers;
            if (nfc == 23) {
                out_ += "\\'01";
                writeText(style == QTextListFormat::ListCircle   ? u"o"
                          : style == QTextListFormat::ListSquare ? u"\u25AA"
                                                                 : u"\u2022");
            } else {
                // A length, the prefix, the placeholder of this level's number, the suffix;
                // \levelnumbers says where the placeholder is.
                const QString prefix = format.numberPrefix().left(100);
                const QString suffix = format.numberSuffix().left(100);
                out_ += hexByte(prefix.size() + suffix.size() + 1);
                writeText(prefix);
                out_ += hexByte(level);
                writeText(suffix);
                numbers = hexByte(prefix.size() + 1);
            }
            out_ += ";}{\\levelnumbers" + numbers + ";}";
            word("\\fi", -360);
            word("\\li", 720 * (level + 1));
            out_ += '}';
        }
        word("\\listid", static_cast<long long>(i) + 1);
        out_ += '}';
    }
    out_ += "}\n{\\*\\listoverridetable";
    for (size_t i = 0; i < listOrder_.size(); ++i) {
        word("{\\listoverride\\listid", static_cast<long long>(i) + 1);
        word("\\listoverridecount0\\ls", static_cast<long long>(i) + 1);
        out_ += '}';
    }
    out_ += "}\n";
}

void Writer::writePageBackground() {
    if (!pageColor_.isValid())
        return;
    // Word's page background: a shape filling the page, its colour a COLORREF (0x00BBGGRR).
    const long long colorRef = pageColor_.red() | pageColor_.green() << 8 | pageColor_.blue() << 16;
    out_ +=
        "\\viewbksp1{\\*\\background{\\shp{\\*\\shpinst\\shpleft0\\shptop0\\shpright0\\shpbottom0"
        "\\shpfhdr0\\shpbxmargin\\shpbymargin\\shpwr0\\shpwrk0\\shpfblwtxt1\\shpz0\\shplid1025"
        "{\\sp{\\sn shapeType}{\\sv 1}}{\\sp{\\sn fillColor}{\\sv ";
    out_ += QByteArray::number(colorRef);
    out_ +=
        "}}{\\sp{\\sn fFilled}{\\sv 1}}{\\sp{\\sn fLine}{\\sv 0}}{\\sp{\\sn fBackground}{\\sv 1}}"
        "}}}\n";
}

void Writer::writeFrame(const QTextFrame* frame) {
    const QTextFrame* previous = nullptr;
    bool tableEnded = false;  // the last thing written is a table
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame* child = it.currentFrame()) {
            const auto* table = qobject_cast<const QTextTable*>(child);
            if (table && table->format().boolProperty(kParagraphBoxProperty)) {
                writeParagraphBox(table);
                tableEnded = false;
            } else if (table) {
                // Rows that follow rows are one table to a reader; a line a pixel high keeps
                // two tables that stand together (as HTML has them) apart.
                if (tableEnded)
                    out_ += "\\pard\\plain\\sl-15\\slmult0\\fs2\\par\n";
                writeTable(table, 1);
                tableEnded = true;
            } else {
                writeFrame(child);
            }
            previous = child;
            continue;
        }
        auto next = it;
        ++next;
        const bool afterTable = qobject_cast<const QTextTable*>(previous) != nullptr;
        const bool beforeTable =
            !next.atEnd() && qobject_cast<const QTextTable*>(next.currentFrame()) != nullptr;
        previous = nullptr;
        if (!hiddenByQt(it.currentBlock(), afterTable, beforeTable)) {
            writeBlock(it.currentBlock(), 0, "\\par\n");
            tableEnded = false;
        }
    }
}

// Bordered paragraphs are shown in a box of one cell; they go back to being paragraphs with
// borders, as they were read.
void Writer::writeParagraphBox(const QTextTable* table) {
    box_ = table;
    const QTextTableCell cell = table->cellAt(0, 0);
    for (auto it = cell.begin(); !it.atEnd(); ++it) {
        if (it.currentFrame() == nullptr)
            writeBlock(it.currentBlock(), 0, "\\par\n");
    }
    box_ = nullptr;
}

// One edge's border: its line, and the space between it and the text when there is one.
void Writer::writeBorder(const char* edge, const CellBorder& border, double space) {
    out_ += edge;
    out_ += borderStyleWord(border.style);
    // A double border's width is that of each of its lines.
    const double line =
        border.style == QTextFrameFormat::BorderStyle_Double ? border.width / 3 : border.width;
    word("\\brdrw", std::clamp(twips(line), 1, 255));
    if (space > 0)
        word("\\brsp", twips(space));
    word("\\brdrcf", colorIndex(border.color));
}

void Writer::writeParagraphBorders() {
    static constexpr const char* kEdges[] = {"\\brdrt", "\\brdrl", "\\brdrb", "\\brdrr"};
    const QTextTableCellFormat cellFormat = box_->cellAt(0, 0).format().toTableCellFormat();
    const double spaces[] = {cellFormat.topPadding(), cellFormat.leftPadding(),
                             cellFormat.bottomPadding(), cellFormat.rightPadding()};
    const std::array<CellBorder, 4> borders = bordersOf(cellFormat, box_->format());
    for (size_t side = 0; side < borders.size(); ++side) {
        const CellBorder& border = borders[side];
        if (border.style == QTextFrameFormat::BorderStyle_None)
            continue;
        writeBorder(kEdges[side], border, spaces[side]);
    }
}

// Word's nested tables: a nested row's cells end with \nestcell, and its definition follows
// them in \nesttableprops, before the \nestrow that ends it.
void Writer::writeTable(const QTextTable* table, int level) {
    const int columns = table->columns();
    if (columns <= 0)
        return;
    if (level > DocumentBuilder::kMaxTableDepth) {
        writeFlattenedTable(table);
        return;
    }
    const QTextTableFormat format = table->format();
    const QTextLength tableWidth = format.width();
    const int total =
        tableWidth.type() == QTextLength::FixedLength ? twips(tableWidth.rawValue()) : kTableTwips;
    std::vector<int> edges;
    const QList<QTextLength> widths = format.columnWidthConstraints();
    int edge = twips(format.leftMargin());
    for (int column = 0; column < columns; ++column) {
        const QTextLength width = column < widths.size() ? widths[column] : QTextLength();
        if (width.type() == QTextLength::FixedLength)
            edge += std::max(twips(width.rawValue()), 60);
        else if (width.type() == QTextLength::PercentageLength)
            edge += std::max(static_cast<int>(total * width.rawValue() / 100.0), 60);
        else
            edge += std::max(total / columns, 60);
        edges.push_back(edge);
    }
    const QByteArray itap = level > 1 ? "\\itap" + QByteArray::number(level) : QByteArray();
    for (int row = 0; row < table->rows(); ++row) {
        if (level == 1)
            writeRowDefinition(table, row, edges);
        for (int column = 0; column < columns; ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (cell.row() != row || cell.column() != column) {
                // Merged into the cell before or above it; the cell is there all the same.
                out_ += "\\pard\\plain\\intbl" + itap;
                out_ += level > 1 ? "\\nestcell\n" : "\\cell\n";
                continue;
            }
            writeCell(cell, level);
        }
        if (level == 1) {
            out_ += "\\row\n";
        } else {
            out_ += "\\pard\\plain\\intbl" + itap + "{\\*\\nesttableprops";
            writeRowDefinition(table, row, edges);
            out_ += "\\nestrow}{\\nonesttables\\par}\n";
        }
    }
    if (level == 1)
        out_ += "\\pard\\plain\n";
}

void Writer::writeRowDefinition(const QTextTable* table, int row, const std::vector<int>& edges) {
    const QTextTableFormat format = table->format();
    const QTextTableCellFormat first = table->cellAt(row, 0).format().toTableCellFormat();
    const int left = twips(paddingOf(first, format, QTextFormat::TableCellLeftPadding));
    const int right = twips(paddingOf(first, format, QTextFormat::TableCellRightPadding));
    const int top = twips(paddingOf(first, format, QTextFormat::TableCellTopPadding));
    const int bottom = twips(paddingOf(first, format, QTextFormat::TableCellBottomPadding));
    word("\\trowd\\trgaph", left);
    word("\\trleft", twips(format.leftMargin()));
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignHCenter)
        out_ += "\\trqc";
    else if (alignment & Qt::AlignRight)
        out_ += "\\trqr";
    word("\\trpaddl", left);
    word("\\trpaddr", right);
    word("\\trpaddt", top);
    word("\\trpaddb", bottom);
    out_ += "\\trpaddfl3\\trpaddfr3\\trpaddft3\\trpaddfb3";
    for (int column = 0; column < table->columns(); ++column) {
        const QTextTableCell cell = table->cellAt(row, column);
        if (cell.row() != row)
            out_ += "\\clvmrg";
        else if (cell.rowSpan() > 1)
            out_ += "\\clvmgf";
        if (cell.column() != column)
            out_ += "\\clmrg";
        else if (cell.columnSpan() > 1)
            out_ += "\\clmgf";
        const QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
        if (cellFormat.verticalAlignment() == QTextCharFormat::AlignMiddle)
            out_ += "\\clvertalc";
        else if (cellFormat.verticalAlignment() == QTextCharFormat::AlignBottom)
            out_ += "\\clvertalb";
        static constexpr const char* kEdges[] = {"\\clbrdrt", "\\clbrdrl", "\\clbrdrb",
                                                 "\\clbrdrr"};
        const std::array<CellBorder, 4> borders = bordersOf(cellFormat, format);
        for (size_t side = 0; side < borders.size(); ++side) {
            const CellBorder& border = borders[side];
            if (border.style == QTextFrameFormat::BorderStyle_None)
                continue;
            writeBorder(kEdges[side], border, 0);
        }
        writeBackground("\\clcbpat", cellFormat);
        word("\\cellx", edges[column]);
    }
    out_ += '\n';
}

void Writer::writeCell(const QTextTableCell& cell, int level) {
    const char* end = level > 1 ? "\\nestcell\n" : "\\cell\n";
    bool ended = false;
    for (auto it = cell.begin(); !it.atEnd(); ++it) {
        if (const QTextFrame* child = it.currentFrame()) {
            if (const auto* inner = qobject_cast<const QTextTable*>(child))
                writeTable(inner, level + 1);
            continue;
        }
        auto next = it;
        ++next;
        ended = next.atEnd();
        writeBlock(it.currentBlock(), level, ended ? end : "\\par\n");
    }
    if (!ended) {
        out_ += "\\pard\\plain\\intbl";
        if (level > 1)
            word("\\itap", level);
        out_ += end;
    }
}

// Tables nested deeper than a reader keeps, as lines of text.
void Writer::writeFlattenedTable(const QTextTable* table) {
    for (int row = 0; row < table->rows(); ++row) {
        out_ += "\\pard\\plain\\intbl";
        word("\\itap", DocumentBuilder::kMaxTableDepth);
        out_ += ' ';
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (cell.row() != row || cell.column() != column)
                continue;
            if (column > 0)
                out_ += "\\tab ";
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (!it.currentFrame())
                    writeFragments(it.currentBlock());
            }
        }
        out_ += "\\par\n";
    }
}

void Writer::writeBlock(const QTextBlock& block, int level, const char* end) {
    const bool inTable = level > 0;
    // The spacing the body gave it, not the one it is shown with.
    const QTextBlockFormat format = SenderLineSpacing(block.blockFormat());
    out_ += "\\pard\\plain";
    if (inTable)
        out_ += "\\intbl";
    if (level > 1)
        word("\\itap", level);
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignHCenter)
        out_ += "\\qc";
    else if (alignment & Qt::AlignJustify)
        out_ += "\\qj";
    else if (alignment & Qt::AlignRight)
        out_ += "\\qr";
    const QTextList* list = inTable ? nullptr : block.textList();
    int lineStart = 0;  // where the first line starts, from which Qt measures tab stops
    if (list) {
        const int listLevel = std::clamp(list->format().indent(), 1, 9) - 1;
        word("\\ls", lists_[list]);
        word("\\ilvl", listLevel);
        word("\\fi", -360);
        word("\\li", 720 * (listLevel + 1));
        lineStart = 720 * (listLevel + 1) - 360;
    } else {
        // A box stands at the indent its paragraphs share.
        const double left = format.leftMargin() + (box_ ? box_->format().leftMargin() : 0);
        if (left > 0) {
            word("\\li", twips(left));
            lineStart += twips(left);
        }
        if (format.textIndent() != 0) {
            word("\\fi", twips(format.textIndent()));
            lineStart += twips(format.textIndent());
        }
    }
    for (const QTextOption::Tab& tab : format.tabPositions()) {
        if (tab.type == QTextOption::RightTab)
            out_ += "\\tqr";
        else if (tab.type == QTextOption::CenterTab)
            out_ += "\\tqc";
        else if (tab.type == QTextOption::DelimiterTab)
            out_ += "\\tqdec";
        word("\\tx", lineStart + twips(tab.position));
    }
    const double right = format.rightMargin() + (box_ ? box_->format().rightMargin() : 0);
    if (right > 0)
        word("\\ri", twips(right));
    if (box_)
        writeParagraphBorders();
    if (format.hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth) &&
        hasBackground(format)) {
        // A rule is drawn in its block's background; shading would be a band of a line's height.
        out_ += "\\brdrb\\brdrs\\brdrw15";
        word("\\brdrcf", colorIndex(format.background().color()));
    } else {
        writeBackground("\\cbpat", format);
    }
    if (format.topMargin() > 0)
        word("\\sb", twips(format.topMargin()));
    if (format.bottomMargin() > 0)
        word("\\sa", twips(format.bottomMargin()));
    switch (format.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            word("\\sl", std::lround(format.lineHeight() * 240.0 / 100.0));
            out_ += "\\slmult1";
            break;
        case QTextBlockFormat::MinimumHeight:
            word("\\sl", twips(format.lineHeight()));
            out_ += "\\slmult0";
            break;
        case QTextBlockFormat::FixedHeight:
            word("\\sl", -twips(format.lineHeight()));
            out_ += "\\slmult0";
            break;
        default:
            break;
    }
    QTextCharFormat mark = block.charFormat();
    // The mark that starts a table cell carries the cell's format, whose background is the
    // cell's (\clcbpat); as the mark's, it would colour the paragraph's text.
    if (inTable)
        mark.clearBackground();
    writeCharProps(mark);
    out_ += ' ';
    if (list) {
        // For readers that do not know list tables: the number as text, which this reader and
        // Word skip.
        out_ += "{\\listtext\\pard\\plain ";
        const auto style = list->format().style();
        writeText(levelNfc(style) == 23 ? QStringLiteral("\u2022") : list->itemText(block));
        out_ += "\\tab}";
    }
    writeFragments(block);
    out_ += end;
}

void Writer::writeFragments(const QTextBlock& block) {
    QString openLink;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        const QString href = format.isAnchor() ? format.anchorHref() : QString();
        if (href != openLink) {
            if (!openLink.isEmpty())
                out_ += "}}";
            if (!href.isEmpty()) {
                QString target = href;
                target.replace(u'"', QStringLiteral("%22"));
                target.replace(u'\\', QStringLiteral("\\\\"));
                out_ += "{\\field{\\*\\fldinst{HYPERLINK \"";
                writeText(target);
                out_ += "\"}}{\\fldrslt";
            }
            openLink = href;
        }
        if (format.isImageFormat()) {
            writeImage(format.toImageFormat());
            continue;
        }
        // The paragraph's own properties are those of its first run; \plain keeps them from
        // the runs that lack them.
        out_ += "{\\plain";
        writeCharProps(format);
        out_ += ' ';
        writeText(fragment.text());
        out_ += '}';
    }
    if (!openLink.isEmpty())
        out_ += "}}";
}

void Writer::writeCharProps(const QTextCharFormat& format) {
    word("\\f", fontIndex(format));
    double points = format.fontPointSize();
    if (points <= 0)
        points = document_.defaultFont().pointSizeF();
    if (points <= 0)
        points = 12;
    word("\\fs", std::lround(points * 2));
    if (format.fontWeight() >= QFont::DemiBold)
        out_ += "\\b";
    if (format.fontItalic())
        out_ += "\\i";
    switch (format.underlineStyle()) {
        case QTextCharFormat::NoUnderline:
            break;
        case QTextCharFormat::DotLine:
            out_ += "\\uld";
            break;
        case QTextCharFormat::DashUnderline:
            out_ += "\\uldash";
            break;
        case QTextCharFormat::DashDotLine:
            out_ += "\\uldashd";
            break;
        case QTextCharFormat::DashDotDotLine:
            out_ += "\\uldashdd";
            break;
        case QTextCharFormat::WaveUnderline:
            out_ += "\\ulwave";
            break;
        default:
            out_ += "\\ul";
            break;
    }
    if (format.fontStrikeOut())
        out_ += "\\strike";
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        out_ += "\\super";
    if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        out_ += "\\sub";
    if (format.fontCapitalization() == QFont::AllUppercase)
        out_ += "\\caps";
    if (format.fontCapitalization() == QFont::SmallCaps)
        out_ += "\\scaps";
    if (format.hasProperty(QTextFormat::ForegroundBrush) &&
        format.foreground().style() != Qt::NoBrush)
        word("\\cf", colorIndex(format.foreground().color()));
    if (format.hasProperty(QTextFormat::BackgroundBrush) &&
        format.background().style() != Qt::NoBrush)
        word("\\highlight", colorIndex(format.background().color()));
}

void Writer::writeImage(const QTextImageFormat& format) {
    // A picture shown as a placeholder goes back as the data it came with.
    const QByteArray original =
        format.hasProperty(kPictureDataProperty)
            ? document_
                  .resource(QTextDocument::UserResource,
                            QUrl(format.stringProperty(kPictureDataProperty)))
                  .toByteArray()
            : QByteArray();
    if (!original.isEmpty()) {
        out_ += "{\\pict";
        out_ += format.stringProperty(kPictureHeaderProperty).toLatin1();
        writePictureData(format.width(), format.height(), original);
        return;
    }
    const QVariant resource = document_.resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image;
    if (resource.canConvert<QImage>() && resource.typeId() == QMetaType::QImage)
        image = resource.value<QImage>();
    else if (resource.typeId() == QMetaType::QPixmap)
        image = resource.value<QPixmap>().toImage();
    else if (resource.typeId() == QMetaType::QByteArray)
        image = QImage::fromData(resource.toByteArray());
    if (image.isNull())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return;
    const double width = format.width() > 0 ? format.width() : image.width();
    const double height = format.height() > 0 ? format.height() : image.height();
    word("{\\pict\\pngblip\\picw", image.width());
    word("\\pich", image.height());
    writePictureData(width, height, png);
}

void Writer::writePictureData(double width, double height, const QByteArray& data) {
    word("\\picwgoal", twips(width));
    word("\\pichgoal", twips(height));
    out_ += '\n';
    const QByteArray hex = data.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        out_ += hex.mid(i, 128);
        out_ += '\n';
    }
    out_ += '}';
}

void Writer::writeText(QStringView text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
            case u'\\':
                out_ += "\\\\";
                continue;
            case u'{':
                out_ += "\\{";
                continue;
            case u'}':
                out_ += "\\}";
                continue;
            case u'\t':
                out_ += "\\tab ";
                continue;
            case QChar::LineSeparator:
            case QChar::ParagraphSeparator:
                out_ += "\\line ";
                continue;
            case QChar::Nbsp:
                out_ += "\\~";
                continue;
            case QChar::SoftHyphen:
                out_ += "\\-";
                continue;
            case 0x2011:
                out_ += "\\_";
                continue;
            case QChar::ObjectReplacementCharacter:
                continue;
            default:
                break;
        }
        if (u >= 0x20 && u < 0x80) {
            out_ += static_cast<char>(u);
        } else if (u >= 0x80) {
            // \u takes a signed 16-bit number; "?" is what older readers show instead.
            word("\\u", static_cast<int16_t>(u));
            out_ += '?';
        }
    }
}

}  // namespace

QByteArray RtfFromDocument(const QTextDocument& document) {
    Writer writer(document);
    return writer.write();
}

}  // namespace parcelo
