#include "board/SidebarViewController.h"
#include "board/CardListModel.h"
#include "board/ProjectSplitViewController.h"
#include "board/PvCardViewController.h"
#include "board/SidebarBadgeDelegate.h"
#include "core/AppDelegate.h"
#include "core/DbHelpers.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "dialogs/DialogMenuCellView.h"
#include "dialogs/DialogMenuController.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/ColorScheme.h"
#include "platform/Delays.h"
#include "platform/NavigationController.h"
#include "platform/ProgressHud.h"
#include "platform/UserDefaults.h"
#include "platform/Uuid.h"
#include "platform/store/ManagedObjectContext.h"

#include "TestWait.h"
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using Filters = FilterManager::Filters;

// A launched application with a project of a folder, three Location cards and two Story cards, opened in a
// split view of the sidebar beside the board.
class SidebarViewControllerTest : public ::testing::Test {
protected:
    SidebarViewControllerTest()
        : app(std::make_unique<AppDelegate>(dir.filePath(QStringLiteral("CardStore.sqlite")))),
          running(*qobject_cast<QApplication*>(QCoreApplication::instance()), *app)
    {
        Delays::setFactor(0);
        app->didFinishLaunching();
        UserDefaults::standard().removeObject(PvCardViewController::PrefItemFilter);
        seed();
        sidebar = new SidebarViewController(app->managedObjectContext(), project);
        board = new PvCardViewController;
        board->setCurrentProjectId(project);
        board->setCurrentFolderId(ItemIds::Top);
        split = new ProjectSplitViewController(sidebar, board);
        split->resize(1200, 700);
        split->show();
        ViewController::transitionAppearance(board, true, false);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(split));
    }
    ~SidebarViewControllerTest() override
    {
        ViewController::transitionAppearance(board, false, false);
        delete split;
        for (Alert* alert : Alert::presented())
            alert->trigger(1);
        app.reset();
        ProgressHud::reset();
        Delays::setFactor(1);
    }
    ProjectItem* add(qint64 type, const QString& title, qint64 order)
    {
        auto* item = app->managedObjectContext()->insertNew<ProjectItem>();
        item->setUniqueIdentifier(Uuid::uuidString());
        item->setProjectId(project);
        item->setParentItemId(ItemIds::Top);
        item->setItemType(type);
        item->setTitle(title);
        item->setDisplayOrder(order);
        return item;
    }
    void seed()
    {
        auto* record = app->managedObjectContext()->insertNew<Project>();
        record->setUniqueIdentifier(project);
        record->setProjectTitle(QStringLiteral("Harbour"));
        add(ProjectItemTypes::Folder, QStringLiteral("Folder"), 1);
        for (int i = 0; i < 3; ++i)
            add(ProjectItemTypes::Location, QStringLiteral("Place %1").arg(i), i + 2);
        add(ProjectItemTypes::Story, QStringLiteral("Story A"), 6);
        add(ProjectItemTypes::Story, QStringLiteral("Story B"), 7);
        app->managedObjectContext()->save();
    }
    QString count(Filters filter) const
    {
        return sidebar->rowItem(filter)->data(0, SidebarBadgeDelegate::CountRole).toString();
    }
    void click(Filters filter)
    {
        QTreeWidget* view = sidebar->collectionView();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualItemRect(sidebar->rowItem(filter)).center());
    }

    QTemporaryDir dir;
    std::unique_ptr<AppDelegate> app;
    Application running;
    QString project = QStringLiteral("HARBOUR");
    SidebarViewController* sidebar = nullptr;
    PvCardViewController* board = nullptr;
    ProjectSplitViewController* split = nullptr;
};

TEST_F(SidebarViewControllerTest, countsCoverCardsButNotFolders)
{
    EXPECT_EQ(count(Filters::allCards), QStringLiteral("5"));
    EXPECT_EQ(count(Filters::locationCards), QStringLiteral("3"));
    EXPECT_EQ(count(Filters::storyCards), QStringLiteral("2"));
    EXPECT_EQ(count(Filters::peopleCards), QStringLiteral("0"));
    EXPECT_TRUE(count(Filters::cardsWithTag).isNull());
    EXPECT_EQ(sidebar->collectionView()->topLevelItem(1)->text(0), QStringLiteral("Recent"));
}

