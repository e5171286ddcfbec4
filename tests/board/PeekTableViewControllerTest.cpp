#include "PeekFixture.h"
#include "board/PeekListModel.h"
#include "board/PeekPanelLink.h"
#include "core/DbHelpers.h"
#include "editors/CardEditorFields.h"
#include "editors/NoResignTextField.h"
#include "editors/PeekCellView.h"
#include "platform/SideMenuNavigationController.h"

#include "TestScreenshots.h"
#include "TestWait.h"
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <optional>

namespace {

class PeekTableViewControllerTest : public ::testing::Test, public PeekFixture {
protected:
    PeekTableViewControllerTest()
    {
        PeekTableViewController::setOpenCardHook([this](const PeekCardRequest& request) { opened.append(request); });
    }
    ~PeekTableViewControllerTest() override
    {
        PeekTableViewController::setOpenCardHook({});
        panel.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void show(QSize size = {400, 700})
    {
        panel = makePanel();
        panel->resize(size);
        panel->show();
        ViewController::transitionAppearance(panel.get(), true, false);
        panel->activateWindow();
        ASSERT_TRUE(waitFor([this] { return panel->isActiveWindow(); }));
        // The list paints what is on screen, reading those folders' cards.
        panel->grab();
    }

    void type(const QString& text)
    {
        panel->filterTextField()->setFocus();
        QTest::keyClicks(panel->filterTextField(), text);
    }

    QStringList sectionPaths() const
    {
        QStringList paths;
        PeekListModel* model = panel->model();
        for (int section = 0; section < model->sectionCount(); ++section)
            paths << model->data(model->indexForHeader(section)).toString();
        return paths;
    }

    QStringList titlesIn(int section) const
    {
        QStringList titles;
        PeekListModel* model = panel->model();
        for (int row = 0; row < model->rowsInSection(section); ++row)
            titles << model->data(model->indexForCard(section, row)).toString();
        return titles;
    }

    // Every card title shown, section by section.
    QStringList allTitles() const
    {
        QStringList titles;
        for (int section = 0; section < panel->model()->sectionCount(); ++section)
            titles << titlesIn(section);
        return titles;
    }

    void clickCard(int section, int row)
    {
        const QModelIndex index = panel->model()->indexForCard(section, row);
        ASSERT_TRUE(index.isValid());
        panel->tableView()->scrollTo(index);
        const QRect rect = panel->tableView()->visualRect(index);
        ASSERT_FALSE(rect.isEmpty());
        QTest::mouseClick(panel->tableView()->viewport(), Qt::LeftButton, {}, rect.center());
    }

    QAction* menuAction(const QString& title) const
    {
        for (QAction* action : panel->projectMenu()->actions()) {
            if (action->text() == title)
                return action;
        }
        return nullptr;
    }

    std::unique_ptr<PeekTableViewController> panel;
    QList<PeekCardRequest> opened;
};

// --- Sections

TEST_F(PeekTableViewControllerTest, topLevelComesFirstThenFoldersDepthFirstByPath)
{
    show();
    EXPECT_EQ(sectionPaths(), (QStringList{"Top Level", "Act One", "Act One > Chapter 1", "Act Two", "Empty"}));
    EXPECT_EQ(titlesIn(0), (QStringList{"Lighthouse", "Storm"}));
    EXPECT_EQ(titlesIn(4), QStringList());
}

TEST_F(PeekTableViewControllerTest, editedCardIsNeverListedInItsFolder)
{
    show();
    EXPECT_EQ(titlesIn(1), QStringList{"Arrival"});
    EXPECT_FALSE(allTitles().contains("Departure"));
}

TEST_F(PeekTableViewControllerTest, editedCardIsNeverListedInFilterResults)
{
    show();
    type("keeper");
    ASSERT_TRUE(panel->filtering());
    EXPECT_FALSE(allTitles().contains("Departure"));
    EXPECT_EQ(allTitles(), (QStringList{"Lighthouse", "Keeper's Daughter"}));
}

TEST_F(PeekTableViewControllerTest, editedCardSetAfterRowsWereReadIsDroppedFromThem)
{
    show();
    ASSERT_TRUE(allTitles().contains("Arrival"));
    panel->setCurrentObject(DbHelpers::getItem(store.context(), QStringLiteral("A1")));
    EXPECT_FALSE(allTitles().contains("Arrival"));
    EXPECT_TRUE(allTitles().contains("Departure"));
}

TEST_F(PeekTableViewControllerTest, rowsAreReadOnlyForFoldersOnScreen)
{
    for (int folder = 0; folder < 40; ++folder) {
        const QString folderId = QStringLiteral("M%1").arg(folder);
        addItem(folderId, QStringLiteral("P1"), ItemIds::Top, ProjectItemTypes::Folder, "More", 10 + folder);
        for (int card = 0; card < 5; ++card)
            addItem(QStringLiteral("%1-%2").arg(folderId).arg(card), QStringLiteral("P1"), folderId,
                    ProjectItemTypes::Idea, "Filler", card + 1);
    }
    store.context()->save();
    show({400, 500});
    const qsizetype readAtOpen = panel->items().size();
    EXPECT_GT(readAtOpen, 0);
    // 45 folders of 6 rows and more cannot all fit in 500 points.
    EXPECT_LT(readAtOpen, 15);
    EXPECT_FALSE(panel->items().contains(QStringLiteral("M39")));
    panel->tableView()->scrollToBottom();
    panel->grab();
    EXPECT_TRUE(panel->items().contains(QStringLiteral("M39")));
    EXPECT_EQ(panel->items().value(QStringLiteral("M39")).size(), 5);
}

TEST_F(PeekTableViewControllerTest, filterMatchingManyFoldersReadsOnlyThoseOnScreen)
{
    for (int folder = 0; folder < 40; ++folder) {
        const QString folderId = QStringLiteral("M%1").arg(folder);
        addItem(folderId, QStringLiteral("P1"), ItemIds::Top, ProjectItemTypes::Folder, "More", 10 + folder);
        for (int card = 0; card < 5; ++card)
            addItem(QStringLiteral("%1-%2").arg(folderId).arg(card), QStringLiteral("P1"), folderId,
                    ProjectItemTypes::Idea, "Filler", card + 1, " filler");
    }
    store.context()->save();
    show({400, 500});
    type("fill");
    panel->grab();
    ASSERT_EQ(panel->model()->sectionCount(), 40);
    const qsizetype read = panel->model()->filteredItems().size();
    EXPECT_GT(read, 0);
    EXPECT_LT(read, 15);
    panel->tableView()->scrollToBottom();
    panel->grab();
    EXPECT_EQ(panel->model()->filteredItems().value(QStringLiteral("M39")).size(), 5);
}

TEST_F(PeekTableViewControllerTest, cardAddedAfterCountingStillGetsItsRow)
{
    show({400, 700});
    addItem(QStringLiteral("F4-new"), QStringLiteral("P1"), QStringLiteral("F4"), ProjectItemTypes::Idea, "Late", 1);
    store.context()->save();
    panel->reloadFolder(QStringLiteral("F4"));
    EXPECT_EQ(titlesIn(4), QStringList{"Late"});
}

// --- Filtering

TEST_F(PeekTableViewControllerTest, filterKeepsOnlyFoldersWithMatchesInFolderOrder)
{
    show();
    type("keep");
    ASSERT_TRUE(panel->filtering());
    EXPECT_EQ(sectionPaths(), (QStringList{"Top Level", "Act Two"}));
    EXPECT_EQ(titlesIn(1), QStringList{"Keeper's Daughter"});
}

TEST_F(PeekTableViewControllerTest, cellShowsTheCardsTitleAndSummaryEndingAtWholeLines)
{
    panel = makePanel();
    PeekCellView cell;
    panel->configureCell(&cell, nullptr);
    cell.resize(400, cell.cellHeight());
    panel->configureCell(&cell, departure);
    EXPECT_EQ(cell.cardTitleView()->text(), departure->title());
    EXPECT_EQ(cell.cardSummaryView()->text().replace(QLatin1Char('\n'), QLatin1Char(' ')), departure->summary())
        << "a summary the two lines hold is shown whole";
    // A summary longer than the cell's two lines ends with the last whole line that fits, cut with "…".
    departure->setSummary(
        QStringLiteral("The ferry left before the light came up over the harbour, and she stood at the "
                       "rail and did not look back at the keeper's house, nor at the gulls, nor at "
                       "the long grey line of the breakwater where her father had once stood."));
    panel->configureCell(&cell, departure);
    QLabel* summary = cell.cardSummaryView();
    const QStringList lines = summary->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), PeekCellView::SummaryLines);
    EXPECT_TRUE(departure->summary().startsWith(lines.first()));
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("\u2026")));
    const QFontMetrics metrics(summary->font());
    for (const QString& line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line), summary->contentsRect().width()) << line.toStdString();
    EXPECT_LE(lines.size() * metrics.lineSpacing(), summary->contentsRect().height()) << "no line is cut through";
}

