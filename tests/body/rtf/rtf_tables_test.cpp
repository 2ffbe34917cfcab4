// Native RTF tables as Word writes them: cell edges, borders, merged cells, padding and
// nested tables, and the same rows when a body is damaged.
#include "body_test_support.h"

#include "body/document_builder.h"

#include <QAbstractTextDocumentLayout>
#include <QTextTable>
#include <QTextTableCellFormat>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parcelo::test {
namespace {

std::string Body(std::string_view body) {
    return std::string(
               "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
               "{\\f1\\fswiss\\fcharset204 Arial;}}"
               "{\\colortbl;\\red192\\green0\\blue0;\\red217\\green217\\blue217;}"
               "\\pard\\plain ") +
           std::string(body) + "}";
}

// Word's single half-point line on each side of a cell.
constexpr const char* kBox =
    "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
    "\\clbrdrr\\brdrs\\brdrw10";
constexpr const char* kRow = "\\trowd\\trgaph108\\trleft-108";

// Four columns; the first cell is merged down over two rows, the next two across.
const std::string kMergedTable =
    Body(std::string(kRow) + "\\clvmgf" + kBox + "\\cellx1800\\clmgf" + kBox +
         "\\cellx3600\\clmrg" + kBox + "\\cellx5400" + kBox +
         "\\cellx7200\\pard\\intbl Region\\cell First half\\cell\\cell Total\\cell\\row" + kRow +
         "\\clvmrg" + kBox + "\\cellx1800" + kBox + "\\cellx3600" + kBox + "\\cellx5400" + kBox +
         "\\cellx7200\\pard\\intbl\\cell Q1\\cell Q2\\cell\\cell\\row"
         "\\pard after\\par");

TEST(Tables, MergedCellsSpanTheirColumnsAndRows) {
    const auto document = Read(kMergedTable);
    const QTextTable* table = FirstTable(*document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 4);
    EXPECT_EQ(ShapeOf(*table), "Region[2x1], First half[1x2], Total | Q1, Q2, _");
    // The cells merged away leave no empty paragraph in the merged cell.
    EXPECT_EQ(table->cellAt(0, 0).lastPosition() - table->cellAt(0, 0).firstPosition(), 6);
    EXPECT_EQ(TextOf(kMergedTable).toStdString(), "Region\tFirst half\tTotal\n\tQ1\tQ2\t\nafter");
}

TEST(Tables, CellWidthsFromTheirEdges) {
    const auto document = Read(kMergedTable);
    const QTextTable* table = FirstTable(*document);
    ASSERT_NE(table, nullptr);
    const auto widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 4);
    // \trleft-108: the first cell starts 108 twips left of the margin, where Word draws it.
    EXPECT_DOUBLE_EQ(widths[0].rawValue(), (1800 + 108) / 15.0);
    EXPECT_DOUBLE_EQ(widths[1].rawValue(), 120);
    EXPECT_EQ(widths[1].type(), QTextLength::FixedLength);
    EXPECT_DOUBLE_EQ(table->format().leftMargin(), 0);
}

TEST(Tables, RowsWithOtherEdgesShareTheColumnsOfAll) {
    const auto document =
        Read(Body("\\trowd\\cellx3000\\cellx6000\\intbl a\\cell b\\cell\\row"
                  "\\trowd\\cellx2000\\cellx6000\\intbl c\\cell d\\cell\\row"
                  "\\trowd\\trleft1000\\cellx2000\\intbl e\\cell\\row"));
    const QTextTable* table = FirstTable(*document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(ShapeOf(*table), "a[1x3], b | c[1x2], d[1x2] | _, e, _, _");
    const auto widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 4);
    EXPECT_DOUBLE_EQ(widths[0].rawValue(), 1000 / 15.0);
    EXPECT_DOUBLE_EQ(widths[1].rawValue(), 1000 / 15.0);
    EXPECT_DOUBLE_EQ(widths[3].rawValue(), 200);
}

struct BorderCase {
    const char* name;
    std::string row;      // a row definition of two cells
    const char* borders;  // of the two cells, as BordersOf gives them, separated by " / "
};

class TableBorderTest : public testing::TestWithParam<BorderCase> {};

