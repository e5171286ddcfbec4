#include "BoardTestFixture.h"
#include "TestScreenshots.h"
#include "board/BoardMenus.h"
#include "board/ProjectOpener.h"
#include "board/ProjectSplitViewController.h"
#include "dialogs/DialogMenuCellView.h"
#include "dialogs/DialogMenuController.h"
#include "editors/CardNotesViewController.h"
#include "editors/PvSummaryEditViewController.h"
#include "editors/SketchViewController.h"
#include "export/KUVDocPickerViewController.h"
#include "platform/FormSheetBackdrop.h"
#include "platform/FormSheetDialog.h"
#include "stats/AchievementViewController.h"
#include "stats/AchievementsManager.h"
#include "stats/SettingsViewController.h"
#include "stats/StatisticsViewController.h"

#include <QAbstractScrollArea>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolBar>
#include <QWindow>
#include <functional>
#include <optional>

// Failures name window sizes as sizes.
inline void PrintTo(const QSize& size, std::ostream* os)
{
    *os << size.width() << "x" << size.height();
}

namespace {

// The project opened in the program's own window, as a writer opens it from the project list, with one sketch
// card among its cards; every sheet the board shows is opened from there.
class BoardSheetsFixture : public BoardTestFixture {
protected:
    void openInWindow(const QSize& size)
    {
        ProjectItem* sketch = add(ProjectItemTypes::Idea, QStringLiteral("Sketch"), 40);
        sketch->setItemFormat(ProjectItemFormats::Sketch);
        context()->save();
        QMainWindow* window = app->window();
        window->resize(size);
        window->show();
        ASSERT_TRUE(waitFor([&] { return window->size() == size && window->centralWidget()->isVisible(); }));
        ProjectOpener::openProject(window->centralWidget(), context(), DbHelpers::getProject(context(), project));
        ASSERT_TRUE(waitFor([&] {
            auto* split = qobject_cast<ProjectSplitViewController*>(window->centralWidget());
            shownBoard = split ? qobject_cast<PvCardViewController*>(split->secondaryViewController()) : nullptr;
            return shownBoard && shownBoard->appearance() == ViewController::Appearance::Appeared &&
                   shownBoard->model()->rowCount() > 0;
        }));
    }
    ~BoardSheetsFixture() override
    {
        if (auto* root = qobject_cast<ViewController*>(app->window()->centralWidget());
            root && root->presentedViewController())
            root->dismiss(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    template <class T> static T* shown()
    {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible() || !qobject_cast<FormSheetDialog*>(top))
                continue;
            for (T* found : top->findChildren<T*>()) {
                if (found->isVisible())
                    return found;
            }
        }
        return nullptr;
    }
    template <class T> T* waitForSheet(const std::function<void()>& open)
    {
        open();
        T* sheet = nullptr;
        EXPECT_TRUE(waitFor([&] { return (sheet = shown<T>()) != nullptr; })) << typeid(T).name();
        return sheet;
    }
    int shownRow(const QString& title) const
    {
        for (int row = 0; row < shownBoard->model()->rowCount(); ++row) {
            if (shownBoard->model()->index(row).data(CardListModel::TitleRole).toString() == title)
                return row;
        }
        return -1;
    }
    QString idOf(const QString& title) const { return item(title)->uniqueIdentifier(); }
    QRect contentArea() const
    {
        QWidget* central = app->window()->centralWidget();
        return {central->mapToGlobal(QPoint(0, 0)), central->size()};
    }
    static QRect globalRect(const QWidget* widget) { return {widget->mapToGlobal(QPoint(0, 0)), widget->size()}; }
    // The sheet holding screen sits in the content area, below the menu bar and the toolbar, over a backdrop that
    // covers the rest of its window.
    void expectPlaced(ViewController* screen, const char* name)
    {
        auto* sheet = qobject_cast<FormSheetDialog*>(screen->window());
        ASSERT_NE(sheet, nullptr) << name;
        QMainWindow* window = app->window();
        const QRect frame = sheet->frameGeometry();
        EXPECT_TRUE(contentArea().contains(frame)) << name << " sheet at " << frame.y() << "+" << frame.height();
        EXPECT_GT(frame.top(), globalRect(window->menuBar()).bottom()) << name;
        for (QToolBar* bar : window->findChildren<QToolBar*>()) {
            if (bar->isVisible() && bar->window() == window) {
                EXPECT_GT(frame.top(), globalRect(bar).bottom()) << name;
            }
        }
        EXPECT_EQ(sheet->windowModality(), Qt::WindowModal) << name;
        FormSheetBackdrop* backdrop = sheet->backdrop();
        ASSERT_NE(backdrop, nullptr) << name;
        EXPECT_TRUE(backdrop->isVisible()) << name;
        EXPECT_EQ(backdrop->geometry(), backdrop->parentWidget()->rect()) << name;
    }
    // Closes screen and whatever sheet lies under it.
    void close(ViewController* screen)
    {
        ASSERT_TRUE(screen->isVisible());
        qobject_cast<ViewController*>(app->window()->centralWidget())->dismiss(false);
        ASSERT_TRUE(waitFor([&] { return !shown<ViewController>(); }));
    }
    // Every sheet the board shows, one after the other, each checked by check and then closed.
    void walkSheets(const std::function<void(ViewController*, const char*)>& check)
    {
        ViewController* chooser = waitForSheet<KUVDocPickerViewController>([&] { shownBoard->showNewCardChooser(); });
        ASSERT_NE(chooser, nullptr);
        check(chooser, "new-card-chooser");
        close(chooser);

        auto* popup = waitForSheet<PvSummaryEditViewController>([&] { shownBoard->selectItem(shownRow("Mara")); });
        ASSERT_NE(popup, nullptr);
        ASSERT_TRUE(waitFor([&] { return popup->contentLoaded(); }));
        check(popup, "popup-editor");
        close(popup);

        auto* sketch = waitForSheet<SketchViewController>([&] { shownBoard->selectItem(shownRow("Sketch")); });
        ASSERT_NE(sketch, nullptr);
        check(sketch, "sketch-popup");
        close(sketch);

        auto* notes = waitForSheet<CardNotesViewController>([&] { shownBoard->notesButtonClicked(shownRow("Mara")); });
        ASSERT_NE(notes, nullptr);
        check(notes, "card-notes");
        close(notes);

        auto* menu = waitForSheet<DialogMenuController>([&] { shownBoard->menus().moveItem(idOf("Mara")); });
        ASSERT_NE(menu, nullptr);
        check(menu, "move-to-folder");
        close(menu);

        auto* stats = waitForSheet<StatisticsViewController>([&] { shownBoard->menus().showStatistics(); });
        ASSERT_NE(stats, nullptr);
        check(stats, "statistics");
        const Achievement* badge =
            stats->achievementsManager()->getAchievementForTag(QStringLiteral("achievement.first.10000.words"));
        ASSERT_NE(badge, nullptr);
        AchievementViewController* achievement =
            AchievementViewController::present(stats, *badge, QStringLiteral("Harbour"), true);
        ASSERT_NE(achievement, nullptr);
        QCoreApplication::processEvents();
        check(achievement, "achievement");
        close(stats);

        auto* settings = waitForSheet<SettingsViewController>([&] { shownBoard->menus().showSettings(); });
        ASSERT_NE(settings, nullptr);
        check(settings, "settings");
        close(settings);
    }

