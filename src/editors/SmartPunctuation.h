#pragma once

#include <QChar>
#include <QString>
#include <optional>

// Typographer's quotes and dashes as the writer types: a straight quote becomes an opening or closing curly one
// by what stands before it, and a second hyphen right after a first becomes an em dash.
class SmartPunctuation {
public:
    static constexpr QChar LeftDoubleQuote = QChar(0x201C);
    static constexpr QChar RightDoubleQuote = QChar(0x201D);
    static constexpr QChar LeftSingleQuote = QChar(0x2018);
    static constexpr QChar RightSingleQuote = QChar(0x2019);
    static constexpr QChar EmDash = QChar(0x2014);

    struct Replacement {
        // Characters before the caret that the replacement takes the place of.
        int replacedBefore = 0;
        QString text;
    };

    // What to insert for typed when previous stands before the caret (a null character at the start of the
    // text); nullopt when typed is inserted as it is.
    static std::optional<Replacement> forTyped(const QString& typed, QChar previous);
};