TEST_F(SidebarViewControllerTest, cardDeletedByAnotherProcessLowersTheCountsBesideTheBoard)
{
    ASSERT_TRUE(waitFor([&] { return board->model()->rowCount() == 6; }));
    QStringList places;
    for (ProjectItem* item : DbHelpers::getFolderItems(app->managedObjectContext(), project, ItemIds::Top)) {
        if (item->itemType() == ProjectItemTypes::Location)
            places << item->uniqueIdentifier();
    }
    ASSERT_EQ(places.size(), 3);
    // Another copy of the program deletes items and saves.
    const auto deleteElsewhere = [&](const QStringList& ids) {
        QProcess writer;
        writer.start(QStringLiteral(EDITOR_STORE_WRITER_PATH),
                     QStringList({dir.filePath(QStringLiteral("CardStore.sqlite")), QStringLiteral("delete")}) + ids);
        return writer.waitForFinished(30000) && writer.exitCode() == 0;
    };
    ASSERT_TRUE(deleteElsewhere({places.at(0)}));
    ASSERT_TRUE(waitFor([&] { return board->model()->rowCount() == 5; }));
    EXPECT_TRUE(waitFor([&] { return count(Filters::locationCards) == QStringLiteral("2"); }));
    EXPECT_EQ(count(Filters::allCards), QStringLiteral("4"));
    EXPECT_EQ(sidebar->collectionView()->currentItem(), sidebar->rowItem(Filters::allCards));
    // Inside a folder when it goes too, with the last card: the board climbs to the root, and the counts follow
    // again (nothing is left to renumber, so no save of the board's own recounts them by the way).
    ProjectItem* shelf = add(ProjectItemTypes::Folder, QStringLiteral("Shelf"), 6);
    app->managedObjectContext()->save();
    ASSERT_TRUE(waitFor([&] { return board->model()->rowCount() == 6; }));
    const QString shelfId = shelf->uniqueIdentifier();
    QString lastStory;
    for (ProjectItem* item : DbHelpers::getFolderItems(app->managedObjectContext(), project, ItemIds::Top)) {
        if (item->displayOrder() == 5)
            lastStory = item->uniqueIdentifier();
    }
    ASSERT_FALSE(lastStory.isEmpty());
    QListView* grid = board->collectionView();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(board->model()->index(5)).center());
    ASSERT_EQ(board->currentFolderId(), shelfId);
    ASSERT_TRUE(deleteElsewhere({lastStory, shelfId}));
    ASSERT_TRUE(waitFor([&] { return board->currentFolderId() == ItemIds::Top; }));
    EXPECT_TRUE(waitFor([&] { return count(Filters::storyCards) == QStringLiteral("1"); }));
}

TEST_F(SidebarViewControllerTest, clickingLocationFiltersTheBoard)
{
    QSignalSpy reloaded(board, &PvCardViewController::boardReloaded);
    click(Filters::locationCards);
    ASSERT_TRUE(waitFor([&] { return reloaded.count() >= 1; }));
    EXPECT_EQ(board->itemFilter(), ProjectItemTypes::Location);
    EXPECT_EQ(sidebar->filterType(), ProjectItemTypes::Location);
    EXPECT_EQ(board->filteredCards().size(), 3);
    // A section's heading is no filter: clicking it leaves the board as it is.
    QTreeWidget* view = sidebar->collectionView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(view->topLevelItem(1)).center());
    runEventsFor(50);
    EXPECT_EQ(board->itemFilter(), ProjectItemTypes::Location);
    board->clearFilter();
    EXPECT_EQ(sidebar->collectionView()->currentItem(), sidebar->rowItem(Filters::allCards));
}

TEST_F(SidebarViewControllerTest, tagRowLeavesTheFilterUntilATagIsChosen)
{
    click(Filters::cardsWithTag);
    ASSERT_TRUE(waitFor([this] { return board->presentedViewController() != nullptr; })) << "no tag chooser opened";
    EXPECT_EQ(board->itemFilter(), CardFilter::AllCards);
    EXPECT_EQ(sidebar->collectionView()->currentItem(), sidebar->rowItem(Filters::allCards))
        << "the row of the filter in force stays chosen";
    board->dismiss(false);
}