    PvCardViewController* shownBoard = nullptr;
};

class BoardSheetsTest : public BoardSheetsFixture, public ::testing::WithParamInterface<QSize> {};

TEST_P(BoardSheetsTest, everySheetSitsInTheContentAreaOverABackdrop)
{
    openInWindow(GetParam());
    int checked = 0;
    walkSheets([&](ViewController* screen, const char* name) {
        expectPlaced(screen, name);
        ++checked;
    });
    EXPECT_EQ(checked, 8);
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, BoardSheetsTest, ::testing::Values(QSize(1024, 768), QSize(1600, 1000)),
                         [](const ::testing::TestParamInfo<QSize>& info) {
                             return std::to_string(info.param.width()) + "x" + std::to_string(info.param.height());
                         });

class ProjectOpenerTest : public BoardTestFixture {};

TEST_F(ProjectOpenerTest, missingProjectOpensNothingAndKeepsTheList)
{
    QMainWindow* window = app->window();
    ASSERT_NE(window, nullptr);
    window->show();
    QWidget* list = window->centralWidget();
    EXPECT_EQ(ProjectOpener::openProject(list, context(), nullptr), nullptr);
    runEventsFor(20);
    EXPECT_EQ(window->centralWidget(), list);
}

class BoardSheetsAtSmallestWindow : public BoardSheetsFixture {};

TEST_F(BoardSheetsAtSmallestWindow, clickBesideTheSheetLeavesTheBoardAlone)
{
    openInWindow(QSize(1024, 768));
    auto* chooser = waitForSheet<KUVDocPickerViewController>([&] { shownBoard->showNewCardChooser(); });
    ASSERT_NE(chooser, nullptr);
    auto* sheet = qobject_cast<FormSheetDialog*>(chooser->window());
    ASSERT_NE(sheet, nullptr);
    // A card the sheet does not cover.
    QListView* grid = shownBoard->collectionView();
    // A place on a card that the sheet leaves uncovered.
    std::optional<QPoint> onCard;
    for (int row = 0; row < shownBoard->model()->rowCount() && !onCard; ++row) {
        const QRect cell = grid->visualRect(shownBoard->model()->index(row)).adjusted(12, 12, -12, -12);
        for (const QPoint& corner : {cell.topLeft(), cell.topRight(), cell.bottomLeft(), cell.bottomRight()}) {
            const QPoint global = grid->viewport()->mapToGlobal(corner);
            if (!onCard && globalRect(grid->viewport()).contains(global) && !sheet->frameGeometry().contains(global))
                onCard = global;
        }
    }
    ASSERT_TRUE(onCard.has_value());
    QMainWindow* window = app->window();
    FormSheetBackdrop* backdrop = sheet->backdrop();
    EXPECT_EQ(window->childAt(window->mapFromGlobal(*onCard)), backdrop) << "the backdrop lies over the card";
    // As the window system delivers a writer's click: to the window, at the place of the card.
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, window->mapFromGlobal(*onCard));
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, window->mapFromGlobal(*onCard));
    QMouseEvent press(QEvent::MouseButtonPress, backdrop->mapFromGlobal(*onCard), *onCard, Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(backdrop, &press);
    EXPECT_TRUE(press.isAccepted()) << "a press on the backdrop goes no further";

    runEventsFor(200);
    EXPECT_EQ(shown<KUVDocPickerViewController>(), chooser) << "the chooser stays";
    EXPECT_EQ(shown<PvSummaryEditViewController>(), nullptr) << "no card opened behind it";
    EXPECT_FALSE(grid->selectionModel() && grid->selectionModel()->hasSelection());
}

