#include "TestKeyboard.h"
#include "TestWait.h"
#include "board/CardListModel.h"
#include "board/EmptyStateButton.h"
#include "board/EmptyStateView.h"
#include "board/ProjectListModel.h"
#include "board/ProjectSplitViewController.h"
#include "board/ProjectViewController.h"
#include "board/PvCardViewController.h"
#include "core/AppDelegate.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "core/ToolbarDelegate.h"
#include "editors/PvEditViewController.h"
#include "editors/PvSummaryEditViewController.h"
#include "export/KUVDocFormatCell.h"
#include "export/KUVDocPickerViewController.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/BarButtonItem.h"
#include "platform/Delays.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/ProgressHud.h"
#include "platform/SymbolIcons.h"
#include "platform/Toolbar.h"
#include "platform/store/ManagedObjectContext.h"
#include "richtext/PvTextView.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The program launched on an empty store, driven the way a writer drives it: through the buttons, tiles and
// keys on screen, from a new project to cards on its board.
class BoardRoadTest : public ::testing::Test {
protected:
    BoardRoadTest()
        : app(std::make_unique<AppDelegate>(dir.filePath(QStringLiteral("CardStore.sqlite")))),
          running(*qobject_cast<QApplication*>(QCoreApplication::instance()), *app)
    {
        Delays::setFactor(0);
        app->didFinishLaunching();
        app->window()->resize(1280, 800);
        app->window()->show();
    }
    void TearDown() override
    {
        EXPECT_EQ(background.moments(), 0) << "the application went to the background during the test";
    }
    ~BoardRoadTest() override
    {
        for (Alert* alert : Alert::presented())
            alert->done(0);
        // Screens still presented go before the window that holds them.
        if (auto* root = qobject_cast<ViewController*>(app->window()->centralWidget());
            root && root->presentedViewController())
            root->dismiss(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app.reset();
        ProgressHud::reset();
        Delays::setFactor(1);
    }

    template <class T> static T* shown()
    {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible())
                continue;
            if (auto* found = qobject_cast<T*>(top))
                return found;
            for (T* found : top->findChildren<T*>()) {
                if (found->isVisible())
                    return found;
            }
        }
        return nullptr;
    }
    // The bar's button that shows item, once the bar has laid it out.
    static QToolButton* buttonOf(QAction* item)
    {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            for (QToolButton* button : top->findChildren<QToolButton*>()) {
                if (button->defaultAction() == item && button->isVisible())
                    return button;
            }
        }
        return nullptr;
    }
    // Presses the bar button that shows item, as a click on its button.
    static bool click(QAction* item)
    {
        QToolButton* button = nullptr;
        if (!waitFor([&] { return (button = buttonOf(item)) != nullptr; }))
            return false;
        QTest::mouseClick(button, Qt::LeftButton);
        return true;
    }
    static void clickTile(KUVDocPickerViewController* picker, const QString& title)
    {
        QListView* grid = picker->collectionView();
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            const QModelIndex index = grid->model()->index(row, 0);
            if (index.data().toString() == title && !index.data(KUVDocFormatCell::HeaderRole).toBool()) {
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
                return;
            }
        }
        ADD_FAILURE() << "no tile " << qPrintable(title);
    }

    // New project "Harbour" through the empty state, opened by a click on its tile; answers its board.
    PvCardViewController* openNewProject()
    {
        auto* list = qobject_cast<ProjectViewController*>(app->window()->centralWidget());
        EXPECT_NE(list, nullptr);
        if (!list)
            return nullptr;
        EXPECT_TRUE(waitFor([&] { return list->isShowingEmptyState(); }));
        QTest::mouseClick(list->backgroundView()->button(), Qt::LeftButton);
        Alert* alert = Alert::topmost();
        EXPECT_NE(alert, nullptr);
        if (!alert || !hasTheKeys(alert))
            return nullptr;
        QTest::keyClicks(alert->textFields().first(), QStringLiteral("Harbour"));
        QTest::mouseClick(alert->findChild<QPushButton*>(QStringLiteral("alertAction0")), Qt::LeftButton);
        EXPECT_TRUE(waitFor([&] { return list->model()->rowCount() == 1; }));
        QListView* grid = list->collectionView();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 0)).center());
        PvCardViewController* board = nullptr;
        EXPECT_TRUE(waitFor([&] {
            auto* split = qobject_cast<ProjectSplitViewController*>(app->window()->centralWidget());
            board = split ? qobject_cast<PvCardViewController*>(split->secondaryViewController()) : nullptr;
            return board && board->appearance() == ViewController::Appearance::Appeared;
        }));
        return board;
    }
    // The empty board's line, "Click (+) to add a new card", clicked; then the tile of the card type.
    void chooseNewCardFromTheEmptyBoard(PvCardViewController* board, const QString& type)
    {
        EmptyStateButton* line = board->emptyStateButton();
        // Laid out once it is first painted: until then its text has no lines to find the symbol on.
        ASSERT_TRUE(waitFor([&] { return line->isVisible() && !line->symbolRect().isEmpty(); }));
        EXPECT_FALSE(board->emptyStateLabel()->isVisible());
        EXPECT_EQ(line->titleText(), QStringLiteral("Click \uFFFC to add a new card"));
        ASSERT_NO_FATAL_FAILURE(expectPlusSymbolDrawn(line));
        QTest::mouseClick(line, Qt::LeftButton);
        KUVDocPickerViewController* picker = nullptr;
        ASSERT_TRUE(waitFor([&] { return (picker = shown<KUVDocPickerViewController>()) != nullptr; }));
        clickTile(picker, type);
    }
    // The line's picture is the symbol table's plus in the text's colour: its ink, found within a few pixels of
    // where the line says it stands, has the symbol's own shape, which no placeholder picture has.
    static void expectPlusSymbolDrawn(EmptyStateButton* line)
    {
        const QRect slot = line->symbolRect();
        ASSERT_FALSE(slot.isEmpty());
        const QImage shown = line->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const QColor ink = line->palette().color(QPalette::WindowText);
        const QColor paper = shown.pixelColor(0, 0);
        const double range = std::abs(ink.lightnessF() - paper.lightnessF());
        ASSERT_GT(range, 0.3);
        const QImage symbol = SymbolIcons::icon(QStringLiteral("plus.circle"))
                                  .pixmap(slot.size())
                                  .toImage()
                                  .convertToFormat(QImage::Format_ARGB32);
        // What an empty slot would score: the symbol's whole ink.
        double blank = 0;
        for (int y = 0; y < symbol.height(); ++y)
            for (int x = 0; x < symbol.width(); ++x)
                blank += qAlpha(symbol.pixel(x, y)) / 255.0;
        blank /= symbol.width() * symbol.height();
        ASSERT_GT(blank, 0.02);
        double best = 1;
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx) {
                double difference = 0;
                for (int y = 0; y < symbol.height(); ++y)
                    for (int x = 0; x < symbol.width(); ++x) {
                        const QPoint at = slot.topLeft() + QPoint(x + dx, y + dy);
                        const QColor pixel = shown.rect().contains(at) ? shown.pixelColor(at) : paper;
                        const double painted = std::abs(pixel.lightnessF() - paper.lightnessF()) / range;
                        difference += std::abs(painted - qAlpha(symbol.pixel(x, y)) / 255.0);
                    }
                best = std::min(best, difference / (symbol.width() * symbol.height()));
            }
        EXPECT_LT(best, blank / 3) << "the picture beside the text is not the plus symbol";
    }
    // "New Card" on the toolbar, then the tile of the card type.
    void chooseNewCard(const QString& type)
    {
        QAction* newCard = nullptr;
        for (QAction* action : app->toolbar()->bar()->actions()) {
            if (action->objectName() == ToolbarDelegate::newCard)
                newCard = action;
        }
        ASSERT_NE(newCard, nullptr);
        QTest::mouseClick(app->toolbar()->bar()->widgetForAction(newCard), Qt::LeftButton);
        KUVDocPickerViewController* picker = nullptr;
        ASSERT_TRUE(waitFor([&] { return (picker = shown<KUVDocPickerViewController>()) != nullptr; }));
        clickTile(picker, type);
    }
    QStringList footers(PvCardViewController* board) const
    {
        QStringList found;
        for (int row = 0; row < board->model()->rowCount(); ++row) {
            const QModelIndex index = board->model()->index(row, 0);
            found << index.data(CardListModel::TitleRole).toString() + QStringLiteral(" | ") +
                         index.data(CardListModel::CompactFooterRole).toString();
        }
        return found;
    }

    QTemporaryDir dir;
    std::unique_ptr<AppDelegate> app;
    Application running;
    BackgroundWatch background;
};

