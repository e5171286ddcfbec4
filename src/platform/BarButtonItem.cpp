#include "BarButtonItem.h"

#include <QMenu>
#include <QWidget>

BarButtonItem::BarButtonItem(const QString& title, QObject* parent) : QAction(title, parent)
{
}

BarButtonItem::BarButtonItem(const QIcon& icon, QObject* parent) : QAction(icon, QString(), parent)
{
}

BarButtonItem::BarButtonItem(QWidget* customView, QObject* parent) : QAction(parent), m_customView(customView)
{
}

BarButtonItem::~BarButtonItem()
{
    // The custom view is the item's, even while a bar shows it.
    delete m_customView;
}

void BarButtonItem::setItemMenu(QMenu* menu)
{
    if (m_menu == menu)
        return;
    m_menu = menu;
    emit menuChanged();
}
