// Puts paragraphs read from a body at the end of a QTextDocument. Paragraphs arrive whole,
// so each becomes one block with a few runs; rows of a table are kept until the table ends
// and then made into one QTextTable, which is much cheaper than growing a table row by row.
// A table nested in a cell is kept in that cell until the outermost table ends.
#pragma once

#include <QColor>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextFrameFormat>
#include <QTextListFormat>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class QTextDocument;
class QTextList;

namespace parcelo {

struct BuiltRun {
    QString text;  // one U+FFFC when `format` is a QTextImageFormat
    QTextCharFormat format;
};

struct BuiltList {
    uint64_t key = 0;  // paragraphs with the same key are items of the same list
    QTextListFormat format;
};

// The number or bullet of item `number` (from 1) of a list, as Qt draws it.
QString ListMarker(const QTextListFormat& format, int number);

// Set (true) on the formats of blocks and table cells that show their body's page colour
// rather than a background of their own, so that saving can give the page its colour back.
inline constexpr int kPageColorProperty = QTextFormat::UserProperty + 1;
// Set (true) on the format of a table that is the box of bordered paragraphs, so that saving
// can give them back their borders.
inline constexpr int kParagraphBoxProperty = QTextFormat::UserProperty + 2;

// One edge of a table cell as the body draws it.
struct BuiltBorder {
    int width = 0;  // twips; a line of width 0 is drawn as thin as the screen allows
    QTextFrameFormat::BorderStyle style = QTextFrameFormat::BorderStyle_None;
    QColor color;        // invalid: the text colour
    bool given = false;  // the body says what this edge is, even if it says "none"
    bool operator==(const BuiltBorder&) const = default;
};

// The lines Word draws around a paragraph, and how far each stands from its text.
// Consecutive paragraphs with the same ones share one box.
struct BuiltParagraphBorders {
    std::array<BuiltBorder, 4> edges;  // by BuiltEdge
    std::array<int, 4> space{};        // twips, by BuiltEdge
    bool drawn() const {
        return std::any_of(edges.begin(), edges.end(), [](const BuiltBorder& edge) {
            return edge.style != QTextFrameFormat::BorderStyle_None;
        });
    }
    bool operator==(const BuiltParagraphBorders&) const = default;
};

struct BuiltParagraph {
    QTextBlockFormat format;
    QTextCharFormat markFormat;  // the format of the paragraph mark, for empty paragraphs
    std::vector<BuiltRun> runs;
    bool inList = false;
    BuiltList list;
    BuiltParagraphBorders borders;  // drawn only outside tables
};

// Indexes into the borders of a cell (the first four) and of a row (all six).
enum BuiltEdge : uint8_t {
    kTopEdge,
    kLeftEdge,
    kBottomEdge,
    kRightEdge,
    kInnerHorizontalEdge,  // between the rows of a table
    kInnerVerticalEdge,    // between the cells of a row
};

// Whether a cell starts a run of merged cells, or continues the run before it (to the left
// for horizontal merges, above for vertical ones).
enum class BuiltMerge : uint8_t { None, First, Continued };

struct BuiltCellFormat {
    int edge = 0;  // the cell's right edge, in twips from the left margin
    QColor background;
    std::array<BuiltBorder, 4> borders;
    BuiltMerge horizontalMerge = BuiltMerge::None;
    BuiltMerge verticalMerge = BuiltMerge::None;
    QTextCharFormat::VerticalAlignment verticalAlignment = QTextCharFormat::AlignNormal;
    std::array<int, 4> padding{-1, -1, -1, -1};  // twips, by BuiltEdge; -1: the row's
};

// A table row's definition: its cells, where it stands, the space inside its cells and the
// borders that cells without their own take.
struct BuiltRowFormat {
    std::vector<BuiltCellFormat> cells;
    int left = 0;  // twips from the left margin
    Qt::Alignment alignment = Qt::AlignLeft;
    std::array<int, 4> padding{};  // twips, by BuiltEdge
    bool hasPadding = false;
    std::array<BuiltBorder, 6> borders;
    // Twips, 0 for none. Word makes a negative height exact, cutting what does not fit; here
    // it is a least height too, since a row drawn over the text below it hides both.
    int height = 0;
};

class DocumentBuilder {
  public:
    explicit DocumentBuilder(QTextDocument& document);
    ~DocumentBuilder();
    DocumentBuilder(const DocumentBuilder&) = delete;
    DocumentBuilder& operator=(const DocumentBuilder&) = delete;

