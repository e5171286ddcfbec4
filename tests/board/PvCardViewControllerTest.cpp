#include "board/PvCardViewController.h"
#include "board/BoardEmptyState.h"
#include "board/BoardImportExport.h"
#include "board/CardBoardLoader.h"
#include "board/CardListModel.h"
#include "board/EmptyStateButton.h"
#include "core/AppDelegate.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "core/ToolbarDelegate.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/CircledPlusIconEngine.h"
#include "platform/ColorScheme.h"
#include "platform/Delays.h"
#include "platform/DocumentPicker.h"
#include "platform/NotificationCenter.h"
#include "platform/ProgressHud.h"
#include "platform/Toolbar.h"
#include "platform/UserDefaults.h"
#include "platform/Uuid.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentContainer.h"

#include "TestFiles.h"
#include "TestWait.h"
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// The application launched on a fresh store with one project of a dozen cards, and its board on screen.
class PvCardViewControllerTest : public ::testing::Test {
protected:
    PvCardViewControllerTest()
        : app(std::make_unique<AppDelegate>(dir.filePath(QStringLiteral("CardStore.sqlite")))),
          running(*qobject_cast<QApplication*>(QCoreApplication::instance()), *app)
    {
        Delays::setFactor(0);
        app->didFinishLaunching();
        // The project list puts its own toolbar item in once the launch settles.
        EXPECT_TRUE(
            waitFor([&] { return app->toolbar()->indexOfItemWithIdentifier(ToolbarDelegate::newProject) == 0; }));
        UserDefaults::standard().removeObject(PvCardViewController::PrefItemFilter);
        UserDefaults::standard().removeObject(PvCardViewController::PrefItemFilterParm);
        seed();
        board = new PvCardViewController;
        board->setCurrentProjectId(project);
        board->setCurrentFolderId(ItemIds::Top);
        board->resize(1040, 700);
    }
    ~PvCardViewControllerTest() override
    {
        if (board->isOnScreen())
            ViewController::transitionAppearance(board, false, false);
        delete board;
        for (Alert* alert : Alert::presented())
            alert->trigger(1);
        app.reset();
        ProgressHud::reset();
        Delays::setFactor(1);
    }

    ManagedObjectContext* context() const { return app->managedObjectContext(); }
    ProjectItem* add(qint64 type, const QString& title, qint64 order, const QString& parent = ItemIds::Top)
    {
        auto* item = context()->insertNew<ProjectItem>();
        item->setUniqueIdentifier(Uuid::uuidString());
        item->setProjectId(project);
        item->setParentItemId(parent);
        item->setItemType(type);
        item->setTitle(title);
        item->setTerms(QStringLiteral(" ") + title.toLower());
        item->setDisplayOrder(order);
        item->setSummary(QStringLiteral("A few words about %1 to fill the card.").arg(title.toLower()));
        item->setWordCount(order * 37);
        item->setCharCount(order * 211);
        return item;
    }
    void seed()
    {
        auto* record = context()->insertNew<Project>();
        record->setUniqueIdentifier(project);
        record->setProjectTitle(QStringLiteral("Harbour"));
        record->setDisplayOrder(1);
        const qint64 types[] = {ProjectItemTypes::Story, ProjectItemTypes::Person,  ProjectItemTypes::Location,
                                ProjectItemTypes::Idea,  ProjectItemTypes::Event,   ProjectItemTypes::Question,
                                ProjectItemTypes::Thing, ProjectItemTypes::Reminder};
        ProjectItem* folder = add(ProjectItemTypes::Folder, QStringLiteral("Part One"), 1);
        add(ProjectItemTypes::Story, QStringLiteral("Inside"), 1, folder->uniqueIdentifier());
        const QStringList names = {"Arrival", "Mara", "Lighthouse", "Storm idea", "The wreck", "Who lit it",
                                   "Lantern", "Call", "Departure",  "Old Tom",    "Fog",       "Tide"};
        for (int i = 0; i < names.size(); ++i) {
            ProjectItem* card = add(types[i % 8], names[i], i + 2);
            if (i % 3 == 0)
                card->setTag(QStringLiteral("done"));
            if (i % 4 == 1)
                card->setNotes(QStringLiteral("note"));
        }
        context()->save();
    }
    void appear() { ViewController::transitionAppearance(board, true, false); }
    void settle()
    {
        QSignalSpy reloaded(board, &PvCardViewController::boardReloaded);
        ASSERT_TRUE(waitFor([&] { return reloaded.count() >= 1; }));
    }
    QStringList shownTitles() const
    {
        QStringList list;
        for (int row = 0; row < board->model()->rowCount(); ++row)
            list << board->model()->index(row).data(CardListModel::TitleRole).toString();
        return list;
    }