TEST_F(PeekTableViewControllerTest, headersAndCardsLeaveThePainterAsTheyFoundIt)
{
    ASSERT_NO_FATAL_FAILURE(show());
    QAbstractItemDelegate* delegate = panel->tableView()->itemDelegate();
    int headers = 0;
    for (int row = 0; row < panel->model()->rowCount(); ++row) {
        const QModelIndex index = panel->model()->index(row, 0);
        const bool header =
            index.data(PeekListModel::RowKindRole).toInt() == int(PeekListModel::RowKind::Header);
        headers += header;
        SCOPED_TRACE(row);
        QImage painted(400, 80, QImage::Format_ARGB32);
        QPainter painter(&painted);
        painter.setPen(Qt::red);
        painter.setFont(QFont(QStringLiteral("Courier"), 9));
        const QFont font = painter.font();
        QStyleOptionViewItem option;
        option.initFrom(panel->tableView());
        option.rect = painted.rect();
        delegate->paint(&painter, option, index);
        EXPECT_EQ(painter.pen().color(), QColor(Qt::red));
        EXPECT_EQ(painter.font(), font);
    }
    EXPECT_GT(headers, 0);
    EXPECT_GT(panel->model()->rowCount(), headers);
}

TEST_F(PeekTableViewControllerTest, filterFieldKeepsFocusWhileTyping)
{
    show();
    type("k");
    ASSERT_TRUE(panel->filtering());
    EXPECT_TRUE(panel->filterTextField()->hasFocus());
    type("eeper");
    EXPECT_TRUE(panel->filterTextField()->hasFocus());
    EXPECT_EQ(panel->filterTextField()->text(), QStringLiteral("keeper"));
    EXPECT_TRUE(panel->filterTextField()->canResign());
    // A typed filter is cleared with one click.
    EXPECT_TRUE(panel->filterTextField()->isClearButtonEnabled());
}

