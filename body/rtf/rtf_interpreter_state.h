// What the RTF interpreter keeps while it reads: the state of each group, the document's font,
// colour and list tables, and the text and table being built. Shared by the interpreter's
// source files, one for each kind of control word; nothing outside the interpreter sees it.
#pragma once

#include "body/document_builder.h"
#include "body/rtf/code_page_text.h"
#include "body/rtf/rtf_keywords.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <QTextCharFormat>
#include <QTextOption>

#include <algorithm>
#include <array>
#include <compare>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace parcelo::rtf {

// Word nests groups a few dozen deep; anything far deeper is broken or hostile, and its inner
// groups simply share the state of the deepest one kept.
constexpr size_t kMaxDepth = 512;
// Longest field instruction, font name and list level text kept; real ones are far shorter.
constexpr qsizetype kMaxInstruction = 8192;
constexpr qsizetype kMaxName = 256;
// RTF lengths are in twips; anything beyond 22 inches is nonsense and is clamped.
constexpr int kMaxTwips = 31680;
// Added to a border style in the keyword table for the styles whose line is twice as wide.
constexpr int kThickBorder = 0x100;
// The edge of \box in the keyword table: all four edges of a paragraph, alike.
constexpr int kBoxEdges = 4;
// The \pn "style" of a paragraph that goes on with the list item before it (\pnlvlcont);
// the list styles themselves are negative.
constexpr int8_t kListContinues = 1;

enum class Dest : uint8_t {
    Text,
    Skip,
    FontTable,
    ColorTable,
    ListTable,
    ListLevelText,
    ListOverrideTable,
    FieldInstruction,
    Picture,
    LegacyList,
    HtmlTag,
    PageBackground,  // the \background shape and its property groups
    ShapePropertyName,
    ShapePropertyValue,
    Shape,  // a floating shape's instructions, of which only the picture is shown
};

enum class Align : uint8_t { Default, Right, Center, Justify };

struct CharProps {
    int font = -1;  // -1: the document's default font
    int halfPoints = 24;
    int foreground = -1;  // colour table indexes
    int background = -1;
    int link = -1;  // index into the hyperlink targets
    uint8_t underline = QTextCharFormat::NoUnderline;
    int8_t vertical = 0;  // 1 superscript, -1 subscript
    uint8_t caps = 0;     // 1 all capitals, 2 small capitals
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    bool operator==(const CharProps&) const = default;
};

// A tab stop as RTF gives it: from the left margin, whatever the paragraph's indents.
struct TabStop {
    int position = 0;  // twips
    QTextOption::TabType type = QTextOption::LeftTab;
    auto operator<=>(const TabStop&) const = default;
};

// Most tab stops a paragraph keeps, as Word allows; and most distinct sets of them a body
// has, which real ones never come near.
constexpr size_t kMaxTabStops = 64;
// Word's distance between default tab stops when a document names none: half an inch.
constexpr int kDefaultTabTwips = 720;
constexpr size_t kMaxTabSets = 4096;
// Most distinct sets of paragraph borders a body has; Word's have a few.
constexpr size_t kMaxBorderSets = 256;

struct ParaProps {
    Align align = Align::Default;
    int left = 0;
    int right = 0;
    int firstLine = 0;
    int before = 0;
    int after = 0;
    int lineSpacing = 0;
    bool lineMultiple = false;
    int tableLevel = 0;  // 1 in a table, 2 in a table nested in one, and so on
    int listOverride = 0;
    int listLevel = 0;
    int8_t legacyList = 0;  // a QTextListFormat::Style from \pn, 0 when none, or kListContinues
    int shading = -1;       // colour table index of the paragraph's background
    // The paragraph's tab stops, as an index into the interpreter's sets of them: groups copy
    // these properties as they open, so they hold nothing that has to be allocated.
    int tabSet = 0;
    int borderSet = 0;  // likewise, an index into the sets of borders; 0 for none
    bool operator==(const ParaProps&) const = default;
};

struct Group {
    CharProps chars;
    ParaProps para;
    Dest dest = Dest::Text;
    uint8_t uc = 1;
    bool htmlRtf = false;
    bool nestTableProps = false;  // in \nesttableprops: row definitions are a nested table's
};

struct Font {
    QString name;
    int charset = -1;
    uint32_t codePage = 0;  // from \cpg, which wins over the charset's
    QFont::StyleHint hint = QFont::AnyStyle;
};

struct ListLevel {
    int nfc = 0;
    QString text;
};

struct ListDefinition {
    int id = 0;
    std::vector<ListLevel> levels;
};

struct Field {
    size_t depth;
    QString instruction;
    bool resultSeen = false;
};