    QTemporaryDir dir;
    std::unique_ptr<AppDelegate> app;
    Application running;
    QString project = QStringLiteral("HARBOUR");
    PvCardViewController* board = nullptr;
};

// The grid's frame in its viewport's coordinates: the grid with its scroll bar, and with the filter header above it
// while the header shows, as the grid's own first row.
QRect gridFrameOf(const PvCardViewController* board)
{
    const QListView* grid = board->collectionView();
    QRect frame(grid->mapTo(board, QPoint(0, 0)), grid->size());
    if (board->headerView()->isVisibleTo(board))
        frame.setTop(frame.top() - board->headerView()->height());
    return frame.translated(-grid->viewport()->mapTo(board, QPoint(0, 0)));
}

// Where the empty board's picture stands in the grid's viewport: a square of two thirds of the shorter side of the
// grid's frame, centred across it and raised 48 above its middle.
QRect pictureFrameOf(const PvCardViewController* board)
{
    const QRect grid = gridFrameOf(board);
    const double shorter = std::min(grid.width(), grid.height());
    const double side = shorter * 2 / 3;
    return QRect(grid.left() + int(std::lround((grid.width() - side) / 2)),
                 grid.top() + int(std::lround((grid.height() - side) / 2 - 48)), int(std::lround(side)),
                 int(std::lround(side)));
}

// Whether the line's symbol is a circled plus: four arms crossing at its centre, paper between them, and all
// round them a ring, where a bare plus, or a ring round a letter, would not draw the same.
void expectCircledPlus(EmptyStateButton* line)
{
    const QRect slot = line->symbolRect();
    ASSERT_FALSE(slot.isEmpty());
    const QImage shown = line->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const double scale = line->devicePixelRatioF();
    const QColor paper = shown.pixelColor(0, 0);
    const QColor ink = line->palette().color(QPalette::WindowText);
    // Whether the pixel under a point, in the line's coordinates, holds ink.
    const auto inked = [&](QPointF at) {
        const QPoint pixel(int(std::floor(at.x() * scale)), int(std::floor(at.y() * scale)));
        const QColor colour = shown.rect().contains(pixel) ? shown.pixelColor(pixel) : paper;
        return std::abs(colour.lightness() - paper.lightness()) > std::abs(ink.lightness() - paper.lightness()) / 3;
    };
    // The symbol's centre, from the ink found in and just around its place.
    QRectF drawn;
    for (int y = slot.top() - 2; y <= slot.bottom() + 2; ++y)
        for (int x = slot.left() - 2; x <= slot.right() + 2; ++x)
            if (inked(QPointF(x + 0.5, y + 0.5)))
                drawn |= QRectF(x, y, 1, 1);
    ASSERT_FALSE(drawn.isEmpty());
    EXPECT_NEAR(drawn.width(), slot.width() * CircledPlusIconEngine::RingShare, 3) << "the ring and its line";
    const QPointF centre = drawn.center();
    const double ring = slot.width() * CircledPlusIconEngine::RingShare / 2;
    const double arm = slot.width() * CircledPlusIconEngine::ArmShare / 2 * 0.7;
    const double between = ring * 0.5 * M_SQRT1_2;
    // Near a point: the pixel under it or one beside it.
    const auto nearInk = [&](QPointF at) {
        return inked(at) || inked(at + QPointF(0.5, 0.5)) || inked(at - QPointF(0.5, 0.5));
    };
    EXPECT_TRUE(nearInk(centre)) << "the plus crosses at the centre";
    for (const QPointF& way : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)})
        EXPECT_TRUE(nearInk(centre + way * arm)) << "an arm towards " << way.x() << ", " << way.y();
    for (const QPointF& way : {QPointF(1, 1), QPointF(-1, 1), QPointF(1, -1), QPointF(-1, -1)})
        EXPECT_FALSE(inked(centre + way * between)) << "ink between the arms at " << way.x() << ", " << way.y();
    int round = 0;
    for (int step = 0; step < 8; ++step) {
        const double angle = (step * 45 + 22.5) * M_PI / 180;
        // Within a pixel of the ring's line, off the plus's arms.
        bool found = false;
        for (double r = ring - 1; r <= ring + 1; r += 0.5)
            found = found || inked(centre + QPointF(std::cos(angle) * r, std::sin(angle) * r));
        round += found;
    }
    EXPECT_EQ(round, 8) << "a ring surrounds the plus";
}