TEST_F(PeekTableViewControllerTest, blankFilterShowsTheWholeListAgain)
{
    show();
    type("keeper");
    ASSERT_TRUE(panel->filtering());
    panel->filterTextField()->selectAll();
    type("   ");
    EXPECT_FALSE(panel->filtering());
    EXPECT_EQ(sectionPaths().size(), 5);
}

TEST_F(PeekTableViewControllerTest, filterTextCannotReachPastTheProjectOrTermsQuery)
{
    show();
    for (const QString& hostile : {QStringLiteral("' OR projectId != '"), QStringLiteral("%@"),
                                   QStringLiteral("\") OR (1 == 1"), QStringLiteral("\\' or TRUEPREDICATE or '")}) {
        panel->filterTextField()->clear();
        type(hostile);
        ASSERT_TRUE(panel->filtering()) << hostile.toStdString();
        EXPECT_EQ(allTitles(), QStringList()) << hostile.toStdString();
    }
}

// --- Projects

TEST_F(PeekTableViewControllerTest, projectMenuListsCurrentProjectFirst)
{
    show();
    QStringList titles;
    for (QAction* action : panel->projectMenu()->actions())
        titles << action->text();
    EXPECT_EQ(titles, (QStringList{"Current Project", "Second Book"}));
    EXPECT_EQ(panel->projectButton()->text(), QStringLiteral("Current Project"));
    EXPECT_EQ(panel->projectButton()->popupMode(), QToolButton::InstantPopup);
    // The title is drawn whole, and the menu's arrow after it, clear of its last letter.
    QToolButton* button = panel->projectButton();
    const QImage drawn = button->grab().toImage();
    const QColor paper = drawn.pixelColor(button->width() / 2, 3);
    QList<bool> inked;
    for (int x = 0; x < drawn.width(); ++x) {
        bool ink = false;
        for (int y = 3; y < drawn.height() - 3 && !ink; ++y)
            ink =
                x > 2 && x < drawn.width() - 3 && std::abs(drawn.pixelColor(x, y).lightness() - paper.lightness()) > 60;
        inked.append(ink);
    }
    const int first = int(inked.indexOf(true));
    const int last = int(inked.lastIndexOf(true));
    ASSERT_GE(first, 0);
    int arrowStart = last;
    while (arrowStart > first && inked.at(arrowStart - 1))
        --arrowStart;
    // The title's ink ends within its advance, at most a pixel short of it.
    EXPECT_GE(arrowStart, first + button->fontMetrics().horizontalAdvance(button->text()) - 1)
        << "the arrow covers the title";
    EXPECT_LE(last - arrowStart, 12) << "the last ink is the arrow alone";
}