TEST_F(SidebarViewControllerTest, unknownCodeSelectsAllCards)
{
    sidebar->select(9999);
    EXPECT_EQ(sidebar->collectionView()->currentItem(), sidebar->rowItem(Filters::allCards));
    sidebar->select(CardFilter::Last7Days);
    EXPECT_EQ(sidebar->collectionView()->currentItem(), sidebar->rowItem(Filters::recent7Days));
}

TEST_F(SidebarViewControllerTest, sidebarMadeWithoutAStoreCountsFromTheApplications)
{
    // The screen registry makes the sidebar with no arguments; it must still read the open store.
    SidebarViewController made(nullptr, project);
    EXPECT_EQ(made.rowItem(Filters::allCards)->data(0, SidebarBadgeDelegate::CountRole).toString(),
              QStringLiteral("5"));
    EXPECT_EQ(made.rowItem(Filters::locationCards)->data(0, SidebarBadgeDelegate::CountRole).toString(),
              QStringLiteral("3"));
}

TEST_F(SidebarViewControllerTest, reloadReplacesTheRowsInsteadOfAddingToThem)
{
    QTreeWidget* view = sidebar->collectionView();
    const int sections = view->topLevelItemCount();
    ASSERT_EQ(sections, 3);
    sidebar->select(ProjectItemTypes::Location);
    add(ProjectItemTypes::Story, QStringLiteral("Story C"), 8);
    app->managedObjectContext()->save();
    sidebar->reload();
    EXPECT_EQ(view->topLevelItemCount(), sections);
    EXPECT_EQ(count(Filters::storyCards), QStringLiteral("3"));
    EXPECT_EQ(view->currentItem(), sidebar->rowItem(Filters::locationCards)) << "the chosen row stays chosen";
}

TEST_F(SidebarViewControllerTest, sidebarButtonHidesTheSidebarAndShowsItAgain)
{
    ASSERT_TRUE(sidebar->isVisible());
    board->toggleSidebarAnimated();
    EXPECT_FALSE(sidebar->isVisible());
    board->toggleSidebarAnimated();
    EXPECT_TRUE(sidebar->isVisible());
}

TEST_F(SidebarViewControllerTest, withoutASplitViewSelectionsAreIgnored)
{
    SidebarViewController alone(app->managedObjectContext(), project);
    alone.resize(250, 600);
    alone.show();
    QTreeWidget* view = alone.collectionView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualItemRect(alone.rowItem(Filters::locationCards)).center());
    EXPECT_EQ(board->itemFilter(), CardFilter::AllCards);
}

} // namespace

namespace {

// The colours drawn across the right end of a row, where its count badge sits, other than the row's own
// background (read at the row's far right, which no badge reaches).
struct BadgeColours {
    QList<QColor> drawn;
    QColor background;
};

BadgeColours badgeColours(QTreeWidget* view, QTreeWidgetItem* row)
{
    const QImage image = view->viewport()->grab().toImage();
    const QRect rect = view->visualItemRect(row);
    BadgeColours colours{{}, image.pixelColor(rect.right() - 1, rect.center().y())};
    for (int x = rect.right() - 48; x < rect.right() - 2; ++x) {
        for (int y = rect.center().y() - 4; y <= rect.center().y() + 4; ++y) {
            const QColor colour = image.pixelColor(x, y);
            if (colour != colours.background)
                colours.drawn.append(colour);
        }
    }
    return colours;
}

// The badge's fill (its most frequent colour) and how many drawn pixels are clearly lighter or darker than it:
// the digits in one direction, the edges blending into the row in the other.
struct BadgeContrast {
    int fill = 0;
    int lighter = 0;
    int darker = 0;
};

BadgeContrast contrastOf(const QList<QColor>& drawn)
{
    QHash<QRgb, int> counts;
    for (const QColor& colour : drawn)
        ++counts[colour.rgb()];
    QRgb fill = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > counts.value(fill))
            fill = it.key();
    }
    BadgeContrast contrast{QColor(fill).lightness()};
    for (const QColor& colour : drawn) {
        contrast.lighter += colour.lightness() > contrast.fill + 40;
        contrast.darker += colour.lightness() < contrast.fill - 40;
    }
    return contrast;
}