struct Picture {
    enum class Kind : uint8_t {
        Unknown,
        Png,
        Jpeg,
        Dib,           // \dibitmap
        DeviceBitmap,  // \wbitmap
        Wmf,           // \wmetafile
        Emf,           // \emfblip
        MacPict,       // \macpict
    } kind = Kind::Unknown;
    int kindParam = 0;  // the number after the kind's word: a metafile's mapping mode
    int width = 0;      // \picw: pixels, or for metafiles hundredths of a millimetre
    int height = 0;
    int goalWidth = 0;  // twips
    int goalHeight = 0;
    int scaleX = 100;
    int scaleY = 100;
    int bitsPerPixel = 1;  // of a \wbitmap
    int planes = 1;
    int widthBytes = 0;
    QByteArray data;
    int highNibble = -1;
};

// A control word as its handler sees it.
struct Word {
    Kw kw;
    bool opensDestination;
    bool on;    // a toggle's state: no number, or a number other than 0
    int arg;    // the keyword table's argument
    int param;  // the number written after the word; 0 when none
};

inline int clampTwips(int value) {
    return std::clamp(value, -kMaxTwips, kMaxTwips);
}

// Reads one RTF document. Each member function is defined in the file its section names.
class Interpreter {
  public:
    Interpreter(std::string_view rtf, DocumentBuilder* builder) : rtf_(rtf), builder_(builder) {
        groups_.emplace_back();
    }

    void run();
    QString takeHtml() { return std::move(html_); }

  private:
    // What decodes the bytes of the text.
    struct Encoding {
        uint32_t codePage;
        SymbolFont symbol;
    };

    // rtf_interpreter.cpp: groups, the routing of control words and text, the end.
    Group& state() { return groups_.back(); }
    size_t depth() const { return groups_.size() + overflow_; }
    bool html() const { return builder_ == nullptr; }
    void pushGroup();
    bool popGroup();
    void controlWord(std::string_view name, bool hasParam, int param);
    bool readByDestination(Group& g, const Word& word);
    void controlSymbol(char symbol);
    void text(std::string_view bytes);
    void hexByte(uint8_t byte);
    void binary(std::string_view bytes);
    void emitText(QStringView text);
    void emitChar(char16_t c) { emitText(QStringView(&c, 1)); }
    void appendRun(QStringView text);
    void flushRun();
    void finishDocument();

    // rtf_destinations.cpp: destinations skipped or read through, the font and colour tables.
    void destinationWord(Group& g, const Word& word);
    void fontTableWord(const Word& word);
    void fontTableText(std::string_view bytes);
    void finishFontName();
    void colorTableWord(const Word& word);
    void colorTableText(std::string_view bytes);
    // Inline, as every run and every piece of text looks them up.
    const Font* fontAt(int index) const {
        const auto it = fonts_.find(index);
        return it == fonts_.end() ? nullptr : &it->second;
    }
    QColor colorAt(int index) const {
        if (index < 0 || index >= static_cast<int>(colors_.size()))
            return {};
        return colors_[index];
    }

    // rtf_text_decoding.cpp: bytes to characters in the code page or symbol font in force.
    void textDecodingWord(Group& g, const Word& word);
    void addBytes(std::string_view bytes);
    void skipByte(uint8_t byte);
    // Inline, as the main loop calls it before nearly every token and mostly nothing waits.
    void flushPending() {
        if (!pending_.empty())
            decodePending();
    }
    void decodePending();
    Encoding encoding();

    // rtf_character_format.cpp
    void characterFormatWord(Group& g, const Word& word);
    QTextCharFormat formatFor(const CharProps& props);

    // rtf_paragraph_format.cpp: paragraph properties, breaks, tabs and tab stops.
    void paragraphFormatWord(Group& g, const Word& word);
    void endParagraph(int tableLevel);
    QTextBlockFormat blockFormatFor(const ParaProps& props, bool inList, bool hasTab) const;
    int tabSetOf(std::vector<TabStop> stops);

    // rtf_tables.cpp
    struct RowDefinition;
    void tableWord(Group& g, const Word& word);
    RowDefinition& rowDefinition(const Group& g);
    BuiltBorder* currentBorder();
    template <typename Change>
    void changeParagraphBorders(Group& g, Change change);
    template <typename Change>
    void changeBorder(Group& g, Change change);
    void endCell(int level);
    void endRow(int level);

    // rtf_lists.cpp: the list and list override tables, \ls paragraphs and the older \pn lists.
    void listWord(Group& g, const Word& word);
    void listTableWord(const Word& word);
    void listOverrideTableWord(const Word& word);
    void legacyListWord(Group& g, const Word& word);
    void endListGroup(const Group& popped, Group& parent);
    bool listFormatFor(const ParaProps& props, BuiltList& list);

    // rtf_fields.cpp
    void fieldWord(Group& g, const Word& word);
    void endField(const Field& field);
    bool symbolField(const std::vector<QString>& words, CharProps& props, QString& text);
    int addLink(const QString& href);