TEST_F(PvCardViewControllerTest, toolbarItemsComeAndGoByIdentifier)
{
    const QStringList before = app->toolbar()->itemIdentifiers();
    appear();
    const QStringList shown = app->toolbar()->itemIdentifiers();
    ASSERT_GE(shown.size(), 6);
    EXPECT_EQ(shown.mid(0, 6), QStringList({ToolbarDelegate::cardViewHome, ToolbarDelegate::cardViewSidebar,
                                            Toolbar::FlexibleSpaceItemIdentifier, ToolbarDelegate::search,
                                            ToolbarDelegate::newCard, ToolbarDelegate::newFolder}));
    EXPECT_EQ(app->cardViewController, board);
    // An item another screen put first must survive the board's leaving.
    app->toolbar()->insertItemWithItemIdentifier(ToolbarDelegate::compiledBack, 0);
    ViewController::transitionAppearance(board, false, false);
    QStringList expected = before;
    expected.prepend(ToolbarDelegate::compiledBack);
    EXPECT_EQ(app->toolbar()->itemIdentifiers(), expected);
    EXPECT_FALSE(app->search);
}

TEST_F(PvCardViewControllerTest, typedSearchNarrowsAndBlankSearchRestores)
{
    appear();
    EXPECT_EQ(board->model()->rowCount(), 13);
    ASSERT_TRUE(app->search);
    app->search(QStringLiteral("light"));
    ASSERT_NO_FATAL_FAILURE(settle());
    EXPECT_EQ(shownTitles(), QStringList({"Lighthouse"}));
    app->search(QStringLiteral("inside"));
    ASSERT_NO_FATAL_FAILURE(settle());
    EXPECT_EQ(shownTitles(), QStringList({"Part One"}));
    app->search(QStringLiteral("zzz"));
    ASSERT_NO_FATAL_FAILURE(settle());
    EXPECT_TRUE(board->emptyStateLabel()->isVisibleTo(board));
    EXPECT_EQ(board->emptyStateLabel()->text(), QStringLiteral("No cards match your search"));
    app->search(QStringLiteral("   "));
    ASSERT_NO_FATAL_FAILURE(settle());
    EXPECT_EQ(board->model()->rowCount(), 13);
    EXPECT_TRUE(board->itemQueryText().isNull());
}

TEST_F(PvCardViewControllerTest, filterIsRememberedAndNamedInTheHeader)
{
    appear();
    EXPECT_FALSE(board->headerView()->isVisibleTo(board));
    board->setItemFilter(CardFilter::Tagged, QStringLiteral("done"));
    ASSERT_NO_FATAL_FAILURE(settle());
    EXPECT_EQ(board->model()->rowCount(), 4);
    EXPECT_TRUE(board->headerView()->isVisibleTo(board));
    EXPECT_EQ(board->headerLabel()->text(), QStringLiteral("Cards with Done tag"));
    EXPECT_EQ(UserDefaults::standard().integerForKey(PvCardViewController::PrefItemFilter), CardFilter::Tagged);
    // The header's one button, a bare glyph, says what it does.
    auto* clear = board->headerView()->findChild<QToolButton*>();
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(clear->toolTip(), QStringLiteral("Clear Filter"));
    clear->click();
    ASSERT_NO_FATAL_FAILURE(settle());
    EXPECT_EQ(board->model()->rowCount(), 13);
    EXPECT_FALSE(UserDefaults::standard().value(PvCardViewController::PrefItemFilterParm).isValid());
}

