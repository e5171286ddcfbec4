#pragma once

#include <QFont>
#include <QString>

// Font operations shared by card import, the rich-text view and the readers of stored text: the default body
// font, and a font's traits carried over to another face at a scaled size.
class Fonts {
public:
    // The body font of every stored card; fontconfig resolves it where the desktop has no font of that name.
    static inline const QString DefaultFontName = QStringLiteral("Helvetica");

    static QFont getDefaultFontWithSize(qreal size);
    // The face of fromFont with the bold and italic of targetFont at targetFont's size divided (deScale) or
    // multiplied by factor. A factor that is not a positive number is taken as 1, so no size becomes
    // infinite or negative.
    static QFont getAdjustedFontWithTargetFont(const QFont& targetFont, const QFont& fromFont, qreal factor,
                                               bool deScale);
    // The face of fromFont with the bold and italic of targetFont at size.
    static QFont getFontWithSizeWithTargetFont(const QFont& targetFont, const QFont& fromFont, qreal size);

    // The point size of the font; a font set up in pixels reads as its size at 72 dpi, one pixel a point.
    static qreal pointSize(const QFont& font);
};