TEST_P(TableBorderTest, DrawnWhereTheBodySays) {
    const auto document = Read(Body(GetParam().row + "\\intbl a\\cell b\\cell\\row"));
    const QTextTable* table = FirstTable(*document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->format().border(), 0);
    EXPECT_EQ(BordersOf(table->cellAt(0, 0)) + " / " + BordersOf(table->cellAt(0, 1)),
              GetParam().borders);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, TableBorderTest,
    testing::Values(
        BorderCase{"none_given", "\\trowd\\cellx1000\\cellx2000", "- - - - / - - - -"},
        BorderCase{"word_box", std::string("\\trowd") + kBox + "\\cellx1000" + kBox + "\\cellx2000",
                   "1s 1s 1s 1s / 1s 1s 1s 1s"},
        BorderCase{"one_side", "\\trowd\\clbrdrb\\brdrs\\brdrw10\\cellx1000\\cellx2000",
                   "- - 1s - / - - - -"},
        BorderCase{"width_and_colour",
                   "\\trowd\\clbrdrt\\brdrs\\brdrw45\\brdrcf1\\cellx1000\\cellx2000",
                   "3s#c00000 - - - / - - - -"},
        BorderCase{"thick_doubles_the_width",
                   "\\trowd\\clbrdrt\\brdrth\\brdrw30\\cellx1000\\clbrdrt\\brdrw30\\brdrth"
                   "\\cellx2000",
                   "4s - - - / 4s - - -"},
        BorderCase{"double_dotted_dashed",
                   "\\trowd\\clbrdrt\\brdrdb\\brdrw10\\clbrdrb\\brdrdot\\cellx1000"
                   "\\clbrdrt\\brdrdash\\brdrw15\\cellx2000",
                   "3d - 1. - / 1- - - -"},
        BorderCase{"none_words",
                   "\\trowd\\clbrdrt\\brdrnone\\clbrdrb\\brdrtbl\\cellx1000\\cellx2000",
                   "- - - - / - - - -"},
        BorderCase{"row_borders_for_cells_without",
                   "\\trowd\\trbrdrt\\brdrs\\brdrw10\\trbrdrl\\brdrs\\brdrw10\\trbrdrb\\brdrs"
                   "\\brdrw10\\trbrdrr\\brdrs\\brdrw10\\trbrdrv\\brdrdb\\brdrw10"
                   "\\clbrdrl\\brdrnone\\cellx1000\\cellx2000",
                   "1s - 1s 3d / 1s 3d 1s 1s"},
        BorderCase{"paragraph_border_words_stay_out",
                   "\\trowd\\clbrdrl\\brdrs\\brdrw10\\brdrb\\brdrdb\\brdrw60\\cellx1000"
                   "\\box\\brdrs\\cellx2000",
                   "- 1s - - / - - - -"}),
    CaseName());

