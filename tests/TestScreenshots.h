#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <QString>
#include <QWidget>

// Renders a screen in the light and the dark scheme into /tmp/<name>-light.png and /tmp/<name>-dark.png, for a
// person to look at; the screenshot makers that call it are left out of ctest and run by hand.
inline void grabInBothAppearances(QWidget* window, const QString& name)
{
    // Bar buttons made after the sheet was shown appear once the event loop has laid them out.
    QApplication::processEvents();
    window->grab().save(QStringLiteral("/tmp/%1-light.png").arg(name));
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x20));
    dark.setColor(QPalette::Base, QColor(0x16, 0x16, 0x18));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Button, QColor(0x2a, 0x2a, 0x2e));
    QApplication::setPalette(dark);
    QApplication::processEvents();
    window->grab().save(QStringLiteral("/tmp/%1-dark.png").arg(name));
    QApplication::setPalette(light);
}
