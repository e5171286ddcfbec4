#include "NavigationItem.h"

#include "BarButtonItem.h"

#include <QWidget>

NavigationItem::NavigationItem(QObject* parent) : QObject(parent)
{
}

NavigationItem::~NavigationItem()
{
    // The title view belongs to the item even while a bar shows it.
    delete m_titleView;
}

void NavigationItem::setTitle(const QString& title)
{
    if (m_title == title)
        return;
    m_title = title;
    emit changed();
}

void NavigationItem::setTitleView(QWidget* view)
{
    if (m_titleView == view)
        return;
    delete m_titleView;
    m_titleView = view;
    emit changed();
}

void NavigationItem::setLeftBarButtonItems(const QList<BarButtonItem*>& items)
{
    adopt(items);
    m_left = items;
    emit changed();
}

void NavigationItem::setLeftBarButtonItem(BarButtonItem* item)
{
    setLeftBarButtonItems(item ? QList<BarButtonItem*>{item} : QList<BarButtonItem*>{});
}

void NavigationItem::setRightBarButtonItems(const QList<BarButtonItem*>& items)
{
    adopt(items);
    m_right = items;
    emit changed();
}

void NavigationItem::setRightBarButtonItem(BarButtonItem* item)
{
    setRightBarButtonItems(item ? QList<BarButtonItem*>{item} : QList<BarButtonItem*>{});
}

void NavigationItem::setHidesBackButton(bool hides)
{
    if (m_hidesBackButton == hides)
        return;
    m_hidesBackButton = hides;
    emit changed();
}

void NavigationItem::adopt(const QList<BarButtonItem*>& items)
{
    for (BarButtonItem* item : items) {
        if (!item->parent())
            item->setParent(this);
        // An item deleted by its owner leaves the bar instead of dangling in it.
        connect(item, &QObject::destroyed, this, &NavigationItem::forget, Qt::UniqueConnection);
        connect(item, &QAction::changed, this, &NavigationItem::changed, Qt::UniqueConnection);
        connect(item, &BarButtonItem::menuChanged, this, &NavigationItem::changed, Qt::UniqueConnection);
    }
}

void NavigationItem::forget(QObject* item)
{
    // Called from the item's destructor, when it is a BarButtonItem no more: compare addresses only.
    const auto isGone = [item](BarButtonItem* entry) {
        return static_cast<void*>(entry) == item;
    };
    m_left.removeIf(isGone);
    m_right.removeIf(isGone);
    emit changed();
}