TEST_F(BoardRoadTest, newStoryCardTypedAndSavedStandsOnTheBoardWithItsWords)
{
    PvCardViewController* board = openNewProject();
    ASSERT_NE(board, nullptr);
    ManagedObjectContext* context = app->managedObjectContext();
    ASSERT_NO_FATAL_FAILURE(chooseNewCard(QStringLiteral("Story")));

    PvEditViewController* editor = nullptr;
    ASSERT_TRUE(waitFor([&] { return (editor = shown<PvEditViewController>()) && editor->contentLoaded(); }));
    EXPECT_EQ(editor->currentObject(), nullptr);
    EXPECT_TRUE(context->isPinned()) << "the store holds still while the editor is up";
    EXPECT_EQ(editor->achievementsManager(), board->achievementsManager());
    EXPECT_NE(board->achievementsManager(), nullptr);
    QTest::keyClicks(editor->editor(), QStringLiteral("Gulls cried at dawn"));
    EXPECT_EQ(editor->statusLabel()->text(), QStringLiteral("Words: 4"));
    ASSERT_TRUE(click(editor->saveButton()));

    ASSERT_TRUE(waitFor([&] { return !shown<PvEditViewController>() && board->model()->rowCount() == 1; }));
    EXPECT_EQ(footers(board), QStringList({QStringLiteral("Gulls cried at dawn | Words: 4")}));
    EXPECT_FALSE(context->isPinned()) << "the board sees the store as it is once the editor closed";
    EXPECT_TRUE(board->isOnScreen());
}

