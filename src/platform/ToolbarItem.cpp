#include "ToolbarItem.h"

#include "ResponderChain.h"

ToolbarItem::ToolbarItem(QString itemIdentifier, QObject* parent)
    : QObject(parent), m_itemIdentifier(std::move(itemIdentifier))
{
    setObjectName(m_itemIdentifier);
}

ToolbarItem::~ToolbarItem() = default;

bool ToolbarItem::sendAction(QWidget* window)
{
    if (m_action.isEmpty())
        return false;
    if (m_target)
        return ResponderChain::invoke(m_target, m_action, this);
    return ResponderChain::send(m_action, this, window);
}