    // rtf_pictures.cpp
    void pictureWord(Group& g, const Word& word);
    void pictureHeaderWord(const Word& word);
    void addPictureHex(std::string_view hex);
    void finishPicture();
    QImage decodePicture(const Picture& picture, int64_t maxPixels) const;
    QString placeholderFor(QSizeF size);

    // rtf_page_background.cpp
    void pageBackgroundWord(Group& g, const Word& word);
    void shapeWord(Group& g, const Word& word);
    void endShapeGroup(Dest dest);
    void shapeInstructionWord(Group& g, const Word& word);
    void startShapePicture(Group& g, const Word& word);
    bool inPageBackground() const;

    // rtf_html_tags.cpp
    void htmlTagWord(Group& g, const Word& word);
    void endHtmlTagGroup();
    void htmlText(QStringView text);

    std::string_view rtf_;
    DocumentBuilder* builder_;  // null when extracting encapsulated HTML
    const KeywordTable& keywords_ = Keywords();
    QString html_;

    std::vector<Group> groups_;
    size_t overflow_ = 0;
    int skip_ = 0;              // \uN fallback characters still to skip
    bool skippedLead_ = false;  // the last byte skipped began a double-byte character
    bool ignorable_ = false;
    bool done_ = false;

    // The paragraph being read: runs of text with their formats.
    QString runText_;
    CharProps runProps_;
    std::vector<BuiltRun> runs_;
    bool formatCached_ = false;
    CharProps cachedProps_;
    QTextCharFormat cachedFormat_;

    // Fonts and colours.
    int defaultFont_ = 0;
    std::unordered_map<int, Font> fonts_;
    int fontEntry_ = -1;
    QString fontName_;
    std::vector<QColor> colors_;
    int red_ = -1, green_ = -1, blue_ = -1;

    // Text decoding.
    uint32_t ansiCodePage_ = 1252;
    CodePageDecoder decoder_;
    std::string pending_;
    Encoding pendingEncoding_{};
    QString decoded_;

    // Tables: the row definition of each level of nesting, the properties of the cell that
    // the next \cellx ends, and the border that \brdr words describe.
    struct RowDefinition {
        BuiltRowFormat format;
        int gap = -1;  // \trgaph: the padding left and right when \trpadd does not give it
        std::array<int, 4> padding{-1, -1, -1, -1};
        std::array<bool, 4> paddingInTwips{};
    };
    enum class BorderOwner : uint8_t { None, Cell, Row, Paragraph };
    std::vector<RowDefinition> rowDefinitions_;  // [level - 1]
    BuiltCellFormat cellFormat_;
    std::array<bool, 4> cellPaddingInTwips_{};
    BorderOwner borderOwner_ = BorderOwner::None;
    uint8_t borderEdge_ = 0;
    int borderLevel_ = 0;
    bool borderThick_ = false;
    std::array<bool, DocumentBuilder::kMaxTableDepth + 1> cellHasParagraph_{};
    std::vector<BuiltParagraphBorders> borderSets_{1};

    // Tab stops: each distinct set once, the first being none; and the kind that the next
    // \tx gives.
    std::vector<std::vector<TabStop>> tabSets_{1};
    std::map<std::vector<TabStop>, int> tabSetIndex_;
    QTextOption::TabType tabType_ = QTextOption::LeftTab;
    // The distance between the stops a tab falls to past the paragraph's own (\deftab).
    int defaultTab_ = kDefaultTabTwips;

    // Lists.
    std::vector<ListDefinition> lists_;
    std::unordered_map<int, int> listOverrides_;  // \ls number to \listid
    int overrideListId_ = 0;
    QString levelText_;
    uint64_t legacyListSerial_ = 0;

    // Fields.
    std::vector<Field> fields_;
    std::vector<QString> links_;
    QHash<QString, int> linkIndex_;

    // Pictures: the images already in the document by name with their size, and the pixels
    // of all of them, which a body may not have more of than kMaxBodyPicturePixels.
    Picture picture_;
    size_t pictureDepth_ = 0;
    QHash<QString, QSize> pictureImages_;
    int64_t picturePixels_ = 0;
    int placeholders_ = 0;

    // The \background shape: the property being read and the fill colour found so far.
    QString shapeName_;
    QString shapeText_;
    QColor fillColor_;
    // Whether the floating shape being read showed its picture, which its \shprslt repeats.
    bool shapeHadPicture_ = false;

    // Encapsulated HTML. An \mhtmltag carries the form of a tag to show; an \htmltag for the
    // same tag right after it is its twin and is dropped.
    QString mhtmlTag_;
    int mhtmlParam_ = -1;
    QString twinOf_;
    bool htmlTagIsMhtml_ = false;
    int htmlTagParam_ = -1;
    qsizetype htmlTagStart_ = -1;
};

}  // namespace parcelo::rtf
