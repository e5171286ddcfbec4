#include "BoardAppearance.h"

#include "core/Helpers.h"
#include "core/HexColor.h"
#include "core/NavigationHelpers.h"
#include "platform/ColorScheme.h"
#include "platform/NavigationController.h"

#include <QPalette>

namespace {

void paint(QWidget* widget, const QColor& background, const QColor& tint)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Button, background);
    palette.setColor(QPalette::ButtonText, tint);
    palette.setColor(QPalette::WindowText, tint);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

QColor BoardAppearance::backgroundColor(bool dark)
{
    return HexColor::colorWithHexString(dark ? BackgroundDarkHex : BackgroundHex);
}

QColor BoardAppearance::tintColor(bool dark)
{
    return dark ? Qt::white : Qt::black;
}

void BoardAppearance::apply(ViewController* board, QWidget* toolbarView, const QString& title)
{
    if (!board)
        return;
    const bool dark = ColorScheme::isDark();
    const QColor background = backgroundColor(dark);
    const QColor tint = tintColor(dark);
    if (NavigationController* navigation = board->navigationController())
        NavigationHelpers::setupCustomNavbar(navigation->navigationBar(), tint, background);
    if (toolbarView)
        paint(toolbarView, background, tint);
    // Cut as on every change of folder, so a filter change never puts the whole long title back.
    if (!title.isEmpty())
        board->window()->setWindowTitle(Helpers::getTrimmedTitle(title));
    paint(board, background, tint);
}