QStringList painterWarnings;
void collectPainterWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("QPainter")))
        painterWarnings.append(message);
}

TEST_F(SidebarViewControllerTest, badgesLeaveThePainterAsTheyFoundIt)
{
    // Location, Story and All Cards show a badge; each must restore only the state it saved.
    ASSERT_EQ(count(Filters::locationCards), QStringLiteral("3"));
    painterWarnings.clear();
    QtMessageHandler previous = qInstallMessageHandler(collectPainterWarnings);
    const QImage image = sidebar->collectionView()->viewport()->grab().toImage();
    qInstallMessageHandler(previous);
    EXPECT_FALSE(image.isNull());
    EXPECT_TRUE(painterWarnings.isEmpty()) << painterWarnings.join(u'\n').toStdString();
}

TEST_F(SidebarViewControllerTest, badgeIsDrawnOnlyForACountNeverUnderItsTitleAndStaysReadableInBothAppearances)
{
    QTreeWidget* view = sidebar->collectionView();
    // A title too long for its row ends before the badge, 2 short of it: from there to the row's end the row is
    // drawn just as beside a short title.
    QTreeWidgetItem* location = sidebar->rowItem(Filters::locationCards);
    const QRect rect = view->visualItemRect(location);
    QFont badgeFont = view->font();
    badgeFont.setPixelSize(SidebarBadgeDelegate::FontSize);
    const int titleEnd =
        rect.right() - QFontMetrics(badgeFont).horizontalAdvance(count(Filters::locationCards)) - 12 - 8;
    const QRect besideBadge(QPoint(titleEnd + 1, rect.top()), rect.bottomRight());
    const QImage shortTitle = view->viewport()->grab().toImage();
    const QString title = location->text(0);
    location->setText(0, QStringLiteral("Locations of the harbour, the lighthouse and the drowned village past it"));
    const QImage longTitle = view->viewport()->grab().toImage();
    location->setText(0, title);
    EXPECT_TRUE(longTitle.copy(besideBadge) == shortTitle.copy(besideBadge)) << "the long title runs under its badge";
    EXPECT_FALSE(longTitle.copy(titleEnd - 12, rect.top(), 12, rect.height()) ==
                 shortTitle.copy(titleEnd - 12, rect.top(), 12, rect.height()))
        << "the long title reaches the badge's side";
    // Location shows 3 and is not the selected row; People shows 0, which draws no badge.
    const BadgeColours lightBadge = badgeColours(view, sidebar->rowItem(Filters::locationCards));
    EXPECT_GT(lightBadge.drawn.size(), 40);
    EXPECT_TRUE(badgeColours(view, sidebar->rowItem(Filters::peopleCards)).drawn.isEmpty());
    const BadgeContrast light = contrastOf(lightBadge.drawn);
    // Dark digits on a light badge.
    EXPECT_GE(light.darker, 5);

    // The desktop's dark scheme replaces the palette of item views too.
    const QPalette lightPalette = QApplication::palette();
    const QPalette lightViews = QApplication::palette("QAbstractItemView");
    QPalette dark = lightPalette;
    dark.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x20));
    dark.setColor(QPalette::Base, QColor(0x16, 0x16, 0x18));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::WindowText, Qt::white);
    QApplication::setPalette(dark);
    QApplication::setPalette(dark, "QAbstractItemView");
    ASSERT_TRUE(waitFor([] { return ColorScheme::isDark(); }));
    const BadgeColours darkBadge = badgeColours(view, sidebar->rowItem(Filters::locationCards));
    const bool darkEmpty = badgeColours(view, sidebar->rowItem(Filters::peopleCards)).drawn.isEmpty();
    QApplication::setPalette(lightPalette);
    QApplication::setPalette(lightViews, "QAbstractItemView");

    EXPECT_GT(darkBadge.drawn.size(), 40);
    EXPECT_TRUE(darkEmpty);
    const BadgeContrast darkContrast = contrastOf(darkBadge.drawn);
    // Light digits on a badge darker than the light appearance's, which would glare on a dark sidebar.
    EXPECT_GE(darkContrast.lighter, 5);
    EXPECT_LT(darkContrast.fill, light.fill);
}