TEST_F(PeekTableViewControllerTest, switchingProjectListsItsFoldersAndBackShowsCurrentProject)
{
    show();
    menuAction("Second Book")->trigger();
    EXPECT_EQ(panel->projectButton()->text(), QStringLiteral("Second Book"));
    EXPECT_EQ(panel->currentProjectId(), QStringLiteral("P2"));
    EXPECT_EQ(sectionPaths(), (QStringList{"Top Level", "Part"}));
    EXPECT_EQ(allTitles(), (QStringList{"Quay", "Ferry"}));
    menuAction("Current Project")->trigger();
    EXPECT_EQ(panel->projectButton()->text(), QStringLiteral("Current Project"));
    EXPECT_EQ(sectionPaths().size(), 5);
}

TEST_F(PeekTableViewControllerTest, switchingProjectWhileFilteringShowsOnlyTheNewProjectsMatches)
{
    show();
    type("keeper");
    ASSERT_EQ(allTitles(), (QStringList{"Lighthouse", "Keeper's Daughter"}));
    menuAction("Second Book")->trigger();
    EXPECT_TRUE(panel->filtering());
    EXPECT_EQ(sectionPaths(), QStringList{"Part"});
    EXPECT_EQ(allTitles(), QStringList{"Ferry"});
}

// --- Opening

TEST_F(PeekTableViewControllerTest, clickingACardHandsItAndItsSectionToTheHook)
{
    show();
    ASSERT_NO_FATAL_FAILURE(clickCard(0, 1));
    ASSERT_EQ(opened.size(), 1);
    const PeekCardRequest& request = opened.first();
    ASSERT_NE(request.card, nullptr);
    EXPECT_EQ(request.card->uniqueIdentifier(), QStringLiteral("T2"));
    ASSERT_EQ(request.cards.size(), 2);
    EXPECT_EQ(request.cards[0]->uniqueIdentifier(), QStringLiteral("T1"));
    EXPECT_EQ(request.presenter, panel.get());
    EXPECT_EQ(request.context, store.context());
    EXPECT_EQ(request.cardProps, &cardProps);
    EXPECT_FALSE(request.filtering);
    EXPECT_TRUE(request.regexQuery.isEmpty());
    EXPECT_TRUE(panel->tableView()->selectionModel()->selectedIndexes().isEmpty());
}

