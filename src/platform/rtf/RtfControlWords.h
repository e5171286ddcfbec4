#pragma once

#include <QByteArrayView>

// The control words the reader acts on. Anything else is ignored, which is what RTF asks of a reader.
enum class RtfWord {
    Unknown,
    // document and code pages
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    // destinations
    FontTable,
    ColorTable,
    SkippedDestination,
    Picture,
    ShapePicture,
    Field,
    FieldInstruction,
    FieldResult,
    NeXTGraphic,
    UnicodePair,
    UnicodeAlternative,
    // font table and colour table entries
    Font,
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
    // character formatting
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    StrikeOut,
    Foreground,
    Plain,
    // paragraph formatting
    ParagraphDefault,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstLineIndent,
    SpaceBefore,
    SpaceAfter,
    // text
    Paragraph,
    Character,
    Unicode,
    UnicodeSkip,
    // pictures
    PngBlip,
    JpegBlip,
    OtherBlip,
    GoalWidth,
    GoalHeight,
    ScaleX,
    ScaleY,
};

struct RtfControlWord {
    RtfWord word = RtfWord::Unknown;
    // For RtfWord::Character: the character the word stands for.
    char16_t character = 0;
};

namespace RtfControlWords {

RtfControlWord lookup(QByteArrayView name);

} // namespace RtfControlWords