// The header's icon as shown on the header.
QImage headerIconOf(PvCardViewController* board)
{
    for (QLabel* label : board->headerView()->findChildren<QLabel*>())
        if (!label->pixmap().isNull())
            return label->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    return {};
}

// Whether every pixel of picture is its ground, the tint or a blend of the two, and some pixel is nearly the tint:
// a glyph in the tint alone.
bool inTintAlone(const QImage& picture, const QColor& tint)
{
    const QColor ground = picture.pixelColor(0, 0);
    const double dr = tint.red() - ground.red(), dg = tint.green() - ground.green(), db = tint.blue() - ground.blue();
    const double length = dr * dr + dg * dg + db * db;
    double strongest = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            const double share = ((pixel.red() - ground.red()) * dr + (pixel.green() - ground.green()) * dg +
                                  (pixel.blue() - ground.blue()) * db) /
                                 length;
            const QColor onLine(int(std::lround(ground.red() + share * dr)),
                                int(std::lround(ground.green() + share * dg)),
                                int(std::lround(ground.blue() + share * db)));
            const int off = std::max({std::abs(pixel.red() - onLine.red()), std::abs(pixel.green() - onLine.green()),
                                      std::abs(pixel.blue() - onLine.blue())});
            if (share < -0.05 || share > 1.05 || off > 12)
                return false;
            strongest = std::max(strongest, share);
        }
    return strongest > 0.8;
}

TEST_F(PvCardViewControllerTest, headerDrawsEveryFiltersIconInItsTextColourInEitherScheme)
{
    board->show();
    appear();
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x25, 0x25, 0x24));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    const QList<QPair<qint64, QString>> filters = {{CardFilter::OpenIssues, {}},     {CardFilter::WithNotes, {}},
                                                   {CardFilter::Tagged, "question"}, {CardFilter::Tagged, "done"},
                                                   {CardFilter::Tagged, "draft-3"},  {CardFilter::Last24Hours, {}},
                                                   {ProjectItemTypes::Question, {}}, {ProjectItemTypes::Idea, {}}};
    for (const bool darkScheme : {false, true}) {
        QApplication::setPalette(darkScheme ? dark : light);
        ASSERT_TRUE(waitFor([&] { return ColorScheme::isDark() == darkScheme; }));
        for (const auto& [filter, parm] : filters) {
            SCOPED_TRACE(testing::Message() << filter << " " << parm.toStdString() << (darkScheme ? " dark" : ""));
            board->setItemFilter(filter, parm);
            ASSERT_NO_FATAL_FAILURE(settle());
            const QImage icon = headerIconOf(board);
            ASSERT_FALSE(icon.isNull());
            const QColor tint = board->headerLabel()->palette().color(QPalette::WindowText);
            EXPECT_TRUE(inTintAlone(icon, tint)) << "not all in " << tint.name().toStdString();
            // So is the glyph of its clear button.
            auto* clear = board->headerView()->findChild<QToolButton*>();
            ASSERT_TRUE(clear);
            EXPECT_TRUE(inTintAlone(clear->grab().toImage().convertToFormat(QImage::Format_ARGB32), tint));
        }
    }
    QApplication::setPalette(light);
    UserDefaults::standard().removeObject(PvCardViewController::PrefItemFilter);
    UserDefaults::standard().removeObject(PvCardViewController::PrefItemFilterParm);
}

TEST_F(PvCardViewControllerTest, remoteReloadWaitsForTheDragToEnd)
{
    appear();
    board->setDragging(true);
    add(ProjectItemTypes::Story, QStringLiteral("Late"), 40);
    context()->save();
    const qint64 saved = context()->lastHistoryToken();
    ASSERT_TRUE(waitFor([&] { return board->historyToken() == saved; })) << "the notice reached the board";
    runEventsFor(2 * PvCardViewController::RemoteReloadDelayMs);
    EXPECT_EQ(board->model()->rowCount(), 13);
    EXPECT_TRUE(board->reloadPending());
    board->setDragging(false);
    ASSERT_NO_FATAL_FAILURE(settle());
    EXPECT_EQ(board->model()->rowCount(), 14);
    // Asked to listen while it listens (an import ending as the board comes back), one stop still ends it all.
    board->remoteChanges().startObserving();
    board->remoteChanges().stopObserving();
    const qint64 seen = board->historyToken();
    int notices = 0;
    const int heard = NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(PersistentContainer::RemoteChangeNotification), nullptr,
        [&notices](const Notification&) { ++notices; });
    add(ProjectItemTypes::Story, QStringLiteral("Later"), 41);
    context()->save();
    const bool noticed = waitFor([&] { return notices > 0; });
    NotificationCenter::defaultCenter().removeObserver(heard);
    ASSERT_TRUE(noticed);
    EXPECT_EQ(board->historyToken(), seen) << "a listener outlived the stop";
}

