#include "CardChangeType.h"

#include "core/CardProps.h"
#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "dialogs/DialogMenu.h"
#include "dialogs/DialogMenuItem.h"
#include "dialogs/SEKDialogMenu.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObjectContext.h"

std::shared_ptr<CardChangeType> CardChangeType::create(ViewController* controller, ManagedObjectContext* context)
{
    return std::shared_ptr<CardChangeType>(new CardChangeType(controller, context));
}

CardChangeType::CardChangeType(ViewController* controller, ManagedObjectContext* context)
    : m_parentController(controller), m_managedObjectContext(context)
{
}

QList<DialogMenuItem> CardChangeType::menuItems(ProjectItem* item, const CardProps& cardProps,
                                                const Completion& completion)
{
    const qint64 currentType = item->itemType();
    auto self = shared_from_this();
    QList<DialogMenuItem> rows;
    for (const CardProp& prop : cardProps.allProps()) {
        if (!prop.canCreate() || prop.itemType() == ProjectItemTypes::Folder || prop.itemType() == currentType)
            continue;
        const qint64 type = prop.itemType();
        rows.append(
            DialogMenuItem(prop.singularLabel(), prop.image(), std::nullopt,
                           [self, item, type, completion](auto) { self->handleChange(item, type, completion); }));
    }
    return rows;
}

void CardChangeType::changeCardType(ProjectItem* item, const CardProps& cardProps, const QRect& frame,
                                    Completion completion)
{
    Q_UNUSED(frame)
    if (!item)
        return;
    const QList<DialogMenuItem> rows = menuItems(item, cardProps, completion);
    if (Helpers::iPadOrMac())
        DialogMenu().show(MenuTitle, rows, m_parentController);
    else
        SEKDialogMenu().show(MenuTitle, rows);
}

void CardChangeType::handleChange(ProjectItem* item, qint64 newType, const Completion& completion)
{
    ManagedObjectContext* context = m_managedObjectContext;
    if (!context || !item)
        return;
    item->setItemType(newType);
    DbHelpers::updateModDatePath(context, item);
    DbHelpers::updateProjectModDate(context, item->projectId());
    DbHelpers::saveManagedObjectContext(context, m_parentController);
    if (completion)
        completion(item->uniqueIdentifier());
}
