// Saving a document as RTF, and reading what was saved back into the same document.
#include "body/rtf/rtf_writer.h"

#include "body_test_support.h"

#include <QImage>
#include <QTextCursor>
#include <QTextList>
#include <QTextTable>
#include <QTextTableCellFormat>

#include <gtest/gtest.h>

#include <string>

namespace parcelo::test {
namespace {

// Everything the writer promises to keep, one line per block and fragment, for comparing.
std::string Signature(const QTextDocument& document) {
    std::string out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat b = block.blockFormat();
        out += "block align=" + std::to_string(int(b.alignment())) +
               " left=" + std::to_string(int(b.leftMargin())) +
               " indent=" + std::to_string(int(b.textIndent())) +
               " top=" + std::to_string(int(b.topMargin())) +
               " bottom=" + std::to_string(int(b.bottomMargin())) +
               " line=" + std::to_string(int(b.lineHeightType())) + "/" +
               std::to_string(int(b.lineHeight()));
        if (b.hasProperty(QTextFormat::BackgroundBrush))
            out += " bg=" + b.background().color().name().toStdString();
        if (const QTextList* list = block.textList())
            out += " list=" + std::to_string(list->format().style()) + "/" +
                   std::to_string(list->format().indent()) + "#" +
                   std::to_string(list->itemNumber(block));
        for (const QTextOption::Tab& tab : b.tabPositions())
            out += " tab=" + QString::number(tab.position).toStdString() + "/" +
                   std::to_string(tab.type);
        if (QTextTable* table = QTextCursor(block).currentTable()) {
            const QTextTableCell cell = table->cellAt(block.position());
            const QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
            out += " cell=" + std::to_string(cell.row()) + "," + std::to_string(cell.column()) +
                   " span=" + std::to_string(cell.rowSpan()) + "x" +
                   std::to_string(cell.columnSpan()) + " borders=" + BordersOf(cell) +
                   " pad=" + QString::number(cellFormat.leftPadding()).toStdString() + "," +
                   QString::number(cellFormat.topPadding()).toStdString() +
                   " valign=" + std::to_string(cellFormat.verticalAlignment());
            if (cell.format().background().style() != Qt::NoBrush)
                out += " cellbg=" + cell.format().background().color().name().toStdString();
            const QTextTableFormat tableFormat = table->format();
            out += " table=" + QString::number(tableFormat.leftMargin()).toStdString() + "/" +
                   std::to_string(tableFormat.alignment());
            for (const QTextLength& width : tableFormat.columnWidthConstraints())
                out += "," + QString::number(width.rawValue(), 'f', 1).toStdString();
        }
        out += "\n";
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isImageFormat()) {
                const QTextImageFormat image = f.toImageFormat();
                out += "  image " + std::to_string(int(image.width())) + "x" +
                       std::to_string(int(image.height())) + "\n";
                continue;
            }
            out += "  \"" + it.fragment().text().toStdString() + "\"";
            out += " family=" + f.fontFamilies().toStringList().join(',').toStdString();
            out += " size=" + std::to_string(f.fontPointSize());
            if (f.fontWeight() >= QFont::DemiBold)
                out += " bold";
            if (f.fontItalic())
                out += " italic";
            if (f.underlineStyle() != QTextCharFormat::NoUnderline)
                out += " underline=" + std::to_string(f.underlineStyle());
            if (f.fontStrikeOut())
                out += " strike";
            if (f.verticalAlignment() != QTextCharFormat::AlignNormal)
                out += " valign=" + std::to_string(f.verticalAlignment());
            if (f.hasProperty(QTextFormat::ForegroundBrush))
                out += " fg=" + f.foreground().color().name().toStdString();
            if (f.hasProperty(QTextFormat::BackgroundBrush))
                out += " bg=" + f.background().color().name().toStdString();
            if (f.isAnchor())
                out += " href=" + f.anchorHref().toStdString();
            out += "\n";
        }
    }
    return out;
}

std::unique_ptr<QTextDocument> ReadBack(const QTextDocument& document) {
    const QByteArray rtf = RtfFromDocument(document);
    return Read(std::string_view(rtf.constData(), rtf.size()));
}