TEST_F(PvCardViewControllerTest, cardImportLeavesItsOwnSaveToTheNextNoticeInsteadOfReloadingTwice)
{
    appear();
    const QString path = writeTestFile(dir, QStringLiteral("Gull.txt"), QByteArray("A gull on the mast."));
    DocumentPicker::setPickChooser(
        [path](QWidget*, const QString&, const QStringList&, DocumentPicker::Done done) { done(path); });
    QSignalSpy imported(board->importExport(), &BoardImportExport::importFinished);
    const qint64 before = board->historyToken();
    board->importExport()->importRow(BoardImportExport::ImportPlainText);
    // The save's notice is queued before the import's end, so a board still listening has read it by now.
    ASSERT_TRUE(waitFor([&] { return imported.count() == 1; }));
    DocumentPicker::setPickChooser({});
    EXPECT_TRUE(imported.first().first().toBool());
    EXPECT_EQ(board->historyToken(), before) << "the board read its own import as a change from elsewhere";
    ASSERT_TRUE(waitFor([&] { return board->model()->rowCount() == 14; }));
    // Listening again, the next notice takes in the import's save with its own.
    add(ProjectItemTypes::Story, QStringLiteral("Late"), 40);
    context()->save();
    const qint64 saved = context()->lastHistoryToken();
    ASSERT_TRUE(waitFor([&] { return board->historyToken() == saved; }));
    ASSERT_NO_FATAL_FAILURE(settle());
    EXPECT_EQ(board->model()->rowCount(), 15);
}

TEST_F(PvCardViewControllerTest, emptyFolderShowsItsAddSymbolAgainAfterAnEmptySearch)
{
    const QString blank = add(ProjectItemTypes::Folder, QStringLiteral("Blank"), 30)->uniqueIdentifier();
    context()->save();
    board->setCurrentFolderId(blank);
    board->show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(board->emptyStateButton()->isVisibleTo(board)) << "nothing is said before the first load";
    EXPECT_FALSE(board->emptyStateLabel()->isVisibleTo(board));
    appear();
    ASSERT_TRUE(app->search);
    app->search(QStringLiteral("zzz"));
    ASSERT_NO_FATAL_FAILURE(settle());
    QLabel* label = board->emptyStateLabel();
    ASSERT_TRUE(label->isVisibleTo(board));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_FALSE(board->emptyStateButton()->isVisibleTo(board)) << "a search that matches nothing adds nothing";
    app->search(QStringLiteral("   "));
    ASSERT_NO_FATAL_FAILURE(settle());
    EXPECT_FALSE(label->isVisibleTo(board));
    ASSERT_TRUE(board->emptyStateButton()->isVisibleTo(board)) << "the line with the add symbol is back";
    EXPECT_EQ(board->emptyStateButton()->geometry().top(), pictureFrameOf(board).bottom() + 1 + 24);
    // Set at 17 pixels as the no-match line was: its words and symbol take the width that font gives them.
    EmptyStateButton* call = board->emptyStateButton();
    EXPECT_EQ(label->font().pixelSize(), 17);
    const QFontMetrics metrics(label->font());
    const int words = metrics.horizontalAdvance(EmptyStateButton::LeadText) +
                      metrics.horizontalAdvance(CardBoardLoader::AddCardSuffix) + call->symbolRect().width();
    const QImage shown = call->grab().toImage();
    const double scale = call->devicePixelRatioF();
    int first = shown.width();
    int last = -1;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != shown.pixel(0, 0)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    EXPECT_NEAR((last - first + 1) / scale, words, 6);
    EXPECT_NEAR((first + last + 1) / 2.0 / scale, call->width() / 2.0, 3) << "centred on the board";
}