TEST_F(PeekTableViewControllerTest, returnOpensTheCurrentRow)
{
    show();
    panel->tableView()->setFocus();
    panel->tableView()->setCurrentIndex(panel->model()->indexForCard(3, 0));
    QTest::keyClick(panel->tableView(), Qt::Key_Return);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().card->uniqueIdentifier(), QStringLiteral("B1"));
}

TEST_F(PeekTableViewControllerTest, clickingAFilteredCardPassesTheFilterAsHighlight)
{
    show();
    type("daught");
    ASSERT_NO_FATAL_FAILURE(clickCard(0, 0));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().card->uniqueIdentifier(), QStringLiteral("B1"));
    EXPECT_TRUE(opened.first().filtering);
    EXPECT_TRUE(QRegularExpression(opened.first().regexQuery).match(QStringLiteral("his daughter")).hasMatch());
}

TEST_F(PeekTableViewControllerTest, cardDeletedMeanwhileIsSkippedWhenClicked)
{
    show();
    ASSERT_EQ(titlesIn(0), (QStringList{"Lighthouse", "Storm"}));
    store.context()->deleteObject(DbHelpers::getItem(store.context(), QStringLiteral("T2")));
    store.context()->save();
    ASSERT_NO_FATAL_FAILURE(clickCard(0, 1));
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(titlesIn(0), QStringList{"Lighthouse"});
}

