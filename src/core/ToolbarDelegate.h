#pragma once

#include "platform/Toolbar.h"
#include "platform/ToolbarDelegateInterface.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class CardBoardActions;

// Builds the window toolbar's items by identifier and forwards the board's items to the open board.
// Screens insert and remove these items themselves; the toolbar offers none of its own.
class ToolbarDelegate : public QObject, public ToolbarDelegateInterface {
    Q_OBJECT

public:
    static inline const QString cardViewHome = QStringLiteral("com.kuv.plotvane.cardViewHome");
    static inline const QString cardViewBack = QStringLiteral("com.kuv.plotvane.cardViewBack");
    static inline const QString cardViewSidebar = QStringLiteral("com.kuv.plotvane.cardViewSidebar");
    static inline const QString newProject = QStringLiteral("com.kuv.plotvane.newProject");
    static inline const QString newCard = QStringLiteral("com.kuv.plotvane.newCard");
    static inline const QString newFolder = QStringLiteral("com.kuv.plotvane.newFolder");
    // The toolbar builds this one itself; the delegate knows no item for it.
    static inline const QString& flexibleSpace = Toolbar::FlexibleSpaceItemIdentifier;
    static inline const QString compiledBack = QStringLiteral("com.kuv.plotvane.compiledBack");
    static inline const QString search = QStringLiteral("com.kuv.plotvane.search");
    static inline const QString editorNewCard = QStringLiteral("com.kuv.plotvane.editorNewCard");
    static inline const QString editorPeek = QStringLiteral("com.kuv.plotvane.editorPeek");
    static inline const QString sketchNewCard = QStringLiteral("com.kuv.plotvane.sketchNewCard");
    static inline const QString sketchPeek = QStringLiteral("com.kuv.plotvane.sketchPeek");

    // The scene the search item belongs to.
    static inline const QString SceneIdentifier = QStringLiteral("main");

    explicit ToolbarDelegate(QObject* parent = nullptr);

    ToolbarItem* itemForItemIdentifier(Toolbar* toolbar, const QString& identifier,
                                       bool willBeInsertedIntoToolbar) override;
    QStringList defaultItemIdentifiers(Toolbar* toolbar) const override;
    QStringList allowedItemIdentifiers(Toolbar* toolbar) const override;

    // Item actions; each takes the sending item.
    Q_INVOKABLE void goBack(QObject* sender);
    Q_INVOKABLE void cardViewToggleSidebar(QObject* sender);
    Q_INVOKABLE void cardViewNewCard(QObject* sender);
    Q_INVOKABLE void cardViewNewFolder(QObject* sender);
    // The search item's action (its name differs from the identifier constant `search`): reads the
    // sender's "stringValue"; a text, the empty one included, becomes the current search.
    Q_INVOKABLE void searchAction(QObject* sender);
    static inline const QByteArray SearchSelector = QByteArrayLiteral("searchAction");

private:
    struct ItemSpec {
        QString identifier;
        QString symbol;
        QString label;
        QByteArray action;
        bool toDelegate;
        bool navigational;
    };

    static const QList<ItemSpec>& itemTable();
    ToolbarItem* makeItem(const ItemSpec& spec);
    static CardBoardActions* openBoard();
};
