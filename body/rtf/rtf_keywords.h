// The control words the interpreter reads: what each one means and which part of the
// interpreter reads it. A new word gets a Kw, a row in the table of rtf_keywords.cpp under its
// concern, and a case in that concern's handler; a word that means something only inside a
// table or a picture's header (\fcharset, \listid, \picwgoal) gets its case in that
// destination's reader (fontTableWord, listTableWord, pictureHeaderWord...) instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace parcelo::rtf {

// The part of the interpreter that handles a word, each in a source file of its own.
enum class Concern : uint8_t {
    Destination,      // rtf_destinations.cpp: skipped groups, font and colour tables
    TextDecoding,     // rtf_text_decoding.cpp: code pages, \u, named characters
    CharacterFormat,  // rtf_character_format.cpp
    ParagraphFormat,  // rtf_paragraph_format.cpp: paragraphs, line breaks and tabs
    Table,            // rtf_tables.cpp
    List,             // rtf_lists.cpp: list tables, \ls and the older \pn lists
    Field,            // rtf_fields.cpp
    Picture,          // rtf_pictures.cpp
    PageBackground,   // rtf_page_background.cpp: the \background shape
    HtmlTag,          // rtf_html_tags.cpp: HTML encapsulated in RTF
};

enum class Kw : uint8_t {
    // Concern::Destination
    FontTable,
    ColorTable,
    SkipDest,
    TextDest,
    DefaultFont,
    FontCharset,
    FontCodePage,
    FontFamily,
    Red,
    Green,
    Blue,
    // Concern::TextDecoding
    Char,
    Unicode,
    UnicodeSkip,
    CodePage,
    AnsiCodePage,
    // Concern::CharacterFormat
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Font,
    FontSize,
    Foreground,
    Background,
    Super,
    Sub,
    NoSuperSub,
    Hidden,
    Caps,
    SmallCaps,
    // Concern::ParagraphFormat
    Par,
    Line,
    Tab,
    Pard,
    Alignment,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    ParagraphShading,
    TabKind,
    TabStop,
    BarTab,
    DefaultTab,
    // Concern::Table
    Cell,
    Row,
    NestCell,
    NestRow,
    InTable,
    TableLevel,
    RowDefaults,
    CellEdge,
    CellShading,
    NestTableProps,
    RowLeft,
    RowAlign,
    RowGap,
    RowPadding,
    RowPaddingUnit,
    RowHeight,
    CellPadding,
    CellPaddingUnit,
    RowBorder,
    CellBorder,
    ParagraphBorder,
    BorderSpace,
    OtherBorder,
    BorderStyle,
    BorderWidth,
    BorderColor,
    CellMerge,
    CellVerticalMerge,
    CellVerticalAlign,
    // Concern::List
    ListTable,
    ListOverrideTable,
    ListLevelText,
    LegacyList,
    ListOverride,
    ListLevel,
    List,
    ListLevelStart,
    LevelNfc,
    ListId,
    LegacyBullet,
    LegacyBody,
    LegacyContinue,
    LegacyStyle,
    // Concern::Field
    Field,
    FieldInst,
    FieldResult,
    // Concern::Picture
    Pict,
    PictKind,
    PictWidth,
    PictHeight,
    PictBitsPerPixel,
    PictPlanes,
    PictWidthBytes,
    PictGoalWidth,
    PictGoalHeight,
    PictScaleX,
    PictScaleY,
    // Concern::PageBackground
    PageBackground,
    Shape,
    ShapeResult,
    ShapeInstructions,
    ShapeProperty,
    ShapePropertyName,
    ShapePropertyValue,
    // Concern::HtmlTag
    HtmlTag,
    MhtmlTag,
    HtmlRtf,
};

struct Keyword {
    Kw kw;
    Concern concern;
    // The word starts a destination: the rest of its group is read as that (or skipped).
    bool opensDestination = false;
    int arg = 0;  // what the word stands for: a character, a style, a code page
};

// FNV-1a, inline: the names are a few letters long, and the library's hash costs a call to
// its general function for every control word of a body.
struct KeywordHash {
    size_t operator()(std::string_view name) const {
        uint32_t hash = 2166136261u;
        for (char c : name)
            hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
        return hash;
    }
};

// Every control word the interpreter reads, by name; words not in it are ignored.
using KeywordTable = std::unordered_map<std::string_view, Keyword, KeywordHash>;
const KeywordTable& Keywords();

}  // namespace parcelo::rtf