// How far a pixel's colour is from another's, by its largest channel difference.
int distance(const QColor& a, const QColor& b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

// What the empty board shows: its picture where the board's size puts it, the board's own background around it,
// and the line 24 below it. Answers the picture as shown.
QImage expectPictureAboveTheLine(PvCardViewController* board, QWidget* line)
{
    QWidget* viewport = board->collectionView()->viewport();
    const QRect frame = pictureFrameOf(board);
    EXPECT_TRUE(board->emptyState()->picture()->isVisibleTo(board));
    EXPECT_EQ(board->emptyState()->picture()->geometry(), frame);
    EXPECT_EQ(line->geometry().top(), frame.bottom() + 1 + 24);
    EXPECT_EQ(line->geometry().left(), gridFrameOf(board).left());
    EXPECT_EQ(line->width(), gridFrameOf(board).width());
    EXPECT_EQ(line->height(), 24) << "one line";
    const QImage shown = viewport->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const int scale = int(std::lround(viewport->devicePixelRatioF()));
    const auto at = [&](int x, int y) {
        return shown.pixelColor(x * scale, y * scale);
    };
    const QColor background = at(frame.center().x(), 2);
    // Just outside the frame, in its column and its rows, the board's background; just inside, the picture.
    int drawnInside = 0;
    int inside = 0;
    for (int x = frame.left() + frame.width() / 4; x < frame.right() - frame.width() / 4; ++x) {
        EXPECT_LE(distance(at(x, frame.top() - 3), background), 2) << "above, at " << x;
        EXPECT_LE(distance(at(x, frame.bottom() + 3), background), 2) << "below, at " << x;
        drawnInside += distance(at(x, frame.top() + 3), background) > 6;
        drawnInside += distance(at(x, frame.bottom() - 3), background) > 6;
        inside += 2;
    }
    for (int y = frame.top() + frame.height() / 4; y < frame.bottom() - frame.height() / 4; ++y) {
        EXPECT_LE(distance(at(frame.left() - 3, y), background), 2) << "left, at " << y;
        EXPECT_LE(distance(at(frame.right() + 3, y), background), 2) << "right, at " << y;
        drawnInside += distance(at(frame.left() + 3, y), background) > 6;
        drawnInside += distance(at(frame.right() - 3, y), background) > 6;
        inside += 2;
    }
    EXPECT_EQ(drawnInside, inside) << "the picture fills its frame to the edges";
    return shown.copy(QRect(frame.topLeft() * scale, frame.size() * scale));
}

// The lightness of the ink farthest from the widget's paper.
int inkLightness(QWidget* widget)
{
    const QImage shown = widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const int paper = shown.pixelColor(0, 0).lightness();
    int ink = paper;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const int lightness = shown.pixelColor(x, y).lightness();
            ink = std::abs(lightness - paper) > std::abs(ink - paper) ? lightness : ink;
        }
    return ink;
}

// The share of a picture's pixels that are nearly white.
double shareOfPaper(const QImage& picture)
{
    int paper = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            paper += picture.pixelColor(x, y).lightness() > 235;
    return double(paper) / (picture.width() * picture.height());
}

// Whether some pixel of picture has nearly the colour.
bool holdsColour(const QImage& picture, const QColor& colour)
{
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (distance(picture.pixelColor(x, y), colour) <= 3)
                return true;
    return false;
}

