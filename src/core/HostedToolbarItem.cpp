#include "HostedToolbarItem.h"

HostedToolbarItem::HostedToolbarItem(QString itemIdentifier, QWidget* view, QObject* parent)
    : ToolbarItem(std::move(itemIdentifier), parent), m_view(view)
{
}

QWidget* HostedToolbarItem::view() const
{
    // The toolbar hides a view as it takes it out. Between insertions the view has no parent; forgetting
    // that hide lets the next toolbar's layout show it again, as it does with a view it sees first.
    if (m_view && !m_view->parent())
        m_view->setAttribute(Qt::WA_WState_ExplicitShowHide, false);
    return m_view;
}
