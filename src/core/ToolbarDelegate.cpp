#include "ToolbarDelegate.h"

#include "AppDelegate.h"
#include "AppKitBridge.h"
#include "CardBoardActions.h"
#include "platform/SymbolIcons.h"
#include "platform/ToolbarItem.h"

#include <QVariant>

ToolbarDelegate::ToolbarDelegate(QObject* parent) : QObject(parent)
{
}

const QList<ToolbarDelegate::ItemSpec>& ToolbarDelegate::itemTable()
{
    // Looked up in this order; the first identifier that matches decides.
    static const QList<ItemSpec> table{
        {cardViewBack, QStringLiteral("chevron.backward"), QStringLiteral("Go Back"), "goBack", true, true},
        {cardViewHome, QStringLiteral("house"), QStringLiteral("Projects"), "goBack", true, true},
        {cardViewSidebar, QStringLiteral("sidebar.left"), QStringLiteral("Toggle Sidebar"), "cardViewToggleSidebar",
         true, true},
        {compiledBack, QStringLiteral("chevron.backward"), QStringLiteral("Go back"), "backButtonPressed", false, true},
        {newProject, QStringLiteral("plus.circle"), QStringLiteral("New Project"), "newClicked", false, false},
        {newCard, QStringLiteral("plus.circle"), QStringLiteral("New Card"), "cardViewNewCard", true, false},
        {newFolder, QStringLiteral("folder.badge.plus"), QStringLiteral("New Folder"), "cardViewNewFolder", true,
         false},
        {editorNewCard, QStringLiteral("plus.circle"), QStringLiteral("New Card"), "newCardClicked", false, false},
        {editorPeek, QStringLiteral("book"), QStringLiteral("Peek"), "peekClicked", false, false},
        {sketchNewCard, QStringLiteral("plus.circle"), QStringLiteral("New Card"), "newCardClicked", false, false},
        {sketchPeek, QStringLiteral("book"), QStringLiteral("Peek"), "peekClicked", false, false},
    };
    return table;
}

ToolbarItem* ToolbarDelegate::itemForItemIdentifier(Toolbar*, const QString& identifier, bool)
{
    if (identifier == search) {
        return AppKitBridge::searchToolbarItemWithSceneIdentifier(SceneIdentifier, search, this, SearchSelector);
    }
    for (const ItemSpec& spec : itemTable()) {
        if (spec.identifier == identifier)
            return makeItem(spec);
    }
    return nullptr;
}

ToolbarItem* ToolbarDelegate::makeItem(const ItemSpec& spec)
{
    auto* item = new ToolbarItem(spec.identifier);
    item->setImage(SymbolIcons::icon(spec.symbol));
    item->setLabel(spec.label);
    item->setToolTip(spec.label);
    item->setAction(spec.action);
    // Items without a target reach whichever screen is in front through the responder chain.
    item->setTarget(spec.toDelegate ? this : nullptr);
    item->setBordered(true);
    item->setNavigational(spec.navigational);
    return item;
}

QStringList ToolbarDelegate::defaultItemIdentifiers(Toolbar*) const
{
    return {};
}

QStringList ToolbarDelegate::allowedItemIdentifiers(Toolbar* toolbar) const
{
    return defaultItemIdentifiers(toolbar);
}

CardBoardActions* ToolbarDelegate::openBoard()
{
    AppDelegate* app = AppDelegate::shared();
    return app ? dynamic_cast<CardBoardActions*>(app->cardViewController.data()) : nullptr;
}

void ToolbarDelegate::goBack(QObject*)
{
    if (CardBoardActions* board = openBoard())
        board->goBack();
}

void ToolbarDelegate::cardViewToggleSidebar(QObject*)
{
    if (CardBoardActions* board = openBoard())
        board->toggleSidebarAnimated();
}

void ToolbarDelegate::cardViewNewCard(QObject*)
{
    if (CardBoardActions* board = openBoard())
        board->showNewCardChooser();
}

void ToolbarDelegate::cardViewNewFolder(QObject*)
{
    if (CardBoardActions* board = openBoard())
        board->createNewItem(0);
}

void ToolbarDelegate::searchAction(QObject* sender)
{
    if (!sender)
        return;
    const QVariant value = sender->property("stringValue");
    if (value.typeId() != QMetaType::QString)
        return;
    AppDelegate* app = AppDelegate::shared();
    if (!app)
        return;
    const QString text = value.toString();
    app->currentSearchText = text;
    if (app->search)
        app->search(text);
}
