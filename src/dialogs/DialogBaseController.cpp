#include "DialogBaseController.h"

#include "core/HexColor.h"
#include "core/NavigationHelpers.h"
#include "platform/ColorScheme.h"
#include "platform/NavigationController.h"

#include <QPalette>

DialogBaseController::DialogBaseController(QWidget* parent) : ViewController(parent)
{
    connect(ColorScheme::instance(), &ColorScheme::changed, this, [this] { traitCollectionDidChange(); });
}

bool DialogBaseController::isDarkStyle()
{
    return ColorScheme::isDark();
}

QColor DialogBaseController::backgroundColor() const
{
    return HexColor::colorWithHexString(isDarkStyle() ? m_darkDialogBackgroundColor : m_lightDialogBackgroundColor);
}

QColor DialogBaseController::separatorColor() const
{
    return HexColor::colorWithHexString(isDarkStyle() ? m_darkDialogSeparatorColor : m_lightDialogSeparatorColor);
}

void DialogBaseController::traitCollectionDidChange()
{
    if (!isViewLoaded())
        return;
    if (m_hasAppliedStyle && m_appliedDark == isDarkStyle())
        return;
    applyColors();
    colorsApplied();
}

void DialogBaseController::colorsApplied()
{
    m_hasAppliedStyle = true;
    m_appliedDark = isDarkStyle();
}

void DialogBaseController::paintBackground(QWidget* widget, const QColor& color)
{
    if (!widget)
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::Base, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void DialogBaseController::styleNavigationBar()
{
    if (NavigationController* navigation = navigationController())
        NavigationHelpers::setupCustomNavbar(navigation->navigationBar(), Qt::white,
                                             HexColor::colorWithHexString(HexColor::AccentColorHex));
}
