#pragma once

#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

class CardProps;
class DialogMenuItem;
class ManagedObjectContext;
class ProjectItem;
class ViewController;

// Changes a card's type: a menu offers every other type a card can be created as; the choice is stored with
// fresh modification stamps and saved. Nothing else of the card changes.
class CardChangeType : public std::enable_shared_from_this<CardChangeType> {
public:
    // The identifier of the changed card, so that the board finds its cell by identity.
    using Completion = std::function<void(const QString& itemId)>;

    static inline const QString MenuTitle = QStringLiteral("Change Card Type");

    static std::shared_ptr<CardChangeType> create(ViewController* controller, ManagedObjectContext* context);

    // Shows the menu; frame is the card's cell and is not needed on the desktop. completion runs only after
    // a type was chosen.
    void changeCardType(ProjectItem* item, const CardProps& cardProps, const QRect& frame, Completion completion = {});
    void handleChange(ProjectItem* item, qint64 newType, const Completion& completion);

    // The menu rows for item, in table order.
    QList<DialogMenuItem> menuItems(ProjectItem* item, const CardProps& cardProps, const Completion& completion);

private:
    CardChangeType(ViewController* controller, ManagedObjectContext* context);

    QPointer<ViewController> m_parentController;
    QPointer<ManagedObjectContext> m_managedObjectContext;
};
