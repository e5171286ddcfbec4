#pragma once

#include "DialogMenuItem.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

class CardProps;
class ProjectItem;
class ViewController;

// The table of card tags with their titles and symbols, which tags a card type is offered, and the menu
// the writer picks one from.
class TagMenuController {
public:
    using TagSelected = std::function<void(const QString& tagId)>;
    using Completion = std::function<void()>;

    // Chosen to remove a card's tag; never stored.
    static inline const QString ClearTag = QStringLiteral("$clear");

    // All seventeen ids in table order.
    static const QStringList& tagIds();
    // The symbol name of a tag; null for an id not in the table.
    static QString getTag(const QString& tagId);
    // The title of a tag; null for an id not in the table.
    static QString getTitle(const QString& tagId);
    // The ids the menu offers for an item type, in order; without a table, every tag but None up to 5th Draft.
    static QStringList offeredTags(qint64 itemType, const CardProps* props);
    // The menu rows for an item type; each row hands its own id to tagSelected.
    static QList<DialogMenuItem> menuItems(qint64 itemType, const CardProps* props, const TagSelected& tagSelected);
    // Writes a chosen tag into a card: ClearTag removes the tag instead of storing it.
    static void applyTag(ProjectItem* item, const QString& tagId);

    TagSelected tagSelected() const { return m_tagSelected; }
    void setTagSelected(TagSelected tagSelected) { m_tagSelected = std::move(tagSelected); }

    // Shows the tag menu as a form sheet from fromViewController; completion runs on every close, before
    // tagSelected on a pick.
    void showMenu(qint64 itemType, const QString& title, const CardProps* props, ViewController* fromViewController,
                  TagSelected tagSelected, Completion completion = {});

private:
    TagSelected m_tagSelected;
};
