#include "platform/Toolbar.h"
#include "platform/SearchToolbarItem.h"
#include "platform/ToolbarDelegateInterface.h"
#include "platform/ToolbarItem.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

// Knows the identifiers "a" to "e"; anything else has no item.
class LetterDelegate : public ToolbarDelegateInterface {
public:
    ToolbarItem* itemForItemIdentifier(Toolbar*, const QString& identifier, bool) override
    {
        if (identifier.size() != 1 || identifier < QStringLiteral("a") || identifier > QStringLiteral("e"))
            return nullptr;
        return new ToolbarItem(identifier);
    }
    QStringList defaultItemIdentifiers(Toolbar*) const override { return {}; }
    QStringList allowedItemIdentifiers(Toolbar*) const override { return {}; }
};

// A screen that answers a responder action, as a project list answers "New Project".
class Screen : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;
    Q_INVOKABLE void newClicked(QObject* sender)
    {
        ++presses;
        lastSender = sender;
    }
    int presses = 0;
    QObject* lastSender = nullptr;
};

class ToolbarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        toolbar.setDelegate(&delegate);
        toolbar.attach(&window);
    }
    void removeByIdentifier(const QString& identifier)
    {
        toolbar.removeItemAtIndex(toolbar.indexOfItemWithIdentifier(identifier));
    }

    LetterDelegate delegate;
    QMainWindow window;
    Toolbar toolbar{QStringLiteral("main")};
};

TEST_F(ToolbarTest, screensRemovingTheirOwnItemsLeaveTheOthersInOrder)
{
    // The project list puts its item in, then a board puts two around it.
    toolbar.insertItemWithItemIdentifier(QStringLiteral("a"), 0);
    toolbar.insertItemWithItemIdentifier(QStringLiteral("b"), 0);
    toolbar.insertItemWithItemIdentifier(Toolbar::FlexibleSpaceItemIdentifier, 2);
    toolbar.insertItemWithItemIdentifier(QStringLiteral("c"), 3);
    EXPECT_EQ(toolbar.itemIdentifiers(), QStringList({"b", "a", Toolbar::FlexibleSpaceItemIdentifier, "c"}));
    EXPECT_EQ(toolbar.bar()->actions().size(), 4);

    removeByIdentifier(QStringLiteral("b"));
    removeByIdentifier(QStringLiteral("c"));
    EXPECT_EQ(toolbar.itemIdentifiers(), QStringList({"a", Toolbar::FlexibleSpaceItemIdentifier}));
    ASSERT_EQ(toolbar.bar()->actions().size(), 2);
    EXPECT_EQ(toolbar.bar()->actions().first()->objectName(), QStringLiteral("a"));
}

TEST_F(ToolbarTest, unknownIdentifierAndBadIndexesChangeNothing)
{
    toolbar.insertItemWithItemIdentifier(QStringLiteral("zzz"), 0);
    EXPECT_TRUE(toolbar.items().isEmpty());
    toolbar.insertItemWithItemIdentifier(QStringLiteral("a"), 99);
    toolbar.insertItemWithItemIdentifier(QStringLiteral("b"), -5);
    EXPECT_EQ(toolbar.itemIdentifiers(), QStringList({"b", "a"}));
    toolbar.removeItemAtIndex(2);
    toolbar.removeItemAtIndex(-1);
    toolbar.removeItemAtIndex(toolbar.indexOfItemWithIdentifier(QStringLiteral("missing")));
    EXPECT_EQ(toolbar.items().size(), 2);
}

TEST_F(ToolbarTest, removedItemIsDeletedButAKeptSearchItemSurvivesWithItsField)
{
    toolbar.insertItemWithItemIdentifier(QStringLiteral("a"), 0);
    QPointer<ToolbarItem> owned = toolbar.items().first();
    toolbar.removeItemAtIndex(0);
    EXPECT_TRUE(owned.isNull());

    // An item with an owner (such as a cache of search items) is only lent to the bar.
    class KeepingDelegate : public LetterDelegate {
    public:
        ToolbarItem* itemForItemIdentifier(Toolbar*, const QString&, bool) override { return &kept; }
        QObject owner;
        SearchToolbarItem kept{QStringLiteral("search"), &owner};
    };
    auto keeping = std::make_unique<KeepingDelegate>();
    toolbar.setDelegate(keeping.get());
    toolbar.insertItemWithItemIdentifier(QStringLiteral("search"), 0);
    QPointer<QLineEdit> field = keeping->kept.field();
    EXPECT_EQ(field->window(), &window);
    toolbar.removeItemAtIndex(0);
    ASSERT_FALSE(field.isNull());
    toolbar.insertItemWithItemIdentifier(QStringLiteral("search"), 0);
    EXPECT_EQ(toolbar.items().first(), &keeping->kept);
    toolbar.removeItemAtIndex(0);
    toolbar.setDelegate(&delegate);
}

TEST_F(ToolbarTest, itemWithoutTargetReachesTheVisibleScreenThroughTheResponderChain)
{
    auto* root = new QWidget;
    auto* screen = new Screen(root);
    window.setCentralWidget(root);
    window.show();
    ToolbarItem item(QStringLiteral("newProject"));
    item.setAction("newClicked");
    EXPECT_TRUE(item.sendAction(&window));
    EXPECT_EQ(screen->presses, 1);
    EXPECT_EQ(screen->lastSender, &item);

    item.setAction("noSuchAction");
    EXPECT_FALSE(item.sendAction(&window));
    screen->hide();
    item.setAction("newClicked");
    // A screen hidden inside the root no longer answers.
    EXPECT_FALSE(item.sendAction(&window));
}

TEST_F(ToolbarTest, searchFieldSendsItsTextAlsoWhenCleared)
{
    Screen target;
    QStringList seen;
    SearchToolbarItem item(QStringLiteral("search"));
    item.setTarget(&target);
    item.setAction("newClicked");
    EXPECT_EQ(item.field()->placeholderText(), QStringLiteral("Search Cards"));
    item.field()->setText(QStringLiteral("dragon"));
    item.field()->clear();
    EXPECT_EQ(target.presses, 2);
    EXPECT_EQ(target.lastSender->property("stringValue").toString(), QString());
}

TEST_F(ToolbarTest, windowDeletedFirstLeavesTheToolbarSafeToDelete)
{
    auto ownWindow = std::make_unique<QMainWindow>();
    Toolbar own(QStringLiteral("other"));
    own.setDelegate(&delegate);
    own.attach(ownWindow.get());
    own.insertItemWithItemIdentifier(QStringLiteral("a"), 0);
    own.insertItemWithItemIdentifier(Toolbar::FlexibleSpaceItemIdentifier, 1);
    ownWindow.reset();
    EXPECT_EQ(own.bar(), nullptr);
    own.removeItemAtIndex(1);
    EXPECT_EQ(own.itemIdentifiers(), QStringList({"a"}));
}

} // namespace

#include "ToolbarTest.moc"