TEST_F(PeekTableViewControllerTest, clickingAHeaderOpensNothing)
{
    show();
    const QRect rect = panel->tableView()->visualRect(panel->model()->indexForHeader(1));
    QTest::mouseClick(panel->tableView()->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(PeekTableViewControllerTest, cardModifiedDropsOnlyTheNamedFolder)
{
    show();
    ASSERT_NO_FATAL_FAILURE(clickCard(1, 0));
    ASSERT_EQ(opened.size(), 1);
    ASSERT_TRUE(panel->items().contains(QStringLiteral("F1")));
    ASSERT_TRUE(panel->items().contains(ItemIds::Top));
    ProjectItem* arrival = opened.first().card;
    arrival->setTitle(QStringLiteral("Arrival at Dawn"));
    opened.first().cardModified(QStringLiteral("F1"));
    EXPECT_FALSE(panel->items().contains(QStringLiteral("F1")));
    EXPECT_TRUE(panel->items().contains(ItemIds::Top));
    EXPECT_EQ(titlesIn(1), QStringList{"Arrival at Dawn"});
}

TEST_F(PeekTableViewControllerTest, cardModifiedWithoutFolderDropsNothing)
{
    show();
    ASSERT_NO_FATAL_FAILURE(clickCard(0, 0));
    ASSERT_EQ(opened.size(), 1);
    const qsizetype cached = panel->items().size();
    opened.first().cardModified(QString());
    EXPECT_EQ(panel->items().size(), cached);
}

TEST_F(PeekTableViewControllerTest, cardModifiedWhileFilteringRunsTheFilterAgain)
{
    show();
    type("keeper");
    ASSERT_NO_FATAL_FAILURE(clickCard(0, 0));
    ASSERT_EQ(opened.size(), 1);
    DbHelpers::getItem(store.context(), QStringLiteral("T2"))->setTerms(QStringLiteral(" storm keeper"));
    opened.first().cardModified(ItemIds::Top);
    EXPECT_EQ(titlesIn(0), (QStringList{"Lighthouse", "Storm"}));
}

TEST_F(PeekTableViewControllerTest, folderCycleEndsTheWalk)
{
    addItem(QStringLiteral("X"), QStringLiteral("P1"), QStringLiteral("Y"), ProjectItemTypes::Folder, "Loop X", 1);
    addItem(QStringLiteral("Y"), QStringLiteral("P1"), QStringLiteral("X"), ProjectItemTypes::Folder, "Loop Y", 1);
    store.context()->save();
    show();
    EXPECT_EQ(sectionPaths().size(), 5);
}

// --- Side panel

TEST_F(PeekTableViewControllerTest, sidePanelIsThreeQuartersOfTheEditorAtMost480)
{
    auto peek = makePanel();
    StandInEditor editor;
    const auto widthFor = [&](double parentWidth) {
        std::unique_ptr<SideMenuNavigationController> menu(
            PeekTableViewController::openInSideView(peek.get(), &editor, QRectF(0, 0, parentWidth, 700)));
        const double width = menu->menuWidth();
        menu->setViewControllers({}, false);
        return width;
    };
    EXPECT_DOUBLE_EQ(widthFor(600), 450);
    EXPECT_DOUBLE_EQ(widthFor(1000), 480);
    EXPECT_DOUBLE_EQ(widthFor(640), 480);
    EXPECT_DOUBLE_EQ(widthFor(636), 477);
}

TEST_F(PeekTableViewControllerTest, sidePanelSlidesInOverTheEditorAndOutAgain)
{
    StandInEditor editor;
    editor.resize(1000, 700);
    editor.show();
    PeekTableViewController* peek = makePanel().release();
    int prePeeks = 0;
    int postPeeks = 0;
    peek->setPrePeek([&] { ++prePeeks; });
    peek->setPostPeek([&] { ++postPeeks; });
    SideMenuNavigationController* menu = PeekTableViewController::openInSideView(peek, &editor, editor.rect());
    const QPoint editorPos = editor.pos();

    menu->presentFrom(&editor, true);
    EXPECT_LT(menu->x(), 0);
    EXPECT_EQ(prePeeks, 1);
    ASSERT_TRUE(waitFor([&] { return menu->x() == 0 && peek->appearance() == ViewController::Appearance::Appeared; }));
    EXPECT_EQ(menu->geometry(), QRect(0, 0, 480, 700));
    EXPECT_EQ(editor.pos(), editorPos);
    EXPECT_TRUE(peek->isVisible());
    EXPECT_EQ(menu->findChild<QWidget*>(QStringLiteral("PeekTableViewController")), peek) << "found by its name";
    EXPECT_TRUE(menu->navigationController() == nullptr && menu->isNavigationBarHidden());

    // A click on the editor beside the panel closes it.
    QTest::mouseClick(menu->backdrop(), Qt::LeftButton, {}, QPoint(800, 300));
    ASSERT_TRUE(waitFor([&] { return !menu->isMenuPresented(); }));
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(postPeeks, 1);

    menu->presentFrom(&editor, false);
    EXPECT_EQ(menu->x(), 0);
    EXPECT_EQ(prePeeks, 2);
    menu->dismissMenu(false);
    EXPECT_EQ(postPeeks, 2);
}

TEST_F(PeekTableViewControllerTest, linkOpensThePanelOnTheEditorsProjectWithoutItsCardAndReportsPeeking)
{
    auto editor = std::make_unique<StandInEditor>();
    editor->resize(1000, 700);
    editor->show();
    CardEditorFields fields;
    fields.setManagedObjectContext(store.context());
    fields.setCurrentObject(departure);
    fields.setCurrentProjectId(QStringLiteral("P1"));
    fields.setCurrentFolderId(QStringLiteral("F1"));
    CardProps props;
    props.mutablePropForIntCardType(ProjectItemTypes::Story)->setCanCreate(false);
    fields.setCardProps(props);
    QList<bool> peeking;
    PeekPanelLink link;
    const EditorBoardLink::PeekPanel made =
        link.makePeekPanel(editor.get(), &fields, [&](bool shown) { peeking.append(shown); });
    // Shown, the side menu is the editor's child; until then it belongs to no one.
    QPointer<SideMenuNavigationController> menu(made.sideMenu);
    auto* peek = qobject_cast<PeekTableViewController*>(made.list);
    ASSERT_NE(peek, nullptr);
    ASSERT_NE(menu, nullptr);
    menu->presentFrom(editor.get(), false);
    EXPECT_EQ(peeking, QList<bool>({true}));
    // The list reads the cards of the folders it paints.
    peek->grab();
    PeekListModel* model = peek->model();
    ASSERT_GE(model->sectionCount(), 2);
    EXPECT_EQ(model->data(model->indexForHeader(1)).toString(), QStringLiteral("Act One"))
        << "the folders of the editor's project, not of none";
    QStringList actOne;
    for (int row = 0; row < model->rowsInSection(1); ++row)
        actOne << model->data(model->indexForCard(1, row)).toString();
    EXPECT_EQ(actOne, QStringList({QStringLiteral("Arrival")})) << "the card being edited is left out";
    // A card opened from the panel opens with the editor's own table of card types.
    const QRect lighthouse = peek->tableView()->visualRect(model->indexForCard(0, 0));
    ASSERT_FALSE(lighthouse.isEmpty());
    QTest::mouseClick(peek->tableView()->viewport(), Qt::LeftButton, {}, lighthouse.center());
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().card->title(), QStringLiteral("Lighthouse"));
    ASSERT_NE(opened.first().cardProps, nullptr);
    EXPECT_FALSE(opened.first().cardProps->propForIntCardType(ProjectItemTypes::Story).canCreate());
    menu->dismissMenu(false);
    EXPECT_EQ(peeking, QList<bool>({true, false}));

    // Once the editor is gone, the panel going with it tells it nothing.
    menu->presentFrom(editor.get(), false);
    ASSERT_EQ(peeking.size(), 3);
    editor.reset();
    if (menu)
        menu->dismissMenu(false);
    EXPECT_EQ(peeking.size(), 3);
    delete menu;
}

TEST_F(PeekTableViewControllerTest, linkWithoutAListenerOpensAndClosesThePanel)
{
    StandInEditor editor;
    editor.resize(1000, 700);
    editor.show();
    CardEditorFields fields;
    fields.setManagedObjectContext(store.context());
    fields.setCurrentProjectId(QStringLiteral("P1"));
    PeekPanelLink link;
    const EditorBoardLink::PeekPanel made = link.makePeekPanel(&editor, &fields, {});
    std::unique_ptr<SideMenuNavigationController> menu(made.sideMenu);
    ASSERT_NE(menu, nullptr);
    menu->presentFrom(&editor, false);
    EXPECT_TRUE(made.list->isVisible());
    menu->dismissMenu(false);
    EXPECT_FALSE(menu->isMenuPresented());
}

// The panel beside an editor, whole and filtered, light and dark, in /tmp/peek-panel-*.png and
// /tmp/peek-filtered-*.png.
TEST_F(PeekTableViewControllerTest, screenshotsInBothAppearances)
{
    StandInEditor editor;
    auto* layout = new QVBoxLayout(&editor);
    auto* text = new QTextEdit(&editor);
    text->setPlainText(QStringLiteral("Departure\n\nThe ferry left before the light came up over the harbour. "
                                      "She stood at the rail and did not look back at the keeper's house."));
    layout->addWidget(text);
    editor.resize(1000, 700);
    editor.show();
    PeekTableViewController* peek = makePanel().release();
    SideMenuNavigationController* menu = PeekTableViewController::openInSideView(peek, &editor, editor.rect());
    menu->presentFrom(&editor, false);
    peek->tableView()->grab();
    grabInBothAppearances(&editor, QStringLiteral("peek-panel"));
    peek->filterTextField()->setFocus();
    QTest::keyClicks(peek->filterTextField(), QStringLiteral("keep"));
    grabInBothAppearances(&editor, QStringLiteral("peek-filtered"));
}

TEST_F(PeekTableViewControllerTest, cardRowsOutsideTheirSectionHaveNoIndex)
{
    show();
    PeekListModel* model = panel->model();
    ASSERT_EQ(model->rowsInSection(0), 2);
    EXPECT_TRUE(model->indexForCard(0, 0).isValid());
    EXPECT_TRUE(model->indexForCard(0, 1).isValid());
    EXPECT_FALSE(model->indexForCard(0, 2).isValid()) << "the next folder's heading is no card of this one";
    EXPECT_FALSE(model->indexForCard(0, -1).isValid()) << "nor is the section's own heading";
    EXPECT_FALSE(model->indexForCard(-1, 0).isValid());
    EXPECT_FALSE(model->indexForCard(model->sectionCount(), 0).isValid()) << "past the last section";
}

} // namespace
