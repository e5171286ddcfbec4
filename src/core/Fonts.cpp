#include "Fonts.h"

#include <QStringList>
#include <cmath>

QFont Fonts::getDefaultFontWithSize(qreal size)
{
    QFont font(DefaultFontName);
    font.setPointSizeF(size > 0 ? size : QFont().pointSizeF());
    return font;
}

QFont Fonts::getAdjustedFontWithTargetFont(const QFont& targetFont, const QFont& fromFont, qreal factor, bool deScale)
{
    const qreal safeFactor = (std::isfinite(factor) && factor > 0) ? factor : 1.0;
    const qreal size = pointSize(targetFont);
    return getFontWithSizeWithTargetFont(targetFont, fromFont, deScale ? size / safeFactor : size * safeFactor);
}

QFont Fonts::getFontWithSizeWithTargetFont(const QFont& targetFont, const QFont& fromFont, qreal size)
{
    // Only the face is taken from fromFont: its own weight or slant never leaks into the result.
    QFont font(fromFont.families());
    font.setBold(targetFont.bold());
    font.setItalic(targetFont.italic());
    font.setPointSizeF(size > 0 ? size : pointSize(fromFont));
    return font;
}

qreal Fonts::pointSize(const QFont& font)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    return font.pixelSize() > 0 ? qreal(font.pixelSize()) : QFont().pointSizeF();
}
