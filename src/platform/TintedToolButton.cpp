#include "TintedToolButton.h"

#include "TintedIconEngine.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>

void TintedToolButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    // Tinted as it is drawn, so a new icon from the button's action or a new palette needs nothing more.
    if (!option.icon.isNull())
        option.icon = QIcon(new TintedIconEngine(option.icon, palette().color(QPalette::Active, QPalette::ButtonText)));
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
}