TEST_F(BoardSheetsAtSmallestWindow, statisticsFitAndScrollTheirContent)
{
    openInWindow(QSize(1024, 768));
    auto* stats = waitForSheet<StatisticsViewController>([&] { shownBoard->menus().showStatistics(); });
    ASSERT_NE(stats, nullptr);
    expectPlaced(stats, "statistics");
    EXPECT_LT(stats->window()->height(), stats->preferredContentSize().height())
        << "taller than the room: the sheet is cut to it";
    auto* scroll = stats->findChild<QAbstractScrollArea*>(QStringLiteral("scrollView"));
    ASSERT_NE(scroll, nullptr);
    ASSERT_TRUE(waitFor([&] { return scroll->verticalScrollBar()->maximum() > 0; }));
    EXPECT_TRUE(globalRect(stats->window()).contains(globalRect(scroll->viewport())));
}

TEST_F(BoardSheetsAtSmallestWindow, moveToFolderShowsTheFolderIconOnEveryFolder)
{
    openInWindow(QSize(1024, 768));
    auto* menu = waitForSheet<DialogMenuController>([&] { shownBoard->menus().moveItem(idOf("Mara")); });
    ASSERT_NE(menu, nullptr);
    const QList<DialogMenuCellView*> cells = menu->findChildren<DialogMenuCellView*>();
    ASSERT_EQ(cells.size(), 2) << "Part One and Part One > Chapter";
    for (DialogMenuCellView* cell : cells) {
        EXPECT_TRUE(cell->itemLabelView()->text().startsWith(QStringLiteral("Part One")));
        EXPECT_FALSE(cell->itemImageView()->pixmap().isNull()) << cell->itemLabelView()->text().toStdString();
    }
}

class BoardSheetsPictures : public BoardSheetsFixture {};

TEST_F(BoardSheetsPictures, screenshots)
{
    openInWindow(QSize(1024, 768));
    walkSheets([](ViewController* screen, const char* name) {
        grabInBothAppearances(screen->window(), QStringLiteral("sheet-") + QString::fromUtf8(name));
    });
}

} // namespace
