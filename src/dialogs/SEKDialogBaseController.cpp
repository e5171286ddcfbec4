#include "SEKDialogBaseController.h"

#include "core/HexColor.h"
#include "dialogs/DialogBaseController.h"
#include "platform/ColorScheme.h"

SEKDialogBaseController::SEKDialogBaseController(QWidget* parent)
    : ViewController(parent), m_dialogHeaderColor(DialogBaseController::DialogHeaderColor),
      m_lightDialogBackgroundColor(DialogBaseController::LightDialogBackgroundColor),
      m_lightDialogSeparatorColor(DialogBaseController::LightDialogSeparatorColor),
      m_darkDialogBackgroundColor(DialogBaseController::DarkDialogBackgroundColor),
      m_darkDialogSeparatorColor(DialogBaseController::DarkDialogSeparatorColor)
{
    connect(ColorScheme::instance(), &ColorScheme::changed, this, [this] { traitCollectionDidChange(); });
}

QColor SEKDialogBaseController::backgroundColor() const
{
    return HexColor::colorWithHexString(ColorScheme::isDark() ? m_darkDialogBackgroundColor
                                                              : m_lightDialogBackgroundColor);
}

QColor SEKDialogBaseController::separatorColor() const
{
    return HexColor::colorWithHexString(ColorScheme::isDark() ? m_darkDialogSeparatorColor
                                                              : m_lightDialogSeparatorColor);
}

void SEKDialogBaseController::traitCollectionDidChange()
{
    if (!isViewLoaded())
        return;
    if (m_hasAppliedStyle && m_appliedDark == ColorScheme::isDark())
        return;
    applyColors();
    colorsApplied();
}

void SEKDialogBaseController::colorsApplied()
{
    m_hasAppliedStyle = true;
    m_appliedDark = ColorScheme::isDark();
}