// A row's image as drawn (the first thing drawn in the row, as wide as the view's icons) and the row's own
// background (its most frequent colour).
struct RowPicture {
    QImage image;
    QColor background;
};

int away(const QColor& colour, const QColor& from)
{
    return std::abs(colour.red() - from.red()) + std::abs(colour.green() - from.green()) +
           std::abs(colour.blue() - from.blue());
}

RowPicture rowPicture(QTreeWidget* view, QTreeWidgetItem* row)
{
    const QImage shown = view->viewport()->grab().toImage();
    const QRect rect = view->visualItemRect(row);
    QHash<QRgb, int> counts;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ++counts[shown.pixel(x, y)];
    QRgb most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(most))
            most = it.key();
    const QColor background(most);
    int first = rect.left();
    const auto drawnIn = [&](int x) {
        for (int y = rect.top() + 1; y < rect.bottom(); ++y)
            if (away(shown.pixelColor(x, y), background) > 60)
                return true;
        return false;
    };
    while (first < rect.right() && !drawnIn(first))
        ++first;
    return {shown.copy(first, rect.top() + 1, view->iconSize().width(), rect.height() - 2), background};
}

// The colour of a row's image farthest from the row's background.
QColor strongestImageInk(QTreeWidget* view, QTreeWidgetItem* row)
{
    const RowPicture picture = rowPicture(view, row);
    QColor strongest = picture.background;
    for (int y = 0; y < picture.image.height(); ++y)
        for (int x = 0; x < picture.image.width(); ++x)
            if (away(picture.image.pixelColor(x, y), picture.background) > away(strongest, picture.background))
                strongest = picture.image.pixelColor(x, y);
    return strongest;
}

// How many pixels of a row's image are of a vivid green.
int greenPixels(QTreeWidget* view, QTreeWidgetItem* row)
{
    const QImage image = rowPicture(view, row).image;
    int green = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            green += colour.saturation() > 100 && colour.hue() > 70 && colour.hue() < 170;
        }
    return green;
}

TEST_F(SidebarViewControllerTest, selectedRowsSymbolTakesItsTitlesColourOnTheHighlightInBothAppearances)
{
    QTreeWidget* view = sidebar->collectionView();
    const QPalette lightPalette = QApplication::palette();
    const QPalette lightViews = QApplication::palette("QAbstractItemView");
    QPalette dark = lightPalette;
    dark.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x20));
    dark.setColor(QPalette::Base, QColor(0x16, 0x16, 0x18));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::WindowText, Qt::white);
    for (const bool darkScheme : {false, true}) {
        SCOPED_TRACE(darkScheme ? "dark" : "light");
        QApplication::setPalette(darkScheme ? dark : lightPalette);
        QApplication::setPalette(darkScheme ? dark : lightViews, "QAbstractItemView");
        ASSERT_TRUE(waitFor([&] { return ColorScheme::isDark() == darkScheme; }));
        sidebar->select(CardFilter::Last24Hours);
        const QColor title = view->palette().color(QPalette::HighlightedText);
        const QColor symbol = strongestImageInk(view, sidebar->rowItem(Filters::recent24Hours));
        EXPECT_LT(std::abs(symbol.lightness() - title.lightness()), 40)
            << "the clock is " << symbol.name().toStdString() << " beside a " << title.name().toStdString() << " title";
        // A row not chosen keeps the symbol's own ink, and a chosen card type keeps its picture's colours.
        const QColor unchosen = strongestImageInk(view, sidebar->rowItem(Filters::recent7Days));
        EXPECT_EQ(unchosen.lightness() > 128, darkScheme) << unchosen.name().toStdString();
        sidebar->select(ProjectItemTypes::Location);
        EXPECT_GT(greenPixels(view, sidebar->rowItem(Filters::locationCards)), 40);
    }
    QApplication::setPalette(lightPalette);
    QApplication::setPalette(lightViews, "QAbstractItemView");
}

