#include "MenuBuilder.h"

#include "MenuBarStandIn.h"
#include "ResponderChain.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace {

std::shared_ptr<Menu> asMenu(const Menu::Element& element)
{
    const auto* menu = std::get_if<std::shared_ptr<Menu>>(&element);
    return menu ? *menu : nullptr;
}

void addSeparatorUnlessFirst(QMenu* qmenu)
{
    const QList<QAction*> actions = qmenu->actions();
    if (!actions.isEmpty() && !actions.last()->isSeparator())
        qmenu->addSeparator();
}

QAction* addCommand(QMenu* qmenu, const MenuCommand& command, QWidget* window, MenuBarStandIn* standIn)
{
    QAction* action = qmenu->addAction(command.title);
    if (command.applicationWide && standIn)
        standIn->carry(action);
    action->setShortcut(command.shortcut());
    QPointer<QWidget> target(window);
    QObject::connect(action, &QAction::triggered, action, [command, target, action] {
        if (command.handler)
            command.handler();
        else if (!command.action.isEmpty())
            ResponderChain::send(command.action, action, target);
    });
    return action;
}

} // namespace

MenuBuilder::MenuBuilder(QList<std::shared_ptr<Menu>> menus)
{
    for (auto& menu : menus)
        m_root.append(std::move(menu));
}

QList<std::shared_ptr<Menu>> MenuBuilder::menus() const
{
    QList<std::shared_ptr<Menu>> menus;
    for (const Menu::Element& element : m_root) {
        if (auto menu = asMenu(element))
            menus.append(menu);
    }
    return menus;
}

MenuBuilder::Place MenuBuilder::find(const QString& identifier)
{
    if (identifier.isEmpty())
        return {};
    QList<QList<Menu::Element>*> pending{&m_root};
    while (!pending.isEmpty()) {
        QList<Menu::Element>* list = pending.takeFirst();
        for (qsizetype i = 0; i < list->size(); ++i) {
            auto menu = asMenu(list->at(i));
            if (!menu)
                continue;
            if (menu->identifier() == identifier)
                return {list, i};
            pending.append(&menu->children());
        }
    }
    return {};
}

std::shared_ptr<Menu> MenuBuilder::menuForIdentifier(const QString& identifier) const
{
    Place place = const_cast<MenuBuilder*>(this)->find(identifier);
    return place.list ? asMenu(place.list->at(place.index)) : nullptr;
}

void MenuBuilder::removeMenuForIdentifier(const QString& identifier)
{
    if (Place place = find(identifier); place.list)
        place.list->removeAt(place.index);
}

void MenuBuilder::replaceMenuForIdentifier(const QString& identifier, std::shared_ptr<Menu> menu)
{
    if (Place place = find(identifier); place.list && menu)
        (*place.list)[place.index] = std::move(menu);
}

void MenuBuilder::insertSiblingMenuAfterMenuForIdentifier(std::shared_ptr<Menu> menu, const QString& sibling)
{
    if (Place place = find(sibling); place.list && menu)
        place.list->insert(place.index + 1, std::move(menu));
}

void MenuBuilder::insertSiblingMenuBeforeMenuForIdentifier(std::shared_ptr<Menu> menu, const QString& sibling)
{
    if (Place place = find(sibling); place.list && menu)
        place.list->insert(place.index, std::move(menu));
}

void MenuBuilder::insertChildMenuAtEndOfMenuForIdentifier(std::shared_ptr<Menu> menu, const QString& parent)
{
    if (auto parentMenu = menuForIdentifier(parent); parentMenu && menu)
        parentMenu->children().append(std::move(menu));
}

void MenuBuilder::fill(QMenu* qmenu, const Menu& menu, QWidget* window, MenuBarStandIn* standIn) const
{
    for (const Menu::Element& element : menu.children()) {
        if (const auto* command = std::get_if<MenuCommand>(&element)) {
            addCommand(qmenu, *command, window, standIn);
            continue;
        }
        auto child = asMenu(element);
        if (!child)
            continue;
        if (child->displaysInline()) {
            // A group stands apart from its neighbours on both sides.
            addSeparatorUnlessFirst(qmenu);
            fill(qmenu, *child, window, standIn);
            addSeparatorUnlessFirst(qmenu);
        } else {
            QMenu* submenu = qmenu->addMenu(child->title());
            submenu->setObjectName(child->identifier());
            fill(submenu, *child, window, standIn);
        }
    }
    // No menu ends on a separator.
    if (!qmenu->actions().isEmpty() && qmenu->actions().last()->isSeparator())
        qmenu->removeAction(qmenu->actions().last());
}

void MenuBuilder::apply(QMenuBar* bar, QWidget* window) const
{
    if (!bar)
        return;
    for (QMenu* old : bar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        old->deleteLater();
    bar->clear();
    MenuBarStandIn* standIn = MenuBarStandIn::of(bar);
    for (const auto& menu : menus()) {
        QMenu* qmenu = bar->addMenu(menu->title());
        qmenu->setObjectName(menu->identifier());
        fill(qmenu, *menu, window, standIn);
    }
}
