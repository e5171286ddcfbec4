#pragma once

#include <QHashFunctions>
#include <QString>

// What a group carries: where its text goes and the character and paragraph properties in force. Every "{"
// saves a copy and every "}" restores it, which is how RTF scopes formatting.
struct RtfState {
    enum class Destination {
        Text,
        Skip,
        FontTable,
        ColorTable,
        Picture,
        FieldInstruction,
        // Inside \upr only the Unicode alternative (\*\ud) is read; the ANSI one is skipped.
        UnicodePair,
    };

    struct Character {
        int font = -1; // -1: the document's default font
        int halfPoints = 24;
        int color = 0; // 0: automatic
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        QString anchorHref;

        bool operator==(const Character&) const = default;
    };

    struct Paragraph {
        enum class Alignment { Left, Center, Right, Justify };
        Alignment alignment = Alignment::Left;
        // In twips, as written.
        int leftIndent = 0;
        int rightIndent = 0;
        int firstLineIndent = 0;
        int spaceBefore = 0;
        int spaceAfter = 0;

        bool operator==(const Paragraph&) const = default;
    };

    Destination destination = Destination::Text;
    Destination outerDestination = Destination::Text; // what \ud returns to inside \upr
    Character character;
    Paragraph paragraph;
    int unicodeSkip = 1;  // \ucN: fallback characters after each \uN
    int codePage = 0;     // of the current font; 0: the document's
    bool starred = false; // the group began with \*: an unknown destination word skips it
};

inline size_t qHash(const RtfState::Character& character, size_t seed = 0) noexcept
{
    return qHashMulti(seed, character.font, character.halfPoints, character.color, character.bold, character.italic,
                      character.underline, character.strikeOut, character.anchorHref);
}
