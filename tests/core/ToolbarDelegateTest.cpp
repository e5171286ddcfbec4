#include "core/ToolbarDelegate.h"
#include "core/AppDelegate.h"
#include "core/AppKitBridge.h"
#include "core/CardBoardActions.h"
#include "platform/Application.h"
#include "platform/SearchToolbarItem.h"
#include "platform/Toolbar.h"
#include "platform/ToolbarItem.h"

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class FakeBoard : public QObject, public CardBoardActions {
public:
    void goBack() override { calls << QStringLiteral("goBack"); }
    void toggleSidebarAnimated() override { calls << QStringLiteral("toggleSidebar"); }
    void showNewCardChooser() override { calls << QStringLiteral("chooser"); }
    void createNewItem(int cardTag) override { calls << QStringLiteral("create%1").arg(cardTag); }
    QStringList calls;
};

// A sender that answers "stringValue" with something other than a text.
class NumberSender : public QObject {
    Q_OBJECT
    Q_PROPERTY(int stringValue READ stringValue)

public:
    int stringValue() const { return 7; }
};

class ToolbarDelegateTest : public ::testing::Test {
protected:
    ToolbarDelegateTest()
        : app(std::make_unique<AppDelegate>(dir.filePath(QStringLiteral("CardStore.sqlite")))),
          running(*qobject_cast<QApplication*>(QCoreApplication::instance()), *app)
    {
        app->didFinishLaunching();
    }
    Toolbar* toolbar() const { return app->toolbar(); }
    ToolbarItem* item(const QString& identifier) const
    {
        const int index = toolbar()->indexOfItemWithIdentifier(identifier);
        return index < 0 ? nullptr : toolbar()->items().at(index);
    }
    void removeByIdentifier(const QString& identifier)
    {
        toolbar()->removeItemAtIndex(toolbar()->indexOfItemWithIdentifier(identifier));
    }

    QTemporaryDir dir;
    std::unique_ptr<AppDelegate> app;
    Application running;
};

TEST_F(ToolbarDelegateTest, launchInstallsAnEmptyIconOnlyToolbarNamedMain)
{
    ASSERT_NE(toolbar(), nullptr);
    EXPECT_EQ(toolbar()->identifier(), QStringLiteral("main"));
    EXPECT_EQ(toolbar()->displayMode(), Toolbar::DisplayMode::IconOnly);
    EXPECT_TRUE(toolbar()->items().isEmpty());
    EXPECT_TRUE(app->toolbarDelegate()->defaultItemIdentifiers(toolbar()).isEmpty());
    EXPECT_TRUE(app->toolbarDelegate()->allowedItemIdentifiers(toolbar()).isEmpty());
    EXPECT_EQ(toolbar()->bar()->window(), app->window());
}

TEST_F(ToolbarDelegateTest, projectListAndBoardNeverRemoveEachOthersItems)
{
    toolbar()->insertItemWithItemIdentifier(ToolbarDelegate::newProject, 0);
    // The board comes on screen before the project list has taken its item away.
    const QStringList board{ToolbarDelegate::cardViewBack,  ToolbarDelegate::cardViewSidebar,
                            ToolbarDelegate::flexibleSpace, ToolbarDelegate::search,
                            ToolbarDelegate::newFolder,     ToolbarDelegate::newCard};
    for (const QString& identifier : board)
        toolbar()->insertItemWithItemIdentifier(identifier, int(toolbar()->items().size()));
    EXPECT_EQ(toolbar()->itemIdentifiers(), QStringList{ToolbarDelegate::newProject} + board);

    removeByIdentifier(ToolbarDelegate::newProject);
    EXPECT_EQ(toolbar()->itemIdentifiers(), board);
    for (const QString& identifier : board)
        removeByIdentifier(identifier);
    EXPECT_TRUE(toolbar()->items().isEmpty());
}

TEST_F(ToolbarDelegateTest, unknownIdentifiersAndFlexibleSpaceGetNoItemFromTheDelegate)
{
    ToolbarDelegate* delegate = app->toolbarDelegate();
    EXPECT_EQ(delegate->itemForItemIdentifier(toolbar(), QStringLiteral("com.kuv.plotvane.unknown"), true), nullptr);
    EXPECT_EQ(delegate->itemForItemIdentifier(toolbar(), ToolbarDelegate::flexibleSpace, true), nullptr);
    EXPECT_EQ(delegate->itemForItemIdentifier(toolbar(), QString(), true), nullptr);
}

