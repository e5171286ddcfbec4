#pragma once

#include <QColor>
#include <QString>
#include <optional>

// Colours written as hexadecimal text: RGB, ARGB, RRGGBB or AARRGGBB, with or without "#".
class HexColor {
public:
    // The application's accent colour.
    static inline const QString AccentColorHex = QStringLiteral("60C1C3");

    // The colour of the text; throws InvalidColorValue for any other length or a non-hexadecimal digit.
    static QColor colorWithHexString(const QString& hexString);
    // As colorWithHexString, answering nullopt instead of throwing.
    static std::optional<QColor> colorFromHexString(const QString& hexString);
    // One component between 0 and 1 from length digits at start; a single digit counts twice ("F" is "FF").
    // Digits that are not hexadecimal give 0.
    static double colorComponentFrom(const QString& string, int start, int length);

    static QColor accentColor() { return colorWithHexString(AccentColorHex); }
};