TEST_F(PvCardViewControllerTest, emptyBoardShowsTheFilteredTypesPictureAboveItsLineInEitherScheme)
{
    const QString blank = add(ProjectItemTypes::Folder, QStringLiteral("Blank"), 30)->uniqueIdentifier();
    context()->save();
    board->setCurrentFolderId(blank);
    board->show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(board->emptyState()->picture()->isVisibleTo(board)) << "nothing is drawn before the first load";
    appear();
    ASSERT_TRUE(waitFor([&] { return board->emptyStateButton()->isVisibleTo(board); }));
    // A press on the picture lands on the board under it, as on any empty part of the grid.
    QWidget* picture = board->emptyState()->picture();
    EXPECT_NE(picture->parentWidget()->childAt(picture->geometry().center()), picture);
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x25, 0x25, 0x24));
    dark.setColor(QPalette::Base, QColor(0x25, 0x25, 0x24));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    const QColor location = board->cardProps().propForIntCardType(ProjectItemTypes::Location).cardColor();
    QList<QImage> pictures;
    for (const bool darkScheme : {false, true}) {
        QApplication::setPalette(darkScheme ? dark : light);
        ASSERT_TRUE(waitFor([&] { return ColorScheme::isDark() == darkScheme; }));
        QCoreApplication::processEvents();
        board->setItemFilter(CardFilter::AllCards, QString());
        ASSERT_NO_FATAL_FAILURE(settle());
        ASSERT_TRUE(board->emptyStateButton()->isVisibleTo(board));
        // The grid takes the room the header leaves.
        QCoreApplication::processEvents();
        const QImage all = expectPictureAboveTheLine(board, board->emptyStateButton());
        ASSERT_NO_FATAL_FAILURE(expectCircledPlus(board->emptyStateButton()));
        const QRect allOnBoard(board->emptyState()->picture()->mapTo(board, QPoint(0, 0)),
                               board->emptyState()->picture()->size());
        board->setItemFilter(ProjectItemTypes::Location, QString());
        ASSERT_NO_FATAL_FAILURE(settle());
        ASSERT_TRUE(board->emptyStateLabel()->isVisibleTo(board));
        ASSERT_TRUE(waitFor([&] { return board->headerView()->isVisible(); }));
        QCoreApplication::processEvents();
        const QImage place = expectPictureAboveTheLine(board, board->emptyStateLabel());
        EXPECT_EQ(
            QRect(board->emptyState()->picture()->mapTo(board, QPoint(0, 0)), board->emptyState()->picture()->size()),
            allOnBoard)
            << "the filter header moves the picture neither down nor smaller";
        EXPECT_NE(place, all) << "each type has its own picture";
        EXPECT_TRUE(holdsColour(place, location)) << "the picture of places wears their colour";
        EXPECT_EQ(inkLightness(board->emptyStateLabel()) > 128, darkScheme) << "the line reads on the scheme";
        ASSERT_TRUE(app->search);
        app->search(QStringLiteral("zzz"));
        ASSERT_NO_FATAL_FAILURE(settle());
        EXPECT_EQ(expectPictureAboveTheLine(board, board->emptyStateLabel()), place) << "a search keeps the picture";
        app->search(QString());
        ASSERT_NO_FATAL_FAILURE(settle());
        pictures << all << place;
        // Open issues have no type, so no picture: the frame shows the board's background only.
        board->setItemFilter(CardFilter::OpenIssues, QString());
        ASSERT_NO_FATAL_FAILURE(settle());
        ASSERT_TRUE(board->emptyStateLabel()->isVisibleTo(board));
        EXPECT_FALSE(board->emptyState()->picture()->isVisibleTo(board));
        QWidget* viewport = board->collectionView()->viewport();
        const QImage shown = viewport->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const int scale = int(std::lround(viewport->devicePixelRatioF()));
        const QRect frame = pictureFrameOf(board);
        const QColor background = shown.pixelColor(frame.center().x() * scale, 2 * scale);
        int drawn = 0;
        for (int y = frame.top(); y <= frame.bottom(); y += 4)
            for (int x = frame.left(); x <= frame.right(); x += 4)
                drawn += distance(shown.pixelColor(x * scale, y * scale), background) > 2;
        EXPECT_EQ(drawn, 0) << "a filter without a type draws no picture";
    }
    QApplication::setPalette(light);
    // The filter is remembered for the next board; the next test starts from all cards.
    UserDefaults::standard().removeObject(PvCardViewController::PrefItemFilter);
    ASSERT_EQ(pictures.size(), 4);
    // Light paper on a light board; on a dark one the cards turn dark too, leaving little but the emblem white.
    for (int type = 0; type < 2; ++type) {
        EXPECT_GT(shareOfPaper(pictures[type]), 0.2) << type;
        EXPECT_LT(shareOfPaper(pictures[type + 2]), 0.05) << type;
    }
}

