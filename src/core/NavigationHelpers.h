#pragma once

#include <QColor>

class NavigationBar;
class QWidget;

// Gives navigation bars the application's look.
class NavigationHelpers {
public:
    // White titles and buttons on the accent colour.
    static void setupCustomNavbar(NavigationBar* navigationBar);
    // An opaque bar in background with its title and buttons in foreground; nothing without a bar.
    static void setupCustomNavbar(NavigationBar* navigationBar, const QColor& foreground, const QColor& background);
    // An opaque area in background whose text, labels and buttons, its children's too, are in foreground; disabled
    // ones keep the platform's disabled colour.
    static void paintArea(QWidget* area, const QColor& foreground, const QColor& background);
};
