#pragma once

#include "platform/FormSheetDialog.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QString>
#include <QWidget>
#include <algorithm>

// How many sheets lie under sheet, so sheets are drawn bottom first.
inline int sheetDepth(const FormSheetDialog* sheet)
{
    int depth = 0;
    for (QWidget* below = sheet->parentWidget(); below; below = below->parentWidget())
        depth += qobject_cast<FormSheetDialog*>(below->window()) ? 1 : 0;
    return depth;
}

// What a writer sees of window: a sheet is a window of its own, so the window a sheet sits in is drawn with its
// backdrop and every sheet over it at the place where it sits.
inline QImage grabAsSeen(QWidget* window)
{
    QWidget* anchor = window;
    if (auto* sheet = qobject_cast<FormSheetDialog*>(window->window()); sheet && sheet->anchorWindow())
        anchor = sheet->anchorWindow();
    QImage image = anchor->grab().toImage();
    QList<FormSheetDialog*> sheets;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* sheet = qobject_cast<FormSheetDialog*>(top);
        if (sheet && sheet->isVisible() && sheet->anchorWindow() == anchor)
            sheets.append(sheet);
    }
    std::sort(sheets.begin(), sheets.end(),
              [](const FormSheetDialog* a, const FormSheetDialog* b) { return sheetDepth(a) < sheetDepth(b); });
    QPainter painter(&image);
    const QPoint origin = anchor->mapToGlobal(QPoint(0, 0));
    for (FormSheetDialog* sheet : sheets)
        painter.drawPixmap(sheet->geometry().topLeft() - origin, sheet->grab());
    return image;
}

// What a dark desktop gives the application in place of light: light text on dark grounds, and a dim grey for
// whatever is disabled.
inline QPalette darkPalette(const QPalette& light)
{
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x20));
    dark.setColor(QPalette::Base, QColor(0x16, 0x16, 0x18));
    dark.setColor(QPalette::Button, QColor(0x2a, 0x2a, 0x2e));
    for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
        dark.setColor(role, Qt::white);
        dark.setColor(QPalette::Disabled, role, QColor(0x82, 0x82, 0x82));
    }
    return dark;
}

// Renders a screen in the light and the dark scheme into /tmp/<name>-light.png and /tmp/<name>-dark.png, for a
// person to look at; the screenshot makers that call it are left out of ctest and run by hand.
inline void grabInBothAppearances(QWidget* window, const QString& name)
{
    // Bar buttons made after the sheet was shown appear once the event loop has laid them out.
    QApplication::processEvents();
    grabAsSeen(window).save(QStringLiteral("/tmp/%1-light.png").arg(name));
    const QPalette light = QApplication::palette();
    QApplication::setPalette(darkPalette(light));
    QApplication::processEvents();
    grabAsSeen(window).save(QStringLiteral("/tmp/%1-dark.png").arg(name));
    QApplication::setPalette(light);
}
