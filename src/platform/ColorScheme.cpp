#include "ColorScheme.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QPointer>
#include <algorithm>
#include <cmath>

namespace {

bool paletteIsDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour)
{
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

QColor mixed(const QColor& from, const QColor& to, double share)
{
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * share),
                            float(from.greenF() + (to.greenF() - from.greenF()) * share),
                            float(from.blueF() + (to.blueF() - from.blueF()) * share));
}

// Fine enough that the colour found is within a hair of the ratio asked for.
constexpr int ContrastSteps = 256;

} // namespace

ColorScheme::ColorScheme() : QObject(qApp), m_dark(paletteIsDark(QGuiApplication::palette()))
{
    // Qt 6.4 has no colour-scheme hint; a scheme change reaches the application as a palette change.
    qApp->installEventFilter(this);
}

ColorScheme* ColorScheme::instance()
{
    static QPointer<ColorScheme> scheme;
    if (!scheme)
        scheme = new ColorScheme;
    return scheme;
}

bool ColorScheme::isDark()
{
    return paletteIsDark(QGuiApplication::palette());
}

QColor ColorScheme::dimmed(QColor tint)
{
    tint.setAlphaF(tint.alphaF() * DisabledOpacity);
    return tint;
}

void ColorScheme::setTint(QPalette& palette, QPalette::ColorRole role, const QColor& tint)
{
    palette.setColor(QPalette::Active, role, tint);
    palette.setColor(QPalette::Inactive, role, tint);
    palette.setColor(QPalette::Disabled, role, dimmed(tint));
}

double ColorScheme::contrastRatio(const QColor& ink, const QColor& ground)
{
    const double a = luminance(ink);
    const double b = luminance(ground);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor ColorScheme::over(const QColor& ink, const QColor& ground)
{
    return mixed(ground, ink, ink.alphaF());
}

QColor ColorScheme::inkAtContrast(const QColor& ink, const QColor& ground, double ratio)
{
    const QColor seen = over(ink, ground);
    if (contrastRatio(seen, ground) <= ratio)
        return seen;
    // Walked from the ground outwards: the first colour far enough apart is the faintest that reads.
    for (int step = 1; step < ContrastSteps; ++step) {
        const QColor candidate = mixed(ground, seen, double(step) / ContrastSteps);
        if (contrastRatio(candidate, ground) >= ratio)
            return candidate;
    }
    return seen;
}

bool ColorScheme::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) {
        const bool dark = isDark();
        if (dark != m_dark) {
            m_dark = dark;
            emit changed(dark);
        }
    }
    return QObject::eventFilter(watched, event);
}