constexpr const char* kRichBody =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fcharset204 Arial Cyr;}}"
    "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}"
    "{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}\\listid1}"
    "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00);}}{\\listlevel\\levelnfc2"
    "{\\leveltext\\'02\\'01.;}}\\listid2}}"
    "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}{\\listoverride\\listid2\\ls2}}"
    "\\pard\\plain\\qc\\sb240\\sa120 {\\b\\fs32 Title}\\par"
    "\\pard\\li720\\fi-360\\sl360\\slmult1 Plain {\\i italic} {\\ul under}{\\uld dots} "
    "{\\strike struck} {\\f1 serif} {\\cf1 red} {\\highlight2 green} x{\\super 2} H{\\sub 2}O "
    "{\\f2\\'cf\\'f0\\'e8} \\u8364? {\\field{\\*\\fldinst HYPERLINK \"http://example.com/?a=1\"}"
    "{\\fldrslt{\\ul\\cf1 a link}}}\\par"
    "\\pard\\qj\\sl-300\\slmult0\\cbpat2 justified{\\tab}tab\\line line\\par"
    "\\pard\\ls1 bullet one\\par\\pard\\ls1 bullet two\\par"
    "\\pard\\ls2 number one\\par\\pard\\ls2\\ilvl1 roman\\par\\pard\\ls2 number two\\par"
    "\\pard\\trowd\\cellx2000\\cellx5000\\intbl {\\b head}\\cell second\\cell\\row"
    "\\trowd\\clcbpat1\\cellx2000\\cellx5000\\intbl one\\par two\\cell \\cell\\row"
    "\\pard after\\par"
    "\\pard\\brdrt\\brdrs\\brdrw15\\brsp20 From: Ann\\par Sent: Monday\\par}";

TEST(RoundTrip, RichBodyKeepsTextAndFormatting) {
    const auto original = Read(kRichBody);
    const auto reread = ReadBack(*original);
    EXPECT_EQ(Signature(*reread), Signature(*original));
    EXPECT_EQ(PlainTextOfDocument(*reread), PlainTextOfDocument(*original));
    // The table, and the box of the bordered paragraph.
    EXPECT_EQ(reread->rootFrame()->childFrames().size(), 2);
}

TEST(RoundTrip, PageBackgroundStaysBehindWhiteText) {
    const auto original = Read(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 "
        "Arial;}}{\\colortbl;\\red255\\green255\\blue255;\\red0\\green0\\blue255;}"
        "{\\*\\background{\\shp{\\*\\shpinst{\\sp{\\sn fillColor}{\\sv 255}}}}}\\cf1 "
        "white\\par\\cbpat2 shaded\\par\\pard\\trowd\\cellx1000\\cellx2000\\intbl "
        "a\\cell\\cell\\row"
        "\\pard\\par}");
    const std::string painted = BackgroundsOf(*original);
    // The empty paragraph after the table has a block of its own: Qt hides the one it keeps
    // after a table.
    ASSERT_EQ(painted, "#ff0000 #0000ff [#ff0000] [#ff0000] #ff0000 #ff0000");
    const QByteArray rtf = RtfFromDocument(*original);
    EXPECT_TRUE(rtf.contains("{\\sn fillColor}{\\sv 255}")) << rtf.toStdString();
    // The page's colour is the page's; only the shaded paragraph has one of its own.
    EXPECT_EQ(rtf.count("cbpat"), 1) << rtf.toStdString();
    const auto reread = ReadBack(*original);
    EXPECT_EQ(BackgroundsOf(*reread), painted);
    EXPECT_EQ(Signature(*reread), Signature(*original));
}

TEST(RoundTrip, SavingTwiceGivesTheSameRtf) {
    const auto once = ReadBack(*Read(kRichBody));
    EXPECT_EQ(RtfFromDocument(*ReadBack(*once)), RtfFromDocument(*once));
}

TEST(RoundTrip, RunsDoNotTakeTheFirstRunsFormatting) {
    // The paragraph mark is written with the first run's properties.
    const auto original = Read(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red255\\green0"
        "\\blue0;}{\\b\\i\\ul\\strike\\super\\cf1\\f1 first} then plain\\par}");
    const auto reread = ReadBack(*original);
    EXPECT_EQ(Signature(*reread), Signature(*original));
    const auto plain = FormatOf(*reread, "then plain");
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(plain->fontWeight(), QFont::Normal);
    EXPECT_FALSE(plain->fontItalic());
}

TEST(RoundTrip, TabStopsKeepTheirPlaces) {
    // Outlook's task form, and stops of each kind in a paragraph indented by 720 twips, from
    // which Qt measures them.
    const auto original = Read(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\fi-2400\\li2400\\tx2400\\b Subject:\\tab"
        "\\b0 Some important task.\\par\\pard\\li720\\tqr\\tx4000\\tqc\\tx6000\\tqdec\\tx7000 "
        "a\\tab b\\tab c\\tab 1.5\\par}");
    const QByteArray rtf = RtfFromDocument(*original);
    for (const char* stop : {"\\tx2400", "\\tqr\\tx4000", "\\tqc\\tx6000", "\\tqdec\\tx7000"})
        EXPECT_TRUE(rtf.contains(stop)) << stop << "\n" << rtf.toStdString();
    const auto reread = Read(std::string_view(rtf.constData(), rtf.size()));
    EXPECT_EQ(Signature(*reread), Signature(*original));
    EXPECT_NE(Signature(*reread).find("tab=218.667/1"), std::string::npos) << Signature(*reread);
}

