#include "board/BoardNavigator.h"
#include "BoardTestFixture.h"
#include "board/BoardItemCreation.h"
#include "platform/ResponderChain.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QProcess>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QVariantAnimation>

namespace {

class BoardNavigatorTest : public BoardTestFixture {
protected:
    void pressToolbarItem(const QString& identifier)
    {
        QToolBar* bar = app->toolbar()->bar();
        auto* action = bar->findChild<QAction*>(identifier);
        ASSERT_NE(action, nullptr) << qPrintable(identifier);
        QWidget* button = bar->widgetForAction(action);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QString windowTitle() const { return app->mainScene()->windowTitle(); }
};

TEST_F(BoardNavigatorTest, folderEnteredByClickAndLeftByTheBackItem)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_EQ(firstToolbarItem(), ToolbarDelegate::cardViewHome);
    clickRow(rowOf(QStringLiteral("Part One")));
    EXPECT_EQ(board->currentFolderId(), partOne);
    EXPECT_EQ(board->parentFolderId(), ItemIds::Top);
    EXPECT_EQ(shownTitles(), QStringList({"Inside", "Chapter"}));
    EXPECT_EQ(windowTitle(), QStringLiteral("Part One"));
    EXPECT_EQ(firstToolbarItem(), ToolbarDelegate::cardViewBack);
    EXPECT_TRUE(opening->opened.isEmpty()) << "a folder is entered, never opened as a card";

    clickRow(rowOf(QStringLiteral("Chapter")));
    EXPECT_EQ(shownTitles(), QStringList({"Deep"}));
    EXPECT_EQ(firstToolbarItem(), ToolbarDelegate::cardViewBack);
    EXPECT_EQ(app->toolbar()->itemIdentifiers().count(ToolbarDelegate::cardViewBack), 1);

    ASSERT_NO_FATAL_FAILURE(pressToolbarItem(ToolbarDelegate::cardViewBack));
    EXPECT_EQ(board->currentFolderId(), partOne);
    EXPECT_EQ(windowTitle(), QStringLiteral("Part One"));
    EXPECT_EQ(firstToolbarItem(), ToolbarDelegate::cardViewBack) << "between inner folders the item stays";

    ASSERT_NO_FATAL_FAILURE(pressToolbarItem(ToolbarDelegate::cardViewBack));
    EXPECT_EQ(board->currentFolderId(), ItemIds::Top);
    EXPECT_TRUE(board->parentFolderId().isEmpty());
    EXPECT_EQ(windowTitle(), QStringLiteral("Harbour"));
    EXPECT_EQ(firstToolbarItem(), ToolbarDelegate::cardViewHome);
    EXPECT_EQ(shownTitles().size(), 13);
}

TEST_F(BoardNavigatorTest, folderTitleOfFortyOneCharactersStaysCutAfterAFilterChange)
{
    const QString forty(40, u'F');
    add(ProjectItemTypes::Folder, forty + u'X', 30);
    context()->save();
    appear();
    clickRow(rowOf(forty + u'X'));
    EXPECT_EQ(windowTitle(), forty + QStringLiteral("..."));
    board->setItemFilter(ProjectItemTypes::Idea);
    EXPECT_EQ(board->window()->windowTitle(), forty + QStringLiteral("..."));
}

TEST_F(BoardNavigatorTest, selectingACardHandsItToTheOpenerAndStaysInTheFolder)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    const int row = rowOf(QStringLiteral("Mara"));
    clickRow(row);
    ASSERT_EQ(opening->opened.size(), 1);
    EXPECT_EQ(opening->opened.first(), item(QStringLiteral("Mara"))->uniqueIdentifier());
    EXPECT_EQ(opening->openedRows.first(), row);
    EXPECT_EQ(board->currentFolderId(), ItemIds::Top);
}

TEST_F(BoardNavigatorTest, goingBackThroughAFolderCycleEndsAtTheTopLevel)
{
    // Two machines each moved one folder into the other.
    ProjectItem* first = add(ProjectItemTypes::Folder, QStringLiteral("North"), 20);
    ProjectItem* second = add(ProjectItemTypes::Folder, QStringLiteral("South"), 1, first->uniqueIdentifier());
    first->setParentItemId(second->uniqueIdentifier());
    context()->save();
    ASSERT_NO_FATAL_FAILURE(appear());
    board->navigator().enterFolder(first, 0);
    ASSERT_EQ(board->currentFolderId(), first->uniqueIdentifier());
    board->goBack();
    EXPECT_EQ(board->currentFolderId(), ItemIds::Top);
    EXPECT_EQ(firstToolbarItem(), ToolbarDelegate::cardViewHome);
    EXPECT_EQ(windowTitle(), QStringLiteral("Harbour"));
}