TEST_F(BoardRoadTest, newPersonCardGoesThroughThePopupEditorAndStandsOnTheBoard)
{
    PvCardViewController* board = openNewProject();
    ASSERT_NE(board, nullptr);
    ASSERT_NO_FATAL_FAILURE(chooseNewCardFromTheEmptyBoard(board, QStringLiteral("Person")));

    PvSummaryEditViewController* editor = nullptr;
    ASSERT_TRUE(waitFor([&] { return (editor = shown<PvSummaryEditViewController>()) && editor->contentLoaded(); }));
    EXPECT_EQ(editor->modalPresentationStyle(), PresentationStyle::FullScreen)
        << "the editor is the root of a navigation controller that is the sheet";
    EXPECT_EQ(editor->navigationController()->modalPresentationStyle(), PresentationStyle::FormSheet);
    EXPECT_TRUE(app->managedObjectContext()->isPinned());
    QTest::keyClicks(editor->editor(), QStringLiteral("Keeper of the light"));
    ASSERT_TRUE(click(editor->saveButton()));

    ASSERT_TRUE(waitFor([&] { return !shown<PvSummaryEditViewController>() && board->model()->rowCount() == 1; }));
    // Only a title beginning with "Untitled" gives way to the text.
    EXPECT_EQ(footers(board), QStringList({QStringLiteral("Unnamed Person | Words: 4")}));
    EXPECT_FALSE(app->managedObjectContext()->isPinned());

    // Opened again from its tile: the words are there, and Cancel on an unchanged card closes it.
    QListView* grid = board->collectionView();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 0)).center());
    ASSERT_TRUE(waitFor([&] { return (editor = shown<PvSummaryEditViewController>()) && editor->contentLoaded(); }));
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("Keeper of the light"));
    ASSERT_TRUE(click(editor->cancelButton()));
    ASSERT_TRUE(waitFor([&] { return !shown<PvSummaryEditViewController>(); }));
    EXPECT_FALSE(app->managedObjectContext()->isPinned());
}

} // namespace
