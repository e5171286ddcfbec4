#pragma once

#include <QPointer>
#include <QString>

class BarButtonItem;
class QWidget;
class ViewController;

// What the statistics, achievement and settings sheets share around their content: the accent-coloured bar with
// an "xmark" close button while the sheet is a form sheet, and a background in the light or the dark colour.
class SheetChrome {
public:
    static inline const QString CloseSymbol = QStringLiteral("xmark");

    // Styles the bar of the navigation controller holding screen and, when that is presented as a form sheet,
    // gives screen one close button that dismisses it. Call when the screen is about to appear.
    static void styleBar(ViewController* screen, QPointer<BarButtonItem>& closeButton);
    // Fills widgets with the light or the dark hex colour, whichever the application's scheme asks for.
    static void paintBackground(std::initializer_list<QWidget*> widgets, const QString& lightHex,
                                const QString& darkHex);
};