TEST_F(BoardNavigatorTest, enteringStartsAtTheTopAndBackScrollsToTheFolderLeft)
{
    for (int i = 0; i < 60; ++i)
        add(ProjectItemTypes::Idea, QStringLiteral("Filler %1").arg(i), 20 + i);
    ProjectItem* deep = add(ProjectItemTypes::Folder, QStringLiteral("Last Folder"), 200);
    add(ProjectItemTypes::Idea, QStringLiteral("Within"), 1, deep->uniqueIdentifier());
    context()->save();
    ASSERT_NO_FATAL_FAILURE(appear());
    QScrollBar* scroll = board->collectionView()->verticalScrollBar();
    const int row = rowOf(QStringLiteral("Last Folder"));
    board->collectionView()->scrollTo(board->model()->index(row));
    ASSERT_GT(scroll->value(), 0);
    clickRow(row);
    EXPECT_EQ(shownTitles(), QStringList({"Within"}));
    EXPECT_EQ(scroll->value(), 0);
    scroll->setValue(0);
    board->goBack();
    EXPECT_GT(scroll->value(), 0) << "back at the root, the folder just left is scrolled into view";
    const QRect cell = board->collectionView()->visualRect(board->model()->index(row));
    EXPECT_TRUE(board->collectionView()->viewport()->rect().intersects(cell));
}

TEST_F(BoardNavigatorTest, reloadAskedBeforeAChangeOfFolderDoesNotShowTheOldFolder)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    // A reload is queued for the root, then the writer enters a folder before it runs.
    board->reloadBoard(false);
    board->navigator().enterFolder(item(QStringLiteral("Part One")), 0);
    runEventsFor(50);
    EXPECT_EQ(board->currentFolderId(), partOne);
    EXPECT_EQ(shownTitles(), QStringList({"Inside", "Chapter"}));
}

TEST_F(BoardNavigatorTest, folderAlertAnsweredAfterLeavingCreatesInTheFolderAsked)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    board->newFolderClicked(nullptr);
    Alert* alert = Alert::topmost();
    ASSERT_NE(alert, nullptr);
    // The writer goes into a folder while the alert waits (a remote change may move the board too).
    board->navigator().enterFolder(item(QStringLiteral("Part One")), 0);
    QTest::keyClicks(alert->textFields().first(), QStringLiteral("Later"));
    ASSERT_TRUE(press(alert, 0));
    runEventsFor(30);
    ProjectItem* created = item(QStringLiteral("Later"));
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->parentItemId(), ItemIds::Top);
    EXPECT_EQ(created->displayOrder(), 14);
    EXPECT_EQ(board->currentFolderId(), partOne);
    EXPECT_EQ(shownTitles(), QStringList({"Inside", "Chapter"}));
}

TEST_F(BoardNavigatorTest, folderDeletedElsewhereWhileCoveredClimbsToItsParentAndAMissingProjectLeaves)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    // Stands for the project list the board returns to.
    QPointer<ViewController> list = new ViewController;
    app->initialViewController = list.data();
    QWidget* root = app->window()->centralWidget();
    clickRow(rowOf(QStringLiteral("Part One")));
    clickRow(rowOf(QStringLiteral("Chapter")));
    ASSERT_EQ(board->currentFolderId(), chapter);
    // A screen covers the board, and another copy of the program deletes the folder shown meanwhile.
    board->present(new ViewController, false);
    ASSERT_FALSE(board->isOnScreen());
    QProcess writer;
    writer.start(QStringLiteral(EDITOR_STORE_WRITER_PATH),
                 {dir.filePath(QStringLiteral("CardStore.sqlite")), QStringLiteral("delete"), chapter});
    ASSERT_TRUE(writer.waitForFinished(30000));
    ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
    board->dismiss(false);
    ASSERT_TRUE(board->isOnScreen());
    EXPECT_EQ(board->currentFolderId(), partOne);
    EXPECT_EQ(shownTitles(), QStringList({"Inside"}));
    EXPECT_EQ(firstToolbarItem(), ToolbarDelegate::cardViewBack);
    runEventsFor(50);
    EXPECT_EQ(app->window()->centralWidget(), root) << "the writer stays in the project";

    // Now the folder and the whole project go: the level above is not there either.
    board->present(new ViewController, false);
    DbHelpers::deleteItem(context(), partOne);
    context()->deleteObject(DbHelpers::getProject(context(), project));
    ASSERT_FALSE(context()->save());
    board->dismiss(false);
    EXPECT_TRUE(waitFor([&] { return app->window()->centralWidget() == list.data(); })) << "back to the project list";
    EXPECT_EQ(board->currentFolderId(), ItemIds::Top);
    if (list && !list->parent())
        delete list.data();
}

