#pragma once

#include "Menu.h"

#include <QList>
#include <QString>
#include <memory>

class MenuBarStandIn;
class QMenu;
class QMenuBar;
class QWidget;

// Edits a menu system by identifier (find, insert, remove, replace), then shows it in a menu bar.
// Operations on an identifier the system lacks change nothing.
class MenuBuilder {
public:
    explicit MenuBuilder(QList<std::shared_ptr<Menu>> menus);

    // The top-level menus, left to right.
    QList<std::shared_ptr<Menu>> menus() const;
    std::shared_ptr<Menu> menuForIdentifier(const QString& identifier) const;

    void removeMenuForIdentifier(const QString& identifier);
    void replaceMenuForIdentifier(const QString& identifier, std::shared_ptr<Menu> menu);
    void insertSiblingMenuAfterMenuForIdentifier(std::shared_ptr<Menu> menu, const QString& sibling);
    void insertSiblingMenuBeforeMenuForIdentifier(std::shared_ptr<Menu> menu, const QString& sibling);
    void insertChildMenuAtEndOfMenuForIdentifier(std::shared_ptr<Menu> menu, const QString& parent);

    // Fills bar with the menus, replacing what it showed. Commands without a handler send their
    // action along window's responder chain; application-wide ones stay within reach under dialogs.
    void apply(QMenuBar* bar, QWidget* window) const;

private:
    struct Place {
        QList<Menu::Element>* list = nullptr;
        qsizetype index = -1;
    };

    Place find(const QString& identifier);
    void fill(QMenu* qmenu, const Menu& menu, QWidget* window, MenuBarStandIn* standIn) const;

    QList<Menu::Element> m_root;
};
