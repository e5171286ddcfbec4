#pragma once

#include "MenuCommand.h"

#include <QList>
#include <QString>
#include <memory>
#include <variant>

// A menu of commands and further menus. An inline menu shows its children in its parent's place,
// set apart by separators, instead of as a submenu.
class Menu {
public:
    using Element = std::variant<std::shared_ptr<Menu>, MenuCommand>;

    explicit Menu(QString title, QString identifier = {}, QList<Element> children = {}, bool displayInline = false);

    static std::shared_ptr<Menu> make(QString title, QString identifier = {}, QList<Element> children = {},
                                      bool displayInline = false);

    QString title() const { return m_title; }
    QString identifier() const { return m_identifier; }
    bool displaysInline() const { return m_displayInline; }
    const QList<Element>& children() const { return m_children; }
    QList<Element>& children() { return m_children; }

private:
    QString m_title;
    QString m_identifier;
    QList<Element> m_children;
    bool m_displayInline;
};