TEST(RoundTrip, TextNeedingEscapes) {
    QTextDocument document;
    QTextCursor cursor(&document);
    const QString text =
        QString::fromUtf8("braces {} back\\slash K\u00e4se \u6f22\u5b57 \U0001F600 nb\u00a0sp");
    cursor.insertText(text);
    cursor.insertText(QString(QChar::LineSeparator) + "\tnext");
    const auto reread = ReadBack(document);
    EXPECT_EQ(reread->toPlainText(), document.toPlainText());
    const QByteArray rtf = RtfFromDocument(document);
    EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](char c) { return (c & 0x80) == 0; }));
    EXPECT_TRUE(rtf.contains("K\\u228?se"));
    EXPECT_TRUE(rtf.contains("\\u-10179?\\u-8704?"));  // a surrogate pair, signed
}

TEST(RoundTrip, HtmlBodySavedAsNativeRtf) {
    const auto original = Read(
        "{\\rtf1\\fromhtml1{\\*\\htmltag <p>}Dear {\\*\\htmltag <b>}Isabel{\\*\\htmltag </b>}"
        "{\\*\\htmltag <ul><li>}one{\\*\\htmltag <li>}two{\\*\\htmltag </ul><table><tr><td>}"
        "a{\\*\\htmltag <td>}b{\\*\\htmltag </table><a href=\"http://x.example/\">}x"
        "{\\*\\htmltag </a>}}");
    const auto reread = ReadBack(*original);
    EXPECT_EQ(PlainTextOfDocument(*reread).toStdString(), "Dear Isabel\n• one\n• two\na\tb\nx");
    const auto bold = FormatOf(*reread, "Isabel");
    ASSERT_TRUE(bold.has_value());
    EXPECT_EQ(bold->fontWeight(), QFont::Bold);
    const auto link = FormatOf(*reread, "x");
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->anchorHref(), "http://x.example/");
}

TEST(RoundTrip, PicturesAreSavedAsPng) {
    QTextDocument document;
    QImage image(6, 2, QImage::Format_ARGB32);
    image.fill(Qt::green);
    document.addResource(QTextDocument::ImageResource, QUrl("mem:pic"), image);
    QTextCursor cursor(&document);
    cursor.insertText("before ");
    QTextImageFormat format;
    format.setName("mem:pic");
    format.setWidth(60);
    format.setHeight(20);
    cursor.insertImage(format);
    const QByteArray rtf = RtfFromDocument(document);
    EXPECT_TRUE(rtf.contains("\\pngblip"));
    const auto reread = Read(std::string_view(rtf.constData(), rtf.size()));
    EXPECT_EQ(Signature(*reread).find("image 60x20") != std::string::npos, true)
        << Signature(*reread);
}

// Word's tables: merged cells across and down, borders of several kinds on some cells only,
// shading, padding, rows of other edges, a table set in from the margin, and one nested in a
// cell.
constexpr const char* kTablesBody =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
    "{\\colortbl;\\red192\\green0\\blue0;\\red217\\green217\\blue217;}"
    "\\pard\\plain intro\\par"
    "\\trowd\\trgaph108\\trleft-108\\clvmgf\\clvertalc\\clcbpat2\\clbrdrt\\brdrs\\brdrw10"
    "\\clbrdrl\\brdrs\\brdrw10\\cellx1800\\clmgf\\clbrdrt\\brdrdb\\brdrw10\\cellx3600"
    "\\clmrg\\clbrdrt\\brdrdb\\brdrw10\\cellx5400\\clbrdrb\\brdrs\\brdrw45\\brdrcf1\\cellx7200"
    "\\pard\\intbl Region\\cell First half\\cell\\cell Total\\cell\\row"
    "\\trowd\\trgaph108\\trleft-108\\clvmrg\\clcbpat2\\clbrdrb\\brdrdot\\brdrw15\\cellx1800"
    "\\cellx3600\\clbrdrr\\brdrdash\\brdrw15\\cellx5400\\cellx7200"
    "\\pard\\intbl\\cell\\qr Q1\\cell\\qr Q2\\cell\\cell\\row"
    "\\trowd\\trgaph108\\trleft-108\\cellx3600\\cellx7200"
    "\\pard\\intbl wide\\cell right\\cell\\row"
    "\\pard\\par"
    "\\trowd\\trgaph60\\trleft720\\trqc\\trpaddt30\\trpaddft3\\cellx3000\\cellx6000"
    "\\pard\\intbl\\itap1 outer\\cell before\\par"
    "\\pard\\intbl\\itap2 n1\\nestcell n2\\nestcell{\\*\\nesttableprops\\trowd\\trgaph30"
    "\\clbrdrt\\brdrs\\brdrw10\\cellx1000\\cellx2500\\nestrow}"
    "\\pard\\intbl\\itap1 after\\cell\\row"
    "\\pard end\\par}";

