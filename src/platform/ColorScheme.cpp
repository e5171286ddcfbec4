#include "ColorScheme.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QPointer>

namespace {

bool paletteIsDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

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