// The presented menu's row whose label reads title, or nullptr.
QListWidgetItem* menuRow(QListWidget* rows, const QString& title)
{
    for (int i = 0; i < rows->count(); ++i) {
        auto* cell = qobject_cast<DialogMenuCellView*>(rows->itemWidget(rows->item(i)));
        if (cell && cell->itemLabelView()->text() == title)
            return rows->item(i);
    }
    return nullptr;
}

TEST_F(SidebarViewControllerTest, choosingATagFromTheTagRowShowsOnlyCardsWithThatTag)
{
    add(ProjectItemTypes::Story, QStringLiteral("Problem story"), 8)->setTag(QStringLiteral("warning"));
    add(ProjectItemTypes::Story, QStringLiteral("Done story"), 9)->setTag(QStringLiteral("done"));
    add(ProjectItemTypes::Location, QStringLiteral("Problem place"), 10)->setTag(QStringLiteral("warning"));
    app->managedObjectContext()->save();

    click(Filters::cardsWithTag);
    const auto presentedMenu = [this] {
        auto* navigation = qobject_cast<NavigationController*>(board->presentedViewController());
        return navigation ? qobject_cast<DialogMenuController*>(navigation->topViewController()) : nullptr;
    };
    ASSERT_TRUE(waitFor([&] { return presentedMenu() != nullptr; }));
    QListWidget* rows = presentedMenu()->tableView();
    // The row reads the tag's title; the filter keeps its id.
    QListWidgetItem* problem = menuRow(rows, QStringLiteral("Problem"));
    ASSERT_NE(problem, nullptr);
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, rows->visualItemRect(problem).center());

    const auto titles = [this] {
        QStringList list;
        for (const ProjectItem* card : board->filteredCards())
            list.append(card->title());
        return list;
    };
    EXPECT_TRUE(waitFor([&] {
        return titles() == QStringList({"Problem story", "Problem place"});
    })) << titles().join(u',').toStdString();
    EXPECT_EQ(board->itemFilter(), CardFilter::Tagged);
    EXPECT_EQ(board->itemFilterParm(), QStringLiteral("warning"));
    EXPECT_EQ(sidebar->collectionView()->currentItem(), sidebar->rowItem(Filters::cardsWithTag));
}

TEST_F(SidebarViewControllerTest, tagRowOffersNoNoneAndClosingItUnchosenKeepsEveryCard)
{
    click(Filters::cardsWithTag);
    DialogMenuController* menu = nullptr;
    ASSERT_TRUE(waitFor([&] {
        auto* navigation = qobject_cast<NavigationController*>(board->presentedViewController());
        menu = navigation ? qobject_cast<DialogMenuController*>(navigation->topViewController()) : nullptr;
        return menu != nullptr;
    }));
    QListWidget* rows = menu->tableView();
    // Without a card type there is no tag to clear: the filter's chooser starts at "In Progress".
    EXPECT_EQ(menuRow(rows, QStringLiteral("None")), nullptr);
    EXPECT_NE(menuRow(rows, QStringLiteral("In Progress")), nullptr);
    menu->done();
    ASSERT_TRUE(waitFor([&] { return board->presentedViewController() == nullptr; }));
    runEventsFor(50);
    EXPECT_EQ(board->itemFilter(), CardFilter::AllCards);
    // The folder and the five cards, as before.
    EXPECT_EQ(board->filteredCards().size(), 6);
}

TEST_F(SidebarViewControllerTest, sectionHeadingsAreSmallGreyBoldCaptions)
{
    QTreeWidget* view = sidebar->collectionView();
    ASSERT_EQ(view->topLevelItemCount(), 3);
    for (int section = 0; section < view->topLevelItemCount(); ++section) {
        const QTreeWidgetItem* heading = view->topLevelItem(section);
        EXPECT_TRUE(heading->font(0).bold()) << section;
        EXPECT_EQ(heading->font(0).pixelSize(), 11) << section;
        EXPECT_EQ(heading->foreground(0).color(), QColor(Qt::gray)) << section;
        EXPECT_FALSE(heading->font(0).bold() && heading->child(0)->font(0).bold()) << "rows are not bold";
    }
}

} // namespace