TEST_F(ToolbarDelegateTest, itemsCarryTheirLabelsAndResponderItemsHaveNoTarget)
{
    for (const QString& identifier : {ToolbarDelegate::cardViewBack, ToolbarDelegate::compiledBack,
                                      ToolbarDelegate::newProject, ToolbarDelegate::editorPeek})
        toolbar()->insertItemWithItemIdentifier(identifier, 0);
    EXPECT_EQ(item(ToolbarDelegate::cardViewBack)->label(), QStringLiteral("Go Back"));
    EXPECT_EQ(item(ToolbarDelegate::compiledBack)->label(), QStringLiteral("Go back"));
    EXPECT_EQ(item(ToolbarDelegate::cardViewBack)->toolTip(), QStringLiteral("Go Back"));
    EXPECT_EQ(item(ToolbarDelegate::cardViewBack)->target(), app->toolbarDelegate());
    EXPECT_TRUE(item(ToolbarDelegate::cardViewBack)->isNavigational());
    EXPECT_EQ(item(ToolbarDelegate::newProject)->target(), nullptr);
    EXPECT_EQ(item(ToolbarDelegate::newProject)->action(), QByteArray("newClicked"));
    EXPECT_FALSE(item(ToolbarDelegate::newProject)->isNavigational());
    EXPECT_EQ(item(ToolbarDelegate::editorPeek)->action(), QByteArray("peekClicked"));
    EXPECT_FALSE(item(ToolbarDelegate::editorPeek)->image().isNull());
}

TEST_F(ToolbarDelegateTest, boardItemsReachTheOpenBoardAndAreIgnoredWithoutOne)
{
    for (const QString& identifier : {ToolbarDelegate::cardViewHome, ToolbarDelegate::cardViewSidebar,
                                      ToolbarDelegate::newCard, ToolbarDelegate::newFolder})
        toolbar()->insertItemWithItemIdentifier(identifier, 0);
    // No board open: nothing happens, nothing crashes.
    for (ToolbarItem* each : toolbar()->items())
        EXPECT_TRUE(each->sendAction(app->window()));

    FakeBoard board;
    app->cardViewController = &board;
    for (const QString& identifier : {ToolbarDelegate::cardViewHome, ToolbarDelegate::cardViewSidebar,
                                      ToolbarDelegate::newCard, ToolbarDelegate::newFolder})
        item(identifier)->sendAction(app->window());
    EXPECT_EQ(board.calls, QStringList({"goBack", "toggleSidebar", "chooser", "create0"}));
}

TEST_F(ToolbarDelegateTest, withoutThePluginBoardSearchStillWorks)
{
    ASSERT_EQ(AppKitBridge::appKitController(), nullptr);
    QStringList searches;
    app->search = [&](const QString& text) {
        searches << text;
    };
    toolbar()->insertItemWithItemIdentifier(ToolbarDelegate::search, 0);
    auto* field = qobject_cast<SearchToolbarItem*>(item(ToolbarDelegate::search));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->field()->placeholderText(), SearchToolbarItem::Placeholder);
    field->field()->setText(QStringLiteral("inn"));
    EXPECT_EQ(searches, QStringList{QStringLiteral("inn")});
}

TEST_F(ToolbarDelegateTest, clearedSearchReachesTheHandlerWithTheEmptyText)
{
    QStringList searches;
    app->search = [&](const QString& text) {
        searches << text;
    };
    SearchToolbarItem field(ToolbarDelegate::search);
    field.setTarget(app->toolbarDelegate());
    field.setAction(ToolbarDelegate::SearchSelector);
    field.field()->setText(QStringLiteral("inn"));
    field.field()->clear();
    EXPECT_EQ(searches, QStringList({"inn", ""}));
    EXPECT_TRUE(app->currentSearchText.isEmpty());
    EXPECT_FALSE(app->currentSearchText.isNull());
}

TEST_F(ToolbarDelegateTest, senderWithoutATextChangesNothing)
{
    int calls = 0;
    app->search = [&](const QString&) {
        ++calls;
    };
    app->currentSearchText = QStringLiteral("kept");
    NumberSender number;
    QObject plain;
    app->toolbarDelegate()->searchAction(&number);
    app->toolbarDelegate()->searchAction(&plain);
    app->toolbarDelegate()->searchAction(nullptr);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(app->currentSearchText, QStringLiteral("kept"));

    // And a search without a board's handler only remembers the text.
    app->search = nullptr;
    SearchToolbarItem field(ToolbarDelegate::search);
    field.setTarget(app->toolbarDelegate());
    field.setAction(ToolbarDelegate::SearchSelector);
    field.field()->setText(QStringLiteral("x"));
    EXPECT_EQ(app->currentSearchText, QStringLiteral("x"));
}

} // namespace

#include "ToolbarDelegateTest.moc"
