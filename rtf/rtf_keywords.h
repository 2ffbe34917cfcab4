// The control words the interpreter reads, and what each one means.
#pragma once

#include <cstdint>
#include <string_view>

namespace parcelo::rtf {

enum class Kw : uint8_t {
    // destinations
    FontTable,
    ColorTable,
    ListTable,
    ListOverrideTable,
    ListLevelText,
    Pict,
    Field,
    FieldInst,
    FieldResult,
    LegacyList,
    HtmlTag,
    MhtmlTag,
    SkipDest,
    TextDest,
    PageBackground,
    ShapeInstructions,
    // characters and breaks
    Par,
    Line,
    Tab,
    Cell,
    Row,
    NestCell,
    NestRow,
    Char,
    Unicode,
    UnicodeSkip,
    // document
    CodePage,
    AnsiCodePage,
    DefaultFont,
    HtmlRtf,
    // character formatting
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
    // paragraph formatting
    Pard,
    Alignment,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    InTable,
    TableLevel,
    ListOverride,
    ListLevel,
    LegacyBullet,
    LegacyBody,
    LegacyStyle,
    ParagraphShading,
    // tables
    RowDefaults,
    CellEdge,
    CellShading,
    // font, colour and list tables
    FontCharset,
    FontFamily,
    Red,
    Green,
    Blue,
    List,
    ListLevelStart,
    LevelNfc,
    ListId,
    // pictures
    PictKind,
    PictGoalWidth,
    PictGoalHeight,
    PictScaleX,
    PictScaleY,
    // shape properties
    ShapeProperty,
    ShapePropertyName,
    ShapePropertyValue,
};

struct Keyword {
    Kw kw;
    int arg = 0;
};

// The table's entry for the control word `name`, or null for a word the interpreter ignores.
const Keyword* FindKeyword(std::string_view name);

// Whether the word starts a destination: the rest of its group is read as that.
bool OpensDestination(Kw kw);

}  // namespace parcelo::rtf