TEST(RoundTrip, TablesKeepTheirLayout) {
    const auto original = Read(kTablesBody);
    const QTextTable* table = FirstTable(*original);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(ShapeOf(*table),
              "Region[2x1], First half[1x2], Total | Q1, Q2, _ | wide[1x2], right[1x2]");
    const auto reread = ReadBack(*original);
    EXPECT_EQ(Signature(*reread), Signature(*original));
    EXPECT_EQ(PlainTextOfDocument(*reread), PlainTextOfDocument(*original));
    EXPECT_EQ(reread->rootFrame()->childFrames().size(), 2);
    QTextTable* second = qobject_cast<QTextTable*>(reread->rootFrame()->childFrames().value(1));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(ShapeOf(*second), "outer, before{n1, n2}after");
}

TEST(RoundTrip, SavedTablesSayWhatTheyHold) {
    const QByteArray rtf = RtfFromDocument(*Read(kTablesBody));
    for (const char* word :
         {"\\clvmgf", "\\clvmrg", "\\clmgf", "\\clmrg", "\\clbrdrt\\brdrdb", "\\clbrdrb\\brdrdot",
          "\\clbrdrr\\brdrdash", "\\clvertalc", "\\trqc", "\\trleft720", "\\itap2", "\\nestcell",
          "\\nesttableprops", "\\nestrow"})
        EXPECT_TRUE(rtf.contains(word)) << word;
    // Only the cells that have borders say so; a merged cell's are written in each row and
    // column it spans.
    EXPECT_EQ(rtf.count("\\clbrdr"), 11) << rtf.toStdString();
}

TEST(RoundTrip, HtmlTableSavedWithItsSpansAndBorders) {
    const auto original = Read(
        "{\\rtf1\\fromhtml1{\\*\\htmltag <table border=1><tr><td rowspan=2>}a"
        "{\\*\\htmltag <td colspan=2>}b{\\*\\htmltag <tr><td>}c{\\*\\htmltag <td>}d"
        "{\\*\\htmltag </table><table><tr><td>}e{\\*\\htmltag <td>}f"
        "{\\*\\htmltag </table>}}");
    const QTextTable* table = FirstTable(*original);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(ShapeOf(*table), "a[2x1], b[1x2] | c, d");
    const QByteArray rtf = RtfFromDocument(*original);
    EXPECT_TRUE(rtf.contains("\\clvmgf")) << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("\\clmrg")) << rtf.toStdString();
    const auto reread = Read(std::string_view(rtf.constData(), rtf.size()));
    const QTextTable* back = FirstTable(*reread);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(ShapeOf(*back), ShapeOf(*table));
    // Qt draws the table's border around each cell; saved, the cells have it.
    ASSERT_EQ(table->format().border(), 1);
    EXPECT_EQ(BordersOf(back->cellAt(1, 1)), "1o#808080 1o#808080 1o#808080 1o#808080");
    // The table without a border attribute gets none.
    const QTextTable* borderless =
        qobject_cast<QTextTable*>(reread->rootFrame()->childFrames().value(1));
    ASSERT_NE(borderless, nullptr);
    EXPECT_EQ(BordersOf(borderless->cellAt(0, 0)), "- - - -");
}

TEST(RoundTrip, SavingTablesTwiceGivesTheSameRtf) {
    const auto once = ReadBack(*Read(kTablesBody));
    EXPECT_EQ(RtfFromDocument(*ReadBack(*once)), RtfFromDocument(*once));
}

TEST(Writer, EmptyDocumentIsAnEmptyRtfDocument) {
    QTextDocument document;
    const QByteArray rtf = RtfFromDocument(document);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi"));
    EXPECT_EQ(rtf.count('{'), rtf.count('}'));
    EXPECT_FALSE(rtf.contains("\\par"));
    EXPECT_TRUE(Read(std::string_view(rtf.constData(), rtf.size()))->isEmpty());
}

TEST(Writer, BracesBalanceAndDocumentEnds) {
    const QByteArray rtf = RtfFromDocument(*Read(kRichBody));
    int depth = 0;
    int closedAt = -1;
    for (int i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;  // an escaped brace is text
            continue;
        }
        if (rtf[i] == '{')
            ++depth;
        if (rtf[i] == '}' && --depth == 0)
            closedAt = i;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(rtf.mid(closedAt + 1).trimmed(), "");
}

}  // namespace
}  // namespace parcelo::test