    QTextDocument& document() { return document_; }

    // `tableLevel` is 0 for a paragraph outside tables, 1 for one in a table, 2 for one in a
    // table nested in a cell of that table, and so on.
    void addParagraph(BuiltParagraph&& paragraph, int tableLevel);
    // Ends the cell, or the row, of the table at `tableLevel` and any table nested in it.
    void endCell(int tableLevel);
    void endRow(int tableLevel, const BuiltRowFormat& format);
    // The colour of the body's page. The view shows several bodies in one document, so the
    // page is painted as the background of each block and table cell of this body that has
    // none of its own, including those added before the colour was known.
    void setPageBackground(const QColor& color);
    // Ends any table; the builder can then be dropped.
    void finish();

    // Most columns a table gets, as in Word; further cells join the last one.
    static constexpr int kMaxColumns = 63;
    // Tables nested deeper than this are read as rows of the deepest one kept.
    static constexpr int kMaxTableDepth = 12;
    // Merges times cells of a table that Qt is asked to work through.
    static constexpr long long kMaxMergeWork = 10'000'000;
    // Tables larger than this are cut into several, to keep a broken body from asking for
    // millions of cells.
    static constexpr int kMaxTableCells = 100000;
    // Qt marks every item of a list changed when one is added, which makes long lists
    // quadratic. Bullets need no count, so each run of bullets gets a list of its own, cut
    // every kMaxBulletRun items; numbered lists stay whole, and past kMaxListItems items in a
    // body, list paragraphs get their number or bullet as text instead.
    static constexpr int kMaxBulletRun = 200;
    static constexpr int kMaxListItems = 2000;

  private:
    struct Table;
    // What a cell holds, in order: paragraphs and the tables nested between them.
    struct CellItem {
        BuiltParagraph paragraph;
        std::unique_ptr<Table> table;  // set for a nested table
    };
    struct Cell {
        std::vector<CellItem> items;
    };
    struct Row {
        std::vector<Cell> cells;
        BuiltRowFormat format;
    };
    struct Table {
        std::vector<Row> rows;
        Row row;
        Cell cell;
        size_t columns = 0;
        std::vector<int> edges;  // the distinct cell edges of its rows, up to kMaxColumns + 1
        // Set for the box of bordered paragraphs outside tables, which is one cell holding them.
        std::unique_ptr<BuiltParagraphBorders> box;
    };

    // `fill` is the background of a block that has none of its own; `cellFormat`, for the
    // first block of a table cell, the cell's format.
    void insertParagraph(QTextCursor& cursor, BuiltParagraph& paragraph, bool firstInPlace,
                         const QColor& fill, const QTextFormat* cellFormat = nullptr);
    // Makes the table at `level` the innermost one open, opening or closing tables for it.
    Table& openTo(int level);
    void closeInnermost();
    static void finishRow(Table& table);
    void insertTable(QTextCursor& cursor, Table& table, const QColor& fill);
    void insertBox(QTextCursor& cursor, Table& table, const QColor& fill);
    void flushTable();
    void paintEarlierBlocks();

    QTextDocument& document_;
    QTextCursor cursor_;
    bool undoWasEnabled_;
    bool needBlock_;           // whether the next paragraph must open a new block
    bool afterTable_ = false;  // the block at the cursor is the one Qt puts after a table
    int firstBlock_;           // the number of the first block of this body
    bool added_ = false;
    QColor pageBackground_;
    int unpaintedEnd_ = 0;  // blocks before this number were added before the page colour
    std::unordered_map<uint64_t, QTextList*> lists_;
    std::unordered_map<uint64_t, int> itemNumbers_;
    int listItems_ = 0;
    QTextList* previousList_ = nullptr;  // the list of the paragraph just inserted, if any

    std::vector<std::unique_ptr<Table>> tables_;  // the open tables, outermost first
};

}  // namespace parcelo
