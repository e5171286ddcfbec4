#include "NavigationHelpers.h"

#include "HexColor.h"
#include "platform/ColorScheme.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationItem.h"

#include <QPalette>

void NavigationHelpers::setupCustomNavbar(NavigationBar* navigationBar)
{
    setupCustomNavbar(navigationBar, Qt::white, HexColor::accentColor());
}

void NavigationHelpers::setupCustomNavbar(NavigationBar* navigationBar, const QColor& foreground,
                                          const QColor& background)
{
    if (!navigationBar)
        return;
    // The palette reaches the title label and the bar's tool buttons, which are its children; the bar paints
    // its own background so that it is opaque whatever the parent shows.
    paintArea(navigationBar, foreground, background);
}

void NavigationHelpers::paintArea(QWidget* area, const QColor& foreground, const QColor& background)
{
    QPalette palette = area->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Button, background);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        ColorScheme::setTint(palette, role, foreground);
    area->setPalette(palette);
    area->setAutoFillBackground(true);
}
