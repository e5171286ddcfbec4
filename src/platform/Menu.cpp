#include "Menu.h"

Menu::Menu(QString title, QString identifier, QList<Element> children, bool displayInline)
    : m_title(std::move(title)), m_identifier(std::move(identifier)), m_children(std::move(children)),
      m_displayInline(displayInline)
{
}

std::shared_ptr<Menu> Menu::make(QString title, QString identifier, QList<Element> children, bool displayInline)
{
    return std::make_shared<Menu>(std::move(title), std::move(identifier), std::move(children), displayInline);
}
