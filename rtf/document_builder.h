// Puts paragraphs read from a body at the end of a QTextDocument. Paragraphs arrive whole,
// so each becomes one block with a few runs; rows of a table are kept until the table ends
// and then made into one QTextTable, which is much cheaper than growing a table row by row.
#pragma once

#include <QColor>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextListFormat>

#include <cstdint>
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

struct BuiltParagraph {
    QTextBlockFormat format;
    QTextCharFormat markFormat;  // the format of the paragraph mark, for empty paragraphs
    std::vector<BuiltRun> runs;
    bool inList = false;
    BuiltList list;
};

class DocumentBuilder {
  public:
    explicit DocumentBuilder(QTextDocument& document);
    ~DocumentBuilder();
    DocumentBuilder(const DocumentBuilder&) = delete;
    DocumentBuilder& operator=(const DocumentBuilder&) = delete;

    QTextDocument& document() { return document_; }

    void addParagraph(BuiltParagraph&& paragraph, bool inTable);
    void endCell();
    // Ends a table row; `cellEdges` are the right edges of its cells in twips, and
    // `cellBackgrounds` their shading (an invalid colour for none).
    void endRow(const std::vector<int>& cellEdges, const std::vector<QColor>& cellBackgrounds);
    // The colour of the body's page. The view shows several bodies in one document, so the
    // page is painted as the background of each block and table cell of this body that has
    // none of its own, including those added before the colour was known.
    void setPageBackground(const QColor& color);
    // Ends any table; the builder can then be dropped.
    void finish();

    // Most columns a table gets, as in Word; further cells join the last one.
    static constexpr int kMaxColumns = 63;
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
    struct Cell {
        std::vector<BuiltParagraph> paragraphs;
    };
    struct Row {
        std::vector<Cell> cells;
        std::vector<int> cellEdges;
        std::vector<QColor> cellBackgrounds;
    };

    // `fill` is the background of a block that has none of its own.
    void insertParagraph(QTextCursor& cursor, BuiltParagraph& paragraph, bool firstInPlace,
                         const QColor& fill);
    void flushTable();
    void paintEarlierBlocks();

    QTextDocument& document_;
    QTextCursor cursor_;
    bool undoWasEnabled_;
    bool needBlock_;  // whether the next paragraph must open a new block
    int firstBlock_;  // the number of the first block of this body
    bool added_ = false;
    QColor pageBackground_;
    int unpaintedEnd_ = 0;  // blocks before this number were added before the page colour
    std::unordered_map<uint64_t, QTextList*> lists_;
    std::unordered_map<uint64_t, int> itemNumbers_;
    int listItems_ = 0;
    QTextList* previousList_ = nullptr;  // the list of the paragraph just inserted, if any

    std::vector<Row> rows_;
    Row row_;
    Cell cell_;
    bool inTable_ = false;
    size_t tableColumns_ = 0;
};

}  // namespace parcelo