TEST_F(PvCardViewControllerTest, cellsFollowTheGridOfTheBoardsWidth)
{
    UserDefaults::standard().setValue(PvCardViewController::PrefCompactCards, false);
    board->show();
    appear();
    QListView* view = board->collectionView();
    // The cells' grid puts half the spacing of 20 inside the viewport at either edge, and the view keeps its last
    // pixel column free: a viewport of 1000 - 20 + 1 lays out a board 1000 wide. Tall enough for no scroll bar
    // to come and go.
    const auto boardWidthOf1000 = [&] {
        for (int attempt = 0; attempt < 5; ++attempt) {
            board->resize(board->width() + 981 - view->viewport()->width(), 1400);
            if (waitFor([&] { return view->viewport()->width() == 981; }, 5000))
                return true;
        }
        return false;
    };
    const auto top = [&](int row) {
        return view->visualRect(board->model()->index(row)).top();
    };
    ASSERT_TRUE(boardWidthOf1000());
    // Large cards: three columns of 306 x 204, each with the spacing of 20 around it.
    EXPECT_TRUE(waitFor([&] { return view->gridSize() == QSize(306 + 20, 204 + 20); })) << view->gridSize().width();
    EXPECT_TRUE(waitFor([&] { return top(2) == top(0) && top(3) > top(0); }));

    // Compact cards: four columns of 225 x 168, which fill the width exactly.
    board->setCompactCards(true);
    ASSERT_TRUE(boardWidthOf1000());
    EXPECT_TRUE(waitFor([&] { return view->gridSize() == QSize(225 + 20, 168 + 20); })) << view->gridSize().width();
    EXPECT_TRUE(waitFor([&] { return top(3) == top(0) && top(4) > top(0); }));
}

TEST_F(PvCardViewControllerTest, boardMenuButtonSitsInsideTheBottomBarsMargins)
{
    board->show();
    appear();
    // Found by name, as tools that drive the board find it.
    auto* bar = board->findChild<QWidget*>(QStringLiteral("toolbarView"));
    ASSERT_EQ(bar, board->toolbarView());
    QWidget* button = board->contextButton();
    ASSERT_TRUE(waitFor([&] { return bar->geometry().bottom() == board->height() - 1; }));
    ASSERT_TRUE(waitFor([&] { return button->geometry().right() == bar->width() - 12 - 1; }))
        << button->geometry().right() << " in " << bar->width();
    EXPECT_EQ(button->width(), button->sizeHint().width()) << "the button keeps its size at the bar's right end";
    EXPECT_EQ(button->geometry().top(), 4);
    EXPECT_EQ(button->geometry().bottom(), bar->height() - 4 - 1);
}

TEST_F(PvCardViewControllerTest, boardShownBeforeItsFirstLoadShowsNoFilterHeader)
{
    // The project list slides the new board in before it has appeared and loaded: with every card shown there
    // is no filter to name, so no empty header bar may slide in with it.
    board->show();
    ASSERT_EQ(board->itemFilter(), CardFilter::AllCards);
    EXPECT_FALSE(board->headerView()->isVisible());
}

TEST_F(PvCardViewControllerTest, emptyMessageWrapsInANarrowBoard)
{
    board->show();
    appear();
    QWidget* viewport = board->collectionView()->viewport();
    board->resize(190, 600);
    ASSERT_TRUE(waitFor([&] { return viewport->width() < 190; }));
    ASSERT_TRUE(app->search);
    app->search(QStringLiteral("zzz"));
    ASSERT_NO_FATAL_FAILURE(settle());
    QLabel* label = board->emptyStateLabel();
    ASSERT_TRUE(label->isVisibleTo(board));
    ASSERT_GT(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << "wider than one line holds";
    const QImage shown = label->grab().toImage();
    // Broken into lines, each centred: no text reaches the label's sides.
    const QRgb background = shown.pixel(0, 0);
    for (int y = 0; y < shown.height(); ++y) {
        ASSERT_EQ(shown.pixel(0, y), background) << y;
        ASSERT_EQ(shown.pixel(shown.width() - 1, y), background) << y;
    }
}

TEST(PvCardViewControllerWithoutStore, seesNoChangeFromElsewhere)
{
    // Without a store there is no history to read: a notice from another store is no change to this board.
    PvCardViewController board(nullptr);
    ASSERT_EQ(board.context(), nullptr);
    EXPECT_FALSE(board.hasRelevantHistoryChanges());
}

} // namespace
