#pragma once

#include <QString>
#include <QStringList>

class Toolbar;
class ToolbarItem;

// What a toolbar asks of its delegate: the item for an identifier and the identifiers it offers.
class ToolbarDelegateInterface {
public:
    virtual ~ToolbarDelegateInterface() = default;

    // A new item for identifier, or nullptr for an identifier the delegate does not know. An item
    // returned without a parent becomes the toolbar's and is deleted when it is removed.
    virtual ToolbarItem* itemForItemIdentifier(Toolbar* toolbar, const QString& identifier,
                                               bool willBeInsertedIntoToolbar) = 0;
    virtual QStringList defaultItemIdentifiers(Toolbar* toolbar) const = 0;
    virtual QStringList allowedItemIdentifiers(Toolbar* toolbar) const = 0;
};