// Outlook draws the rule above a quoted header with a paragraph's top border. Paragraphs with
// the same borders share one box, as in Word; a table after them stays a table of its own.
TEST(Tables, BorderedParagraphsAreABoxOfOneCell) {
    const auto document = Read(
        Body("Reply\\par\\pard\\brdrt\\brdrs\\brdrw15\\brdrcf1\\brsp20 From: Ann\\par Sent: Monday"
             "\\par\\pard\\box\\brdrdb\\brdrw10\\brsp40 Boxed\\par"
             "\\trowd\\cellx1000\\intbl cell\\cell\\row\\pard\\brdrb\\brdrnone After\\par"));
    std::vector<const QTextTable*> tables;
    for (QTextFrame* frame : document->rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            tables.push_back(table);
    ASSERT_EQ(tables.size(), 3u);
    EXPECT_EQ(ShapeOf(*tables[0]), "From: Ann/Sent: Monday");
    EXPECT_EQ(BordersOf(tables[0]->cellAt(0, 0)), "1s#c00000 - - -");
    const QTextTableCellFormat rule = tables[0]->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_DOUBLE_EQ(rule.topPadding(), 20 / 15.0);
    EXPECT_DOUBLE_EQ(rule.leftPadding(), 0);
    EXPECT_EQ(tables[0]->format().width().type(), QTextLength::PercentageLength);
    EXPECT_EQ(ShapeOf(*tables[1]), "Boxed");
    EXPECT_EQ(BordersOf(tables[1]->cellAt(0, 0)), "3d 3d 3d 3d");
    EXPECT_EQ(ShapeOf(*tables[2]), "cell");
    EXPECT_EQ(TextOf(Body("a\\par\\pard\\brdrt\\brdrs b\\par\\pard c")).toStdString(), "a\nb\nc");
}

TEST(Tables, InnerRowBordersBetweenRows) {
    const auto document = Read(
        Body("\\trowd\\trbrdrt\\brdrdb\\brdrw10\\trbrdrh\\brdrs\\brdrw10\\trbrdrb\\brdrs\\brdrw30"
             "\\cellx1000\\intbl a\\cell\\row"
             "\\trowd\\trbrdrt\\brdrdb\\brdrw10\\trbrdrh\\brdrs\\brdrw10\\trbrdrb\\brdrs\\brdrw30"
             "\\cellx1000\\intbl b\\cell\\row"));
    const QTextTable* table = FirstTable(*document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(BordersOf(table->cellAt(0, 0)), "3d - 1s -");
    EXPECT_EQ(BordersOf(table->cellAt(1, 0)), "1s - 2s -");
}

TEST(Tables, PaddingPlaceAndBackground) {
    const auto document =
        Read(Body("\\trowd\\trgaph108\\trleft1440\\trqc\\trpaddt30\\trpaddft3\\trpaddb60\\trpaddfb0"
                  "\\clcbpat2\\clvertalc\\cellx3000\\clvertalb"
                  "\\clpadfl3\\clpadl45\\clpadft3\\clpadt150\\clpadr90\\cellx4000"
                  "\\intbl a\\cell b\\cell\\row"));
    const QTextTable* table = FirstTable(*document);
    ASSERT_NE(table, nullptr);
    EXPECT_DOUBLE_EQ(table->format().leftMargin(), 96);
    EXPECT_EQ(table->format().alignment(), Qt::AlignHCenter);
    EXPECT_DOUBLE_EQ(table->format().columnWidthConstraints().value(0).rawValue(), 104);
    const QTextTableCellFormat first = table->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_DOUBLE_EQ(first.leftPadding(), 7.2);
    EXPECT_DOUBLE_EQ(first.rightPadding(), 7.2);
    EXPECT_DOUBLE_EQ(first.topPadding(), 2);
    EXPECT_DOUBLE_EQ(first.bottomPadding(), 0);  // its unit says it is not given
    EXPECT_EQ(first.background().color(), QColor(217, 217, 217));
    EXPECT_EQ(first.verticalAlignment(), QTextCharFormat::AlignMiddle);
    const QTextTableCellFormat second = table->cellAt(0, 1).format().toTableCellFormat();
    EXPECT_FALSE(second.hasProperty(QTextFormat::BackgroundBrush));
    EXPECT_EQ(second.verticalAlignment(), QTextCharFormat::AlignBottom);
    // Its own padding, where Word puts it: \clpadl is the top, \clpadt the left; \clpadr
    // has no unit and leaves the row's.
    EXPECT_DOUBLE_EQ(second.topPadding(), 3);
    EXPECT_DOUBLE_EQ(second.leftPadding(), 10);
    EXPECT_DOUBLE_EQ(second.rightPadding(), 7.2);
}

TEST(Tables, RowHeightsAreLeastHeights) {
    // 600 twips are 40 pixels, at least (\trrh600) or exactly (\trrh-600); a row of exact
    // height whose text needs more grows rather than running into the text below it.
    const auto document =
        Read(Body("\\trowd\\trrh600\\cellx2000\\intbl a\\cell\\row"
                  "\\trowd\\trrh-600\\clvertalc\\cellx2000\\intbl b\\cell\\row"
                  "\\trowd\\trrh-300\\cellx2000\\intbl c1\\par c2\\par c3\\par c4\\cell\\row"
                  "\\pard after\\par"));
    document->setTextWidth(400);
    const auto* layout = document->documentLayout();
    const auto top = [&](const char* text) {
        return layout->blockBoundingRect(BlockOf(*document, text)).top();
    };
    // The room left is below a line, and shared above and below a centred one.
    const double line = layout->blockBoundingRect(BlockOf(*document, "b")).height();
    EXPECT_NEAR(top("b") - top("a"), 40 + (40 - line) / 2, 1.5);
    EXPECT_NEAR(top("c1") - top("b"), 40 - (40 - line) / 2, 1.5);
    EXPECT_GE(top("after"), layout->blockBoundingRect(BlockOf(*document, "c4")).bottom());
}

// Word 2000 and later: the nested table's paragraphs are \itap2, each row's definition
// stands in \nesttableprops before its \nestrow, and \nonesttables repeats the text for
// readers without nested tables.
const std::string kNestedCyrillic = Body(
    "\\trowd\\cellx2000\\cellx6000"
    "\\pard\\intbl\\f1 \\'c2\\'ed\\'e5\\'f8\\'ed\\'ff\\'ff\\cell "
    "\\'d2\\'e5\\'ea\\'f1\\'f2\\par"
    "\\pard\\intbl\\itap2 \\'ce\\'e4\\'e8\\'ed\\nestcell{\\nonesttables\\par}"
    "\\'c4\\'e2\\'e0\\nestcell{\\nonesttables\\par}"
    "\\pard\\intbl\\itap2{\\*\\nesttableprops\\trowd" +
    std::string(kBox) + "\\cellx1700" + kBox +
    "\\cellx3500\\nestrow}{\\nonesttables\\par}"
    "\\pard\\intbl\\itap2 \\'d2\\'f0\\'e8\\nestcell \\'d7\\'e5\\'f2\\'fb\\'f0\\'e5\\nestcell"
    "{\\*\\nesttableprops\\trowd\\cellx1700\\cellx3500\\nestrow}{\\nonesttables\\par}"
    "\\pard\\intbl\\itap1 \\'cf\\'ee\\'f1\\'eb\\'e5\\cell"
    "{\\trowd\\cellx2000\\cellx6000\\row}\\pard\\f0 end");

TEST(Tables, NestedTableStaysInItsCellWithItsText) {
    const auto document = Read(kNestedCyrillic);
    const QTextTable* table = FirstTable(*document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(ShapeOf(*table), "Внешняя, Текст{Один, Два | Три, Четыре}После");
    const QTextTableCell outer = table->cellAt(0, 1);
    const QTextTable* nested = nullptr;
    for (auto it = outer.begin(); !it.atEnd() && !nested; ++it)
        nested = qobject_cast<QTextTable*>(it.currentFrame());
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(BordersOf(nested->cellAt(0, 1)), "1s 1s 1s 1s");
    EXPECT_EQ(BordersOf(nested->cellAt(1, 1)), "- - - -");
    EXPECT_DOUBLE_EQ(nested->format().columnWidthConstraints().value(1).rawValue(), 120);
    // The outer row's definition, given before its cells, is not the nested table's.
    EXPECT_DOUBLE_EQ(table->format().columnWidthConstraints().value(1).rawValue(), 4000 / 15.0);
    const QString text = TextOf(kNestedCyrillic);
    for (const char* word : {"Внешняя", "Текст", "Один", "Два", "Три", "Четыре", "После", "end"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(word))) << word;
}

TEST(Tables, NestedRowsWithoutTheirDefinitionStillNest) {
    const auto document =
        Read(Body("\\intbl a\\par\\itap2 b\\nestcell c\\nestcell\\nestrow\\pard\\intbl d\\cell\\row"
                  "\\pard after"));
    const QTextTable* table = FirstTable(*document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(ShapeOf(*table), "a{b, c}d");
}

TEST(Tables, CellStartingWithANestedTableKeepsItsFormat) {
    // A cell's format is set with its first paragraph, which here follows the nested table.
    const auto document =
        Read(Body("\\trowd\\clcbpat2\\clbrdrt\\brdrs\\brdrw10\\cellx2000"
                  "\\pard\\intbl\\itap2 x\\nestcell\\nestrow\\pard\\intbl\\itap1 y\\cell\\row"));
    const QTextTable* table = FirstTable(*document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(ShapeOf(*table), "{x}y");
    EXPECT_EQ(BordersOf(table->cellAt(0, 0)), "1s - - -");
    EXPECT_EQ(table->cellAt(0, 0).format().background().color(), QColor(217, 217, 217));
}

TEST(Tables, TablesNestedBeyondTheDeepestKeptAreRowsOfIt) {
    std::string rtf = "\\intbl\\itap1 outer\\par";
    for (int level = 2; level <= 20; ++level)
        rtf += "\\pard\\intbl\\itap" + std::to_string(level) + " t" + std::to_string(level) +
               "\\nestcell\\nestrow";
    rtf += "\\pard\\intbl\\itap1 \\cell\\row";
    const QString text = TextOf(Body(rtf));
    for (int level = 2; level <= 20; ++level)
        EXPECT_TRUE(text.contains("t" + QString::number(level))) << level;
    const auto document = Read(Body(rtf));
    int depth = 0;
    for (const QTextTable* table = FirstTable(*document); table;) {
        ++depth;
        const QTextTable* inner = nullptr;
        const QTextTableCell cell = table->cellAt(table->rows() - 1, 0);
        for (auto it = cell.begin(); !it.atEnd() && !inner; ++it)
            inner = qobject_cast<QTextTable*>(it.currentFrame());
        table = inner;
    }
    EXPECT_EQ(depth, DocumentBuilder::kMaxTableDepth);
}

TEST(Tables, EmptyParagraphsAroundATableStayInSight) {
    // Qt hides an empty block right before and right after a table unless told otherwise.
    const std::string rtf =
        Body("a\\par\\par\\trowd\\cellx1000\\intbl b\\cell\\row\\pard\\par c\\par");
    EXPECT_EQ(TextOf(rtf).toStdString(), "a\n\nb\n\nc");
    const auto document = Read(rtf);
    document->setTextWidth(400);
    const auto* layout = document->documentLayout();
    QTextTable* table = FirstTable(*document);
    ASSERT_NE(table, nullptr);
    const QRectF tableRect = layout->frameBoundingRect(table);
    const QRectF a = layout->blockBoundingRect(BlockOf(*document, "a"));
    const QRectF c = layout->blockBoundingRect(BlockOf(*document, "c"));
    // An empty line between "a" and the table, and between the table and "c".
    EXPECT_GE(tableRect.top() - a.bottom(), a.height() - 1);
    EXPECT_GE(c.top() - tableRect.bottom(), c.height() - 1);
}

struct DamagedTableCase {
    const char* name;
    std::string rtf;
    const char* shape;
};

class DamagedTableTest : public testing::TestWithParam<DamagedTableCase> {};

TEST_P(DamagedTableTest, KeepsEveryCell) {
    const auto document = Read(Body(GetParam().rtf));
    const QTextTable* table = FirstTable(*document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(ShapeOf(*table), GetParam().shape);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, DamagedTableTest,
    testing::Values(
        DamagedTableCase{"vertical_merge_without_start",
                         "\\trowd\\clvmrg\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\row",
                         "a, b"},
        DamagedTableCase{"vertical_merge_under_other_width",
                         "\\trowd\\clvmgf\\cellx2000\\intbl a\\cell\\row"
                         "\\trowd\\clvmrg\\cellx1000\\cellx2000\\intbl b\\cell c\\cell\\row",
                         "a[1x2] | b, c"},
        DamagedTableCase{"horizontal_merge_first", "\\trowd\\clmrg\\cellx1000\\intbl a\\cell\\row",
                         "a"},
        DamagedTableCase{"merged_cell_with_text",
                         "\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\intbl a\\cell b\\cell\\row",
                         "a/b"},
        DamagedTableCase{"edges_going_back",
                         "\\trowd\\cellx3000\\cellx1000\\cellx-500\\intbl a\\cell b\\cell c\\cell"
                         "\\row",
                         "a, b, c"},
        DamagedTableCase{"more_cells_than_edges",
                         "\\trowd\\cellx1000\\intbl a\\cell b\\cell c\\cell\\row", "a, b, c"},
        DamagedTableCase{"cells_without_row", "\\intbl a\\cell b\\cell\\pard after", "a, b"},
        DamagedTableCase{"nested_cell_outside_nesting", "\\intbl a\\nestcell b\\cell\\row",
                         "a\tb"}),
    CaseName());

TEST(Tables, ManyMergesAreAllKept) {
    // Merged last, all at once (bench_rtf's "HostileRtf/merges" measures how quickly).
    std::string rows;
    for (int row = 0; row < 20000; ++row) {
        rows += row % 2 ? "\\trowd\\cellx1000\\cellx2000\\cellx3000\\intbl a\\cell c\\cell"
                        : "\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\cellx3000\\intbl a\\cell"
                          "\\cell";
        rows += " b\\cell\\row";
    }
    const auto document = Read(Body(rows));
    const QTextTable* table = FirstTable(*document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 20000);
    EXPECT_EQ(table->columns(), 3);
    EXPECT_EQ(table->cellAt(0, 0).columnSpan(), 2);
    EXPECT_EQ(PlainTextOfDocument(*document).count(u'a'), 20000);
}

}  // namespace
}  // namespace parcelo::test
