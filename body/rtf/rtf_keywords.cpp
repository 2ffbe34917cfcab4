#include "body/rtf/rtf_keywords.h"

#include "body/rtf/rtf_interpreter_state.h"

#include <QFont>
#include <QTextCharFormat>
#include <QTextListFormat>

#include <initializer_list>
#include <unordered_map>

namespace parcelo::rtf {

namespace {

struct Row {
    std::string_view name;
    Kw kw;
    int arg = 0;
};

constexpr bool kDestination = true;
constexpr bool kWord = false;

KeywordTable makeTable() {
    KeywordTable table;
    const auto add = [&table](Concern concern, bool opensDestination,
                              std::initializer_list<Row> rows) {
        for (const Row& row : rows)
            table.emplace(row.name, Keyword{row.kw, concern, opensDestination, row.arg});
    };
    add(Concern::Destination, kDestination,
        {
            {"fonttbl", Kw::FontTable},
            {"colortbl", Kw::ColorTable},
        });
    // Destinations whose text is not part of the body (or that repeat it in another form).
    add(Concern::Destination, kDestination,
        {
            {"stylesheet", Kw::SkipDest},
            {"info", Kw::SkipDest},
            {"header", Kw::SkipDest},
            {"headerl", Kw::SkipDest},
            {"headerr", Kw::SkipDest},
            {"headerf", Kw::SkipDest},
            {"footer", Kw::SkipDest},
            {"footerl", Kw::SkipDest},
            {"footerr", Kw::SkipDest},
            {"footerf", Kw::SkipDest},
            {"footnote", Kw::SkipDest},
            {"annotation", Kw::SkipDest},
            {"atnid", Kw::SkipDest},
            {"atnauthor", Kw::SkipDest},
            {"xe", Kw::SkipDest},
            {"tc", Kw::SkipDest},
            {"txe", Kw::SkipDest},
            {"rxe", Kw::SkipDest},
            {"objdata", Kw::SkipDest},
            {"objclass", Kw::SkipDest},
            {"pntext", Kw::SkipDest},
            {"pntxta", Kw::SkipDest},
            {"pntxtb", Kw::SkipDest},
            {"listtext", Kw::SkipDest},
            {"listname", Kw::SkipDest},
            {"levelnumbers", Kw::SkipDest},
            {"nonshppict", Kw::SkipDest},
            {"do", Kw::SkipDest},
            {"template", Kw::SkipDest},
            {"revtbl", Kw::SkipDest},
            {"filetbl", Kw::SkipDest},
            {"rsidtbl", Kw::SkipDest},
            {"generator", Kw::SkipDest},
            {"themedata", Kw::SkipDest},
            {"colorschememapping", Kw::SkipDest},
            {"latentstyles", Kw::SkipDest},
            {"datastore", Kw::SkipDest},
            {"xmlnstbl", Kw::SkipDest},
            {"mmathPr", Kw::SkipDest},
            {"bkmkstart", Kw::SkipDest},
            {"bkmkend", Kw::SkipDest},
            {"nonesttables", Kw::SkipDest},  // nested tables' text for readers that lack them
        });
    // Destinations that are read through: they hold what the body shows.
    add(Concern::Destination, kDestination,
        {
            {"shppict", Kw::TextDest},
            {"object", Kw::TextDest},
            {"result", Kw::TextDest},
            {"ud", Kw::TextDest},
        });
    add(Concern::Destination, kWord,
        {
            {"deff", Kw::DefaultFont},
            {"fcharset", Kw::FontCharset},
            {"cpg", Kw::FontCodePage},
            {"froman", Kw::FontFamily, QFont::Serif},
            {"fswiss", Kw::FontFamily, QFont::SansSerif},
            {"fmodern", Kw::FontFamily, QFont::Monospace},
            {"fscript", Kw::FontFamily, QFont::Cursive},
            {"fdecor", Kw::FontFamily, QFont::Decorative},
            {"red", Kw::Red},
            {"green", Kw::Green},
            {"blue", Kw::Blue},
        });
    add(Concern::TextDecoding, kWord,
        {
            {"emdash", Kw::Char, 0x2014},
            {"endash", Kw::Char, 0x2013},
            {"emspace", Kw::Char, 0x2003},
            {"enspace", Kw::Char, 0x2002},
            {"qmspace", Kw::Char, 0x2005},
            {"bullet", Kw::Char, 0x2022},
            {"lquote", Kw::Char, 0x2018},
            {"rquote", Kw::Char, 0x2019},
            {"ldblquote", Kw::Char, 0x201C},
            {"rdblquote", Kw::Char, 0x201D},
            {"zwj", Kw::Char, 0x200D},
            {"zwnj", Kw::Char, 0x200C},
            {"u", Kw::Unicode},
            {"uc", Kw::UnicodeSkip},
            {"ansi", Kw::CodePage, 1252},
            {"mac", Kw::CodePage, 10000},
            {"pc", Kw::CodePage, 437},
            {"pca", Kw::CodePage, 850},
            {"ansicpg", Kw::AnsiCodePage},
        });
    add(Concern::CharacterFormat, kWord,
        {
            {"plain", Kw::Plain},
            {"b", Kw::Bold},
            {"i", Kw::Italic},
            {"ul", Kw::Underline, QTextCharFormat::SingleUnderline},
            {"ulw", Kw::Underline, QTextCharFormat::SingleUnderline},
            {"uldb", Kw::Underline, QTextCharFormat::SingleUnderline},
            {"ulth", Kw::Underline, QTextCharFormat::SingleUnderline},
            {"uld", Kw::Underline, QTextCharFormat::DotLine},
            {"uldash", Kw::Underline, QTextCharFormat::DashUnderline},
            {"uldashd", Kw::Underline, QTextCharFormat::DashDotLine},
            {"uldashdd", Kw::Underline, QTextCharFormat::DashDotDotLine},
            {"ulwave", Kw::Underline, QTextCharFormat::WaveUnderline},
            {"ulnone", Kw::UnderlineNone},
            {"strike", Kw::Strike},
            {"striked", Kw::Strike},
            {"f", Kw::Font},
            {"fs", Kw::FontSize},
            {"cf", Kw::Foreground},
            {"cb", Kw::Background},
            {"highlight", Kw::Background},
            {"chcbpat", Kw::Background},
            {"super", Kw::Super},
            {"sub", Kw::Sub},
            {"nosupersub", Kw::NoSuperSub},
            {"v", Kw::Hidden},
            {"caps", Kw::Caps},
            {"scaps", Kw::SmallCaps},
        });
    add(Concern::ParagraphFormat, kWord,
        {
            {"par", Kw::Par},
            {"page", Kw::Par},
            {"sect", Kw::Par},
            {"column", Kw::Par},
            {"line", Kw::Line},
            {"tab", Kw::Tab},
            {"pard", Kw::Pard},
            {"ql", Kw::Alignment, static_cast<int>(Align::Default)},
            {"qr", Kw::Alignment, static_cast<int>(Align::Right)},
            {"qc", Kw::Alignment, static_cast<int>(Align::Center)},
            {"qj", Kw::Alignment, static_cast<int>(Align::Justify)},
            {"qd", Kw::Alignment, static_cast<int>(Align::Justify)},
            {"li", Kw::LeftIndent},
            {"lin", Kw::LeftIndent},
            {"ri", Kw::RightIndent},
            {"rin", Kw::RightIndent},
            {"fi", Kw::FirstIndent},
            {"sb", Kw::SpaceBefore},
            {"sa", Kw::SpaceAfter},
            {"sl", Kw::LineSpacing},
            {"slmult", Kw::LineMultiple},
            {"cbpat", Kw::ParagraphShading},
            {"tqr", Kw::TabKind, QTextOption::RightTab},
            {"tqc", Kw::TabKind, QTextOption::CenterTab},
            {"tqdec", Kw::TabKind, QTextOption::DelimiterTab},
            {"tx", Kw::TabStop},
            {"tb", Kw::BarTab},
            {"deftab", Kw::DefaultTab},
        });
    add(Concern::Table, kWord,
        {
            {"cell", Kw::Cell},
            {"row", Kw::Row},
            {"nestcell", Kw::NestCell},
            {"nestrow", Kw::NestRow},
            {"intbl", Kw::InTable},
            {"itap", Kw::TableLevel},
            {"trowd", Kw::RowDefaults},
            {"cellx", Kw::CellEdge},
            {"clcbpat", Kw::CellShading},
            {"trleft", Kw::RowLeft},
            {"trql", Kw::RowAlign, Qt::AlignLeft},
            {"trqr", Kw::RowAlign, Qt::AlignRight},
            {"trqc", Kw::RowAlign, Qt::AlignHCenter},
            {"trgaph", Kw::RowGap},
            {"trpaddt", Kw::RowPadding, kTopEdge},
            {"trpaddl", Kw::RowPadding, kLeftEdge},
            {"trpaddb", Kw::RowPadding, kBottomEdge},
            {"trpaddr", Kw::RowPadding, kRightEdge},
            {"trpaddft", Kw::RowPaddingUnit, kTopEdge},
            {"trpaddfl", Kw::RowPaddingUnit, kLeftEdge},
            {"trpaddfb", Kw::RowPaddingUnit, kBottomEdge},
            {"trpaddfr", Kw::RowPaddingUnit, kRightEdge},
            {"trrh", Kw::RowHeight},
            // Word writes a cell's top padding as \clpadl and its left as \clpadt, and reads
            // them so.
            {"clpadl", Kw::CellPadding, kTopEdge},
            {"clpadt", Kw::CellPadding, kLeftEdge},
            {"clpadb", Kw::CellPadding, kBottomEdge},
            {"clpadr", Kw::CellPadding, kRightEdge},
            {"clpadfl", Kw::CellPaddingUnit, kTopEdge},
            {"clpadft", Kw::CellPaddingUnit, kLeftEdge},
            {"clpadfb", Kw::CellPaddingUnit, kBottomEdge},
            {"clpadfr", Kw::CellPaddingUnit, kRightEdge},
            {"trbrdrt", Kw::RowBorder, kTopEdge},
            {"trbrdrl", Kw::RowBorder, kLeftEdge},
            {"trbrdrb", Kw::RowBorder, kBottomEdge},
            {"trbrdrr", Kw::RowBorder, kRightEdge},
            {"trbrdrh", Kw::RowBorder, kInnerHorizontalEdge},
            {"trbrdrv", Kw::RowBorder, kInnerVerticalEdge},
            {"clbrdrt", Kw::CellBorder, kTopEdge},
            {"clbrdrl", Kw::CellBorder, kLeftEdge},
            {"clbrdrb", Kw::CellBorder, kBottomEdge},
            {"clbrdrr", Kw::CellBorder, kRightEdge},
            {"brdrt", Kw::ParagraphBorder, kTopEdge},
            {"brdrl", Kw::ParagraphBorder, kLeftEdge},
            {"brdrb", Kw::ParagraphBorder, kBottomEdge},
            {"brdrr", Kw::ParagraphBorder, kRightEdge},
            {"box", Kw::ParagraphBorder, kBoxEdges},
            {"brsp", Kw::BorderSpace},
            // Borders between paragraphs, beside them in the margin, and of characters and
            // pages are not drawn; the words that describe them must not change another's.
            {"brdrbtw", Kw::OtherBorder},
            {"brdrbar", Kw::OtherBorder},
            {"chbrdr", Kw::OtherBorder},
            {"pgbrdrt", Kw::OtherBorder},
            {"pgbrdrb", Kw::OtherBorder},
            {"pgbrdrl", Kw::OtherBorder},
            {"pgbrdrr", Kw::OtherBorder},
            {"brdrnone", Kw::BorderStyle, QTextFrameFormat::BorderStyle_None},
            {"brdrnil", Kw::BorderStyle, QTextFrameFormat::BorderStyle_None},
            {"brdrtbl", Kw::BorderStyle, QTextFrameFormat::BorderStyle_None},
            {"brdrs", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Solid},
            {"brdrth", Kw::BorderStyle, kThickBorder | QTextFrameFormat::BorderStyle_Solid},
            {"brdrsh", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Solid},
            {"brdrhair", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Solid},
            {"brdrframe", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Solid},
            {"brdrwavy", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Solid},
            {"brdrdb", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Double},
            {"brdrwavydb", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Double},
            {"brdrtriple", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Double},
            {"brdrtnthsg", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Double},
            {"brdrthtnsg", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Double},
            {"brdrtnthtnsg", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Double},
            {"brdrtnthmg", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Double},
            {"brdrthtnmg", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Double},
            {"brdrtnthtnmg", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Double},
            {"brdrtnthlg", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Double},
            {"brdrthtnlg", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Double},
            {"brdrtnthtnlg", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Double},
            {"brdrdot", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Dotted},
            {"brdrdash", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Dashed},
            {"brdrdashsm", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Dashed},
            {"brdrdashd", Kw::BorderStyle, QTextFrameFormat::BorderStyle_DotDash},
            {"brdrdashdotstr", Kw::BorderStyle, QTextFrameFormat::BorderStyle_DotDash},
            {"brdrdashdd", Kw::BorderStyle, QTextFrameFormat::BorderStyle_DotDotDash},
            {"brdrinset", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Inset},
            {"brdroutset", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Outset},
            {"brdremboss", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Ridge},
            {"brdrengrave", Kw::BorderStyle, QTextFrameFormat::BorderStyle_Groove},
            {"brdrw", Kw::BorderWidth},
            {"brdrcf", Kw::BorderColor},
            {"clmgf", Kw::CellMerge, static_cast<int>(BuiltMerge::First)},
            {"clmrg", Kw::CellMerge, static_cast<int>(BuiltMerge::Continued)},
            {"clvmgf", Kw::CellVerticalMerge, static_cast<int>(BuiltMerge::First)},
            {"clvmrg", Kw::CellVerticalMerge, static_cast<int>(BuiltMerge::Continued)},
            {"clvertalt", Kw::CellVerticalAlign, QTextCharFormat::AlignNormal},
            {"clvertalc", Kw::CellVerticalAlign, QTextCharFormat::AlignMiddle},
            {"clvertalb", Kw::CellVerticalAlign, QTextCharFormat::AlignBottom},
        });
    add(Concern::Table, kDestination,
        {
            {"nesttableprops", Kw::NestTableProps},
        });
    add(Concern::List, kDestination,
        {
            {"listtable", Kw::ListTable},
            {"listoverridetable", Kw::ListOverrideTable},
            {"leveltext", Kw::ListLevelText},
            {"pn", Kw::LegacyList},
        });
    add(Concern::List, kWord,
        {
            {"ls", Kw::ListOverride},
            {"ilvl", Kw::ListLevel},
            {"pnlvlblt", Kw::LegacyBullet},
            {"pnlvlbody", Kw::LegacyBody},
            {"pnlvlcont", Kw::LegacyContinue},
            {"pndec", Kw::LegacyStyle, QTextListFormat::ListDecimal},
            {"pnucltr", Kw::LegacyStyle, QTextListFormat::ListUpperAlpha},
            {"pnlcltr", Kw::LegacyStyle, QTextListFormat::ListLowerAlpha},
            {"pnucrm", Kw::LegacyStyle, QTextListFormat::ListUpperRoman},
            {"pnlcrm", Kw::LegacyStyle, QTextListFormat::ListLowerRoman},
            {"list", Kw::List},
            {"listlevel", Kw::ListLevelStart},
            {"levelnfc", Kw::LevelNfc},
            {"levelnfcn", Kw::LevelNfc},
            {"listid", Kw::ListId},
        });
    add(Concern::Field, kDestination,
        {
            {"field", Kw::Field},
            {"fldinst", Kw::FieldInst},
            {"fldrslt", Kw::FieldResult},
        });
    add(Concern::Picture, kDestination,
        {
            {"pict", Kw::Pict},
        });
    add(Concern::Picture, kWord,
        {
            {"pngblip", Kw::PictKind, static_cast<int>(Picture::Kind::Png)},
            {"jpegblip", Kw::PictKind, static_cast<int>(Picture::Kind::Jpeg)},
            {"emfblip", Kw::PictKind, static_cast<int>(Picture::Kind::Emf)},
            {"wmetafile", Kw::PictKind, static_cast<int>(Picture::Kind::Wmf)},
            {"dibitmap", Kw::PictKind, static_cast<int>(Picture::Kind::Dib)},
            {"wbitmap", Kw::PictKind, static_cast<int>(Picture::Kind::DeviceBitmap)},
            {"macpict", Kw::PictKind, static_cast<int>(Picture::Kind::MacPict)},
            {"picw", Kw::PictWidth},
            {"pich", Kw::PictHeight},
            {"wbmbitspixel", Kw::PictBitsPerPixel},
            {"picbpp", Kw::PictBitsPerPixel},
            {"wbmplanes", Kw::PictPlanes},
            {"wbmwidthbytes", Kw::PictWidthBytes},
            {"picwgoal", Kw::PictGoalWidth},
            {"pichgoal", Kw::PictGoalHeight},
            {"picscalex", Kw::PictScaleX},
            {"picscaley", Kw::PictScaleY},
        });
    add(Concern::PageBackground, kDestination,
        {
            {"shp", Kw::Shape},
            {"shprslt", Kw::ShapeResult},
            {"shpinst", Kw::ShapeInstructions},
            {"background", Kw::PageBackground},
        });
    add(Concern::PageBackground, kWord,
        {
            {"sp", Kw::ShapeProperty},
            {"sn", Kw::ShapePropertyName},
            {"sv", Kw::ShapePropertyValue},
        });
    add(Concern::HtmlTag, kDestination,
        {
            {"htmltag", Kw::HtmlTag},
            {"mhtmltag", Kw::MhtmlTag},
        });
    add(Concern::HtmlTag, kWord,
        {
            {"htmlrtf", Kw::HtmlRtf},
        });
    return table;
}

}  // namespace

const KeywordTable& Keywords() {
    static const KeywordTable table = makeTable();
    return table;
}

}  // namespace parcelo::rtf