TEST_F(BoardNavigatorTest, boardDeletedDuringAWaitDoesNotCrash)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_TRUE(hasTheKeys(board));
    board->reloadBoard(true);
    ViewController::transitionAppearance(board, false, false);
    delete board;
    board = new PvCardViewController;
    // Once shown (a slow machine can pass its grace time), the indicator stays up for its minimum time.
    EXPECT_TRUE(waitFor([] { return !ProgressHud::isActive(); })) << "the indicator of the dropped reload is dismissed";
}

} // namespace

namespace {

class BoardRespondersTest : public BoardTestFixture {};

TEST_F(BoardRespondersTest, keyboardLiftsTheBottomByItsOverlapAndHidingPutsItBack)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    // A keyboard whose top edge lies 300 points above the bottom of the board.
    const QPoint top = board->mapTo(board->window(), QPoint(0, board->height() - 300));
    board->keyboardWillShow(QRect(top, QSize(board->width(), 300)), 0.25);
    EXPECT_EQ(board->viewBottomConst(), -300);
    EXPECT_TRUE(waitFor([&] { return board->toolbarView()->geometry().bottom() == board->height() - 300 - 1; }));
    board->keyboardWillHide(0);
    EXPECT_EQ(board->viewBottomConst(), 0);
    board->keyboardWillShow(QRect(top, QSize(board->width(), 300)), 0);
    board->navigator().enterFolder(item(QStringLiteral("Part One")), 0);
    EXPECT_EQ(board->viewBottomConst(), 0) << "every change of folder resets the bottom";
}

TEST_F(BoardRespondersTest, newFolderCommandReachesTheBoardThroughTheResponderChain)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_TRUE(ResponderChain::invoke(board, "newFolderClicked", nullptr));
    Alert* alert = Alert::topmost();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), BoardItemCreation::FolderAlertTitle);
}

} // namespace

namespace {

TEST_F(BoardNavigatorTest, folderFadesInAndThenPaintsDirectly)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    Delays::setFactor(1);
    board->navigator().enterFolder(item(QStringLiteral("Part One")), 0);
    EXPECT_TRUE(board->navigator().isTransitionRunning());
    EXPECT_NE(board->collectionView()->findChild<QVariantAnimation*>(BoardNavigator::TransitionKey), nullptr)
        << "the fade runs under its key";
    EXPECT_NE(board->collectionView()->graphicsEffect(), nullptr);
    ASSERT_TRUE(waitFor([&] { return !board->navigator().isTransitionRunning(); }));
    EXPECT_EQ(board->collectionView()->graphicsEffect(), nullptr);
    // A second change of folder while one fades starts afresh and still ends without an effect.
    board->navigator().enterFolder(item(QStringLiteral("Chapter")), 1);
    board->goBack();
    ASSERT_TRUE(waitFor([&] { return !board->navigator().isTransitionRunning(); }));
    EXPECT_EQ(board->collectionView()->graphicsEffect(), nullptr);
    EXPECT_EQ(board->currentFolderId(), partOne);
}

TEST_F(BoardNavigatorTest, changeOfFolderWithoutDelaysDropsAFadeStillRunning)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    Delays::setFactor(1);
    board->navigator().enterFolder(item(QStringLiteral("Part One")), 0);
    ASSERT_NE(board->collectionView()->graphicsEffect(), nullptr);
    Delays::setFactor(0);
    board->goBack();
    EXPECT_EQ(board->collectionView()->graphicsEffect(), nullptr) << "the grid is not left half faded";
}

} // namespace
