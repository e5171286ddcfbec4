#include "DestructiveMenu.h"

#include "BoardMenus.h"

#include <QAction>
#include <QStyleOptionMenuItem>

DestructiveMenu::DestructiveMenu(QWidget* parent) : QMenu(parent)
{
}

void DestructiveMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const
{
    QMenu::initStyleOption(option, action);
    if (!action || !action->property(BoardMenus::DestructiveProperty).toBool() ||
        (option->state & QStyle::State_Selected))
        return;
    // Styles take a row's label from one of these roles.
    for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        option->palette.setColor(role, BoardMenus::DestructiveColor);
}
