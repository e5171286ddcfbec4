#pragma once

#include <QColor>
#include <QImage>
#include <QLineEdit>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <cstdlib>

// How far two colours are apart: the sum of their channels' differences.
inline int colourDistance(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

// The colour of a button's picture that stands out most from its ground (its top-left pixel): the ink of its
// text or glyph.
inline QColor strongestInk(const QImage& picture)
{
    const QColor ground = picture.pixelColor(0, 0);
    QColor strongest = ground;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (colourDistance(picture.pixelColor(x, y), ground) > colourDistance(strongest, ground))
                strongest = picture.pixelColor(x, y);
    return strongest;
}

// A colour's relative luminance, as the web's contrast rules count it.
inline double luminance(const QColor& colour)
{
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

// How well ink stands out on ground: 1 for the same colour, 21 for black on white.
inline double contrastRatio(const QColor& ink, const QColor& ground)
{
    const double a = luminance(ink);
    const double b = luminance(ground);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// ink, perhaps partly transparent, as it shows over an opaque ground.
inline QColor overGround(const QColor& ink, const QColor& ground)
{
    const double share = ink.alphaF();
    const auto mix = [share](double over, double under) {
        return over * share + under * (1 - share);
    };
    return QColor::fromRgbF(float(mix(ink.redF(), ground.redF())), float(mix(ink.greenF(), ground.greenF())),
                            float(mix(ink.blueF(), ground.blueF())));
}

// How far an empty field's placeholder stands from the field's base, as its palette has it, in its active look.
inline double placeholderContrast(const QLineEdit* field)
{
    const QColor base = field->palette().color(QPalette::Active, QPalette::Base);
    return contrastRatio(overGround(field->palette().color(QPalette::Active, QPalette::PlaceholderText), base), base);
}

// The same as the field draws it: its strongest ink inside its frame against the base there.
inline double drawnPlaceholderContrast(QLineEdit* field)
{
    const QImage shown = field->grab().toImage();
    const int inset = int(4 * field->devicePixelRatioF());
    const QImage inside = shown.copy(shown.rect().adjusted(inset, inset, -inset, -inset));
    return contrastRatio(strongestInk(inside), inside.pixelColor(0, 0));
}
