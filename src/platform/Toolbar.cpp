#include "Toolbar.h"

#include "ToolbarDelegateInterface.h"
#include "ToolbarItem.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QPixmap>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

namespace {

constexpr int IconSize = 20;

QWidget* makeHolder(QWidget* view)
{
    auto* holder = new QWidget;
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    if (view) {
        layout->addWidget(view);
        // A kept item's view was hidden when it was last removed; it must come back visible.
        view->show();
    } else
        holder->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return holder;
}

// An empty bar keeps the height of one with buttons, so the window does not jump as screens add items.
int buttonRowHeight(QToolBar* bar)
{
    QToolButton probe;
    probe.setIconSize(bar->iconSize());
    probe.setToolButtonStyle(Qt::ToolButtonIconOnly);
    probe.setIcon(QIcon(QPixmap(bar->iconSize())));
    const int margins = bar->style()->pixelMetric(QStyle::PM_ToolBarItemMargin, nullptr, bar) +
                        bar->style()->pixelMetric(QStyle::PM_ToolBarFrameWidth, nullptr, bar);
    return probe.sizeHint().height() + 2 * margins;
}

} // namespace

Toolbar::Toolbar(QString identifier, QObject* parent)
    : QObject(parent), m_identifier(std::move(identifier)), m_bar(new QToolBar)
{
    m_bar->setObjectName(m_identifier);
    m_bar->setMovable(false);
    m_bar->setFloatable(false);
    m_bar->setIconSize(QSize(IconSize, IconSize));
    // The bar belongs to the window: the writer can neither hide nor drag it away.
    m_bar->toggleViewAction()->setEnabled(false);
    m_bar->setContextMenuPolicy(Qt::PreventContextMenu);
    applyDisplayMode();
}

Toolbar::~Toolbar()
{
    while (!m_entries.isEmpty())
        removeItemAtIndex(int(m_entries.size()) - 1);
    delete m_bar;
}

void Toolbar::setDelegate(ToolbarDelegateInterface* delegate)
{
    m_delegate = delegate;
}

void Toolbar::setDisplayMode(DisplayMode mode)
{
    m_displayMode = mode;
    applyDisplayMode();
}

void Toolbar::applyDisplayMode()
{
    switch (m_displayMode) {
    case DisplayMode::IconOnly:
        m_bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        break;
    case DisplayMode::IconAndLabel:
        m_bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        break;
    case DisplayMode::LabelOnly:
        m_bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
        break;
    case DisplayMode::Default:
        m_bar->setToolButtonStyle(Qt::ToolButtonFollowStyle);
        break;
    }
}

void Toolbar::attach(QMainWindow* window)
{
    if (!window || !m_bar)
        return;
    window->addToolBar(Qt::TopToolBarArea, m_bar);
    // After adding: the window's layout sets the bar's limits as it takes it in.
    m_bar->setMinimumHeight(buttonRowHeight(m_bar));
}

ToolbarItem* Toolbar::makeItem(const QString& identifier)
{
    if (identifier == FlexibleSpaceItemIdentifier)
        return new ToolbarItem(identifier);
    return m_delegate ? m_delegate->itemForItemIdentifier(this, identifier, true) : nullptr;
}

void Toolbar::insertItemWithItemIdentifier(const QString& identifier, int index)
{
    if (!m_bar)
        return;
    ToolbarItem* item = makeItem(identifier);
    if (!item)
        return;
    const bool owned = item->parent() == nullptr;
    if (owned)
        item->setParent(this);
    index = std::clamp(index, 0, int(m_entries.size()));
    QAction* before = index < m_entries.size() ? m_entries[index].action : nullptr;
    QWidget* holder = nullptr;
    QAction* action = addToBar(item, before, &holder);
    m_entries.insert(index, Entry{item, action, holder, owned});
}

QAction* Toolbar::addToBar(ToolbarItem* item, QAction* before, QWidget** holder)
{
    const bool flexible = item->itemIdentifier() == FlexibleSpaceItemIdentifier;
    if (flexible || item->view()) {
        *holder = makeHolder(flexible ? nullptr : item->view());
        return m_bar->insertWidget(before, *holder);
    }
    auto* action = new QAction(item->image(), item->label(), m_bar);
    action->setObjectName(item->itemIdentifier());
    action->setToolTip(item->toolTip());
    QPointer<ToolbarItem> sender(item);
    QPointer<QToolBar> bar(m_bar);
    connect(action, &QAction::triggered, item, [sender, bar] {
        if (sender)
            sender->sendAction(bar ? bar->window() : nullptr);
    });
    m_bar->insertAction(before, action);
    return action;
}

void Toolbar::removeItemsWithIdentifiers(const QStringList& identifiers)
{
    for (const QString& identifier : identifiers)
        removeItemAtIndex(indexOfItemWithIdentifier(identifier));
}

void Toolbar::removeItemAtIndex(int index)
{
    if (index < 0 || index >= m_entries.size())
        return;
    Entry entry = m_entries.takeAt(index);
    // A view the item keeps must leave the bar before its holder goes.
    if (QWidget* view = entry.item->view(); view && entry.holder) {
        view->hide();
        view->setParent(nullptr);
    }
    if (m_bar)
        m_bar->removeAction(entry.action);
    delete entry.action;
    if (entry.owned)
        delete entry.item;
}

QList<ToolbarItem*> Toolbar::items() const
{
    QList<ToolbarItem*> items;
    for (const Entry& entry : m_entries)
        items.append(entry.item);
    return items;
}

QStringList Toolbar::itemIdentifiers() const
{
    QStringList identifiers;
    for (const Entry& entry : m_entries)
        identifiers.append(entry.item->itemIdentifier());
    return identifiers;
}

int Toolbar::indexOfItemWithIdentifier(const QString& identifier) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].item->itemIdentifier() == identifier)
            return i;
    }
    return -1;
}
