#include "board/BoardMenus.h"
#include "BoardTestFixture.h"
#include "board/BoardNavigator.h"
#include "board/CardCellDelegate.h"
#include "dialogs/DialogMenuController.h"
#include "dialogs/TagMenuController.h"
#include "editors/CardNotesViewController.h"
#include "export/CompiledViewController.h"
#include "export/KUVDocPickerViewController.h"
#include "platform/NavigationController.h"
#include "platform/ResponderChain.h"
#include "platform/SymbolIcons.h"

#include <QMenu>
#include <QPointer>
#include <QTextEdit>
#include <QToolButton>

namespace {

class BoardMenusTest : public BoardTestFixture {
protected:
    // A real click on the menu button of the cell at row.
    QMenu* openCardMenu(int row)
    {
        const QRect cell = board->collectionView()->visualRect(board->model()->index(row));
        auto* delegate = qobject_cast<CardCellDelegate*>(board->collectionView()->itemDelegate());
        QTest::mouseClick(board->collectionView()->viewport(), Qt::LeftButton, {},
                          delegate->menuButtonRect(cell).center());
        return board->cardMenu();
    }
    static QStringList titles(QMenu* menu)
    {
        QStringList list;
        for (QAction* action : menu->actions())
            list << action->text();
        return list;
    }
    static QAction* action(QMenu* menu, const QString& title)
    {
        for (QAction* candidate : menu->actions())
            if (candidate->text() == title)
                return candidate;
        return nullptr;
    }
};

TEST_F(BoardMenusTest, cardMenuHasSixEntriesAndAFolderMenuNoCardType)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    QMenu* menu = openCardMenu(rowOf(QStringLiteral("Mara")));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(titles(menu), QStringList({BoardMenus::CardTypeTitle, BoardMenus::TitleTitle, BoardMenus::TagsTitle,
                                         BoardMenus::MoveTitle, BoardMenus::InfoTitle, BoardMenus::DeleteTitle}));
    EXPECT_TRUE(action(menu, BoardMenus::DeleteTitle)->property(BoardMenus::DestructiveProperty).toBool());
    // The row's label is drawn in the destructive red too, not only its symbol; the other labels are not.
    const QImage drawn = menu->grab().toImage();
    const auto redInLabel = [&](const QString& title) {
        const QRect row = menu->actionGeometry(action(menu, title));
        int red = 0;
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = row.left() + row.width() / 4; x <= row.right(); ++x) {
                const QColor pixel = drawn.pixelColor(x, y);
                red += pixel.red() > 180 && pixel.green() < 120 && pixel.blue() < 120;
            }
        return red;
    };
    EXPECT_GT(redInLabel(BoardMenus::DeleteTitle), 10);
    EXPECT_EQ(redInLabel(BoardMenus::InfoTitle), 0);
    EXPECT_TRUE(opening->opened.isEmpty()) << "a click on the menu button never opens the card";
    menu->close();
    QMenu* folderMenu = openCardMenu(rowOf(QStringLiteral("Part One")));
    ASSERT_NE(folderMenu, nullptr);
    EXPECT_FALSE(titles(folderMenu).contains(BoardMenus::CardTypeTitle));
    EXPECT_EQ(board->currentFolderId(), ItemIds::Top) << "a click on the menu button never enters the folder";
}

TEST_F(BoardMenusTest, menuOfACardDeletedElsewhereActsOnNothingAndReloads)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    QMenu* menu = openCardMenu(rowOf(QStringLiteral("Lantern")));
    ASSERT_NE(menu, nullptr);
    QAction* rename = action(menu, BoardMenus::TitleTitle);
    // Another window deletes the card while the menu is open.
    context()->deleteObject(item(QStringLiteral("Lantern")));
    context()->save();
    QSignalSpy reloaded(board, &PvCardViewController::boardReloaded);
    rename->trigger();
    ASSERT_TRUE(waitFor([&] { return reloaded.count() >= 1; }));
    EXPECT_EQ(Alert::topmost(), nullptr) << "no rename alert for a card that is gone";
    EXPECT_FALSE(shownTitles().contains(QStringLiteral("Lantern")));
}

TEST_F(BoardMenusTest, staleCompletionAfterAReloadFindsItsCardByIdentifier)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    ProjectItem* tide = item(QStringLiteral("Tide"));
    const QString tideId = tide->uniqueIdentifier();
    // The rows shift under a reload before the operation reports back.
    ProjectItem* early = add(ProjectItemTypes::Idea, QStringLiteral("Early"), 0);
    context()->save();
    ASSERT_NO_FATAL_FAILURE(waitForReload([&] { board->reloadBoard(false); }));
    board->menus().tagChosen(tideId, QStringLiteral("done"));
    EXPECT_EQ(tide->tag(), QStringLiteral("done"));
    EXPECT_TRUE(early->tag().isEmpty()) << "the card now at Tide's old row is untouched";
    // A completion for a card that has gone since skips it and reloads.
    const QString fogId = item(QStringLiteral("Fog"))->uniqueIdentifier();
    context()->deleteObject(item(QStringLiteral("Fog")));
    context()->save();
    QSignalSpy reloaded(board, &PvCardViewController::boardReloaded);
    board->menus().cardTypeChanged(fogId);
    // A reload that read the cards before Fog went may still report first on a slow machine.
    EXPECT_TRUE(waitFor([&] { return reloaded.count() >= 1 && !shownTitles().contains(QStringLiteral("Fog")); }));
}

TEST_F(BoardMenusTest, tagNoneStoresNoTagAndStampsTheChain)
{
    ProjectItem* inside = item(QStringLiteral("Inside"));
    inside->setTag(QStringLiteral("done"));
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    inside->setLastModified(old);
    item(QStringLiteral("Part One"))->setLastModified(old);
    DbHelpers::getProject(context(), project)->setLastModified(old);
    context()->save();
    ASSERT_NO_FATAL_FAILURE(appear());
    board->navigator().enterFolder(item(QStringLiteral("Part One")), 0);
    board->menus().tagChosen(inside->uniqueIdentifier(), TagMenuController::ClearTag);
    EXPECT_TRUE(inside->tag().isEmpty());
    EXPECT_NE(inside->tag(), TagMenuController::ClearTag);
    EXPECT_GT(inside->lastModified(), old);
    EXPECT_GT(item(QStringLiteral("Part One"))->lastModified(), old);
    EXPECT_GT(DbHelpers::getProject(context(), project)->lastModified(), old);
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(BoardMenusTest, notesWrittenInTheNotesSheetStampAndAnEmptyTextClears)
{
    ProjectItem* mara = item(QStringLiteral("Mara"));
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    mara->setLastModified(old);
    DbHelpers::getProject(context(), project)->setLastModified(old);
    context()->save();
    ASSERT_NO_FATAL_FAILURE(appear());
    // A real click on the cell's notes button opens the sheet.
    const QRect cell = board->collectionView()->visualRect(board->model()->index(rowOf(QStringLiteral("Mara"))));
    auto* delegate = qobject_cast<CardCellDelegate*>(board->collectionView()->itemDelegate());
    QTest::mouseClick(board->collectionView()->viewport(), Qt::LeftButton, {},
                      delegate->notesButtonRect(cell).center());
    ASSERT_TRUE(waitFor([&] { return board->presentedViewController() != nullptr; }));
    auto* sheet = board->presentedViewController()->findChild<CardNotesViewController*>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(opening->opened.isEmpty());
    sheet->editor()->setPlainText(QStringLiteral("Her brother drowned."));
    sheet->save();
    ASSERT_TRUE(waitFor([&] { return mara->notes() == QStringLiteral("Her brother drowned."); }));
    EXPECT_GT(mara->lastModified(), old);
    EXPECT_GT(DbHelpers::getProject(context(), project)->lastModified(), old);
    EXPECT_FALSE(context()->hasChanges());
    board->notesModified(mara->uniqueIdentifier(), std::nullopt);
    EXPECT_TRUE(mara->notes().isEmpty());
}

TEST_F(BoardMenusTest, notesOfRowsOutsideTheBoardOpenNothingAndTheLastRowsOpen)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    const int rows = board->model()->rowCount();
    ProjectItem* last = item(board->model()->index(rows - 1).data(CardListModel::TitleRole).toString());
    ASSERT_NE(last, nullptr);
    last->setNotes(QStringLiteral("Ebb at dawn."));
    board->notesButtonClicked(-1);
    board->notesButtonClicked(rows);
    board->notesButtonClicked(rows - 1);
    ASSERT_TRUE(waitFor([&] { return board->presentedViewController() != nullptr; }));
    auto* sheet = board->presentedViewController()->findChild<CardNotesViewController*>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->editor()->toPlainText(), QStringLiteral("Ebb at dawn."));
}

TEST_F(BoardMenusTest, boardMenuIsFoundByName)
{
    // Found by name, as tools that drive the application find it.
    ASSERT_NO_FATAL_FAILURE(appear());
    auto* menu = board->findChild<QMenu*>(QStringLiteral("boardMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(titles(menu).contains(BoardMenus::ImportTitle));
}

TEST_F(BoardMenusTest, cardTypeUnderAFilterLeavesOnlyTheShownList)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_NO_FATAL_FAILURE(waitForReload([&] { board->setItemFilter(ProjectItemTypes::Person); }));
    ProjectItem* mara = item(QStringLiteral("Mara"));
    // What the change-type operation writes before it reports back.
    mara->setItemType(ProjectItemTypes::Idea);
    context()->save();
    board->menus().cardTypeChanged(mara->uniqueIdentifier());
    EXPECT_EQ(shownTitles(), QStringList({"Old Tom"}));
    EXPECT_TRUE(board->cards().contains(mara)) << "the card is still in the folder";
    EXPECT_FALSE(board->filteredCards().contains(mara));
}

TEST_F(BoardMenusTest, cardTypeWithAllCardsKeepsTheCell)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    ProjectItem* mara = item(QStringLiteral("Mara"));
    mara->setItemType(ProjectItemTypes::Idea);
    context()->save();
    board->menus().cardTypeChanged(mara->uniqueIdentifier());
    EXPECT_TRUE(shownTitles().contains(QStringLiteral("Mara")));
    EXPECT_EQ(board->model()->index(rowOf(QStringLiteral("Mara"))).data(CardListModel::ItemTypeRole).toLongLong(),
              ProjectItemTypes::Idea);
}

TEST_F(BoardMenusTest, compactEntryFlipsAndIsRemembered)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    QMenu* menu = board->contextButton()->menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(titles(menu), QStringList({BoardMenus::CompactCardsTitle, BoardMenus::CompileTitle,
                                         BoardMenus::ImportTitle, BoardMenus::ExportTitle, BoardMenus::FolderInfoTitle,
                                         BoardMenus::StatisticsTitle, BoardMenus::SettingsTitle}));
    menu->actions().first()->trigger();
    EXPECT_TRUE(board->compactCards());
    EXPECT_TRUE(UserDefaults::standard().value(PvCardViewController::PrefCompactCards).toBool());
    EXPECT_EQ(titles(board->contextButton()->menu()).first(), BoardMenus::LargeCardsTitle);
}

TEST_F(BoardMenusTest, folderInfoShowsTheFolderShown)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    board->navigator().enterFolder(item(QStringLiteral("Part One")), 0);
    action(board->contextButton()->menu(), BoardMenus::FolderInfoTitle)->trigger();
    ASSERT_TRUE(waitFor([&] { return board->presentedViewController() != nullptr; }));
    auto* text = board->presentedViewController()->findChild<QTextEdit*>();
    ASSERT_NE(text, nullptr);
    // Part One holds one card of its own and one in Chapter.
    EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("Total cards: 2"))) << qPrintable(text->toPlainText());
}

TEST_F(BoardMenusTest, compileIsOfferedOnlyWhereStoryCardsAreAndOpensTheFoldersManuscript)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    board->navigator().enterFolder(item(QStringLiteral("Part One")), 0);
    board->navigator().enterFolder(item(QStringLiteral("Chapter")), 0);
    EXPECT_FALSE(titles(board->contextButton()->menu()).contains(BoardMenus::CompileTitle)) << "Chapter holds an Idea";
    board->navigator().goBack();
    QAction* compile = action(board->contextButton()->menu(), BoardMenus::CompileTitle);
    ASSERT_NE(compile, nullptr) << "Part One holds the Story card Inside";
    compile->trigger();
    CompiledViewController* compiled = nullptr;
    ASSERT_TRUE(waitFor([&] {
        auto* navigation = qobject_cast<NavigationController*>(board->presentedViewController());
        compiled = navigation ? qobject_cast<CompiledViewController*>(navigation->topViewController()) : nullptr;
        return compiled != nullptr;
    }));
    EXPECT_EQ(compiled->folderId, partOne);
    EXPECT_EQ(compiled->folderTitle, QStringLiteral("Part One"));
    EXPECT_EQ(compiled->projectId, board->currentProjectId());
}

TEST_F(BoardMenusTest, importAndExportOpenTheirChoosers)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    for (const QString& title : {BoardMenus::ImportTitle, BoardMenus::ExportTitle}) {
        action(board->contextButton()->menu(), title)->trigger();
        KUVDocPickerViewController* picker = nullptr;
        ASSERT_TRUE(waitFor([&] {
            auto* navigation = qobject_cast<NavigationController*>(board->presentedViewController());
            picker = navigation ? qobject_cast<KUVDocPickerViewController*>(navigation->topViewController()) : nullptr;
            return picker != nullptr;
        }));
        EXPECT_EQ(picker->formTitle(), title);
        picker->cancel();
        ASSERT_TRUE(waitFor([&] { return board->presentedViewController() == nullptr; }));
    }
}

TEST_F(BoardMenusTest, statisticsAndSettingsOpenTheProjectsSheets)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    const QList<std::pair<QString, QString>> rows = {{BoardMenus::StatisticsTitle, QStringLiteral("statisticsView")},
                                                     {BoardMenus::SettingsTitle, QStringLiteral("settingsView")}};
    for (const auto& [title, screen] : rows) {
        action(board->contextButton()->menu(), title)->trigger();
        ViewController* sheet = nullptr;
        ASSERT_TRUE(waitFor([&] {
            auto* navigation = qobject_cast<NavigationController*>(board->presentedViewController());
            sheet = navigation ? navigation->topViewController() : nullptr;
            return sheet != nullptr;
        })) << title.toStdString();
        EXPECT_EQ(sheet->metaObject()->className(),
                  QByteArray(screen == QStringLiteral("statisticsView") ? "StatisticsViewController"
                                                                        : "SettingsViewController"));
        board->presentedViewController()->dismiss(false);
        ASSERT_TRUE(waitFor([&] { return board->presentedViewController() == nullptr; }));
    }
}

TEST_F(BoardMenusTest, onlyTheBoardsOwnActionsAreEnabled)
{
    EXPECT_TRUE(board->canPerformAction("newClicked"));
    EXPECT_TRUE(board->canPerformAction("backButtonPressed"));
    EXPECT_FALSE(board->canPerformAction("copy"));
    EXPECT_FALSE(board->canPerformAction("toggleBoldface"));
    EXPECT_TRUE(ResponderChain::responds(board, "quitReceived"));
    EXPECT_FALSE(ResponderChain::responds(board, "deleteLater"));
}

} // namespace

namespace {

class BoardScreenshots : public BoardMenusTest {
protected:
    void shoot(const QString& suffix)
    {
        ProjectItem* folder = item(QStringLiteral("Part One"));
        board->navigator().enterFolder(folder, 0);
        ASSERT_TRUE(waitFor([&] { return board->currentFolderId() == folder->uniqueIdentifier(); }));
        board->grab().save(QStringLiteral("/tmp/board16-folder-%1.png").arg(suffix));
        board->goBack();
        ASSERT_TRUE(waitFor([&] { return board->currentFolderId() == ItemIds::Top; }));
        QMenu* cardMenu = openCardMenu(rowOf(QStringLiteral("Mara")));
        ASSERT_TRUE(waitFor([&] { return cardMenu->isVisible(); }) && hasTheKeys(cardMenu));
        cardMenu->grab().save(QStringLiteral("/tmp/board16-cardmenu-%1.png").arg(suffix));
        cardMenu->close();
        QMenu* boardMenu = board->contextButton()->menu();
        boardMenu->popup(board->contextButton()->mapToGlobal(QPoint(0, 0)));
        ASSERT_TRUE(waitFor([&] { return boardMenu->isVisible(); }) && hasTheKeys(boardMenu));
        boardMenu->grab().save(QStringLiteral("/tmp/board16-boardmenu-%1.png").arg(suffix));
        boardMenu->close();
        board->newClicked(nullptr);
        ASSERT_TRUE(waitFor([&] {
            return board->presentedViewController() && board->presentedViewController()->window()->isVisible();
        }));
        ASSERT_TRUE(hasTheKeys(board->presentedViewController()->window()));
        board->presentedViewController()->window()->grab().save(
            QStringLiteral("/tmp/board16-chooser-%1.png").arg(suffix));
        board->dismiss(false);
        board->newFolderClicked(nullptr);
        ASSERT_TRUE(waitFor([] { return Alert::topmost() != nullptr; }));
        Alert::topmost()->grab().save(QStringLiteral("/tmp/board16-folderalert-%1.png").arg(suffix));
        ASSERT_TRUE(press(Alert::topmost(), 1));
        board->grab().save(QStringLiteral("/tmp/board16-root-%1.png").arg(suffix));
    }
};

TEST_F(BoardScreenshots, screenshotsOfFolderMenusAndChooser)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_NO_FATAL_FAILURE(shoot(QStringLiteral("light")));
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x20));
    dark.setColor(QPalette::Base, QColor(0x16, 0x16, 0x18));
    dark.setColor(QPalette::Button, QColor(0x2a, 0x2a, 0x2e));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::ButtonText, Qt::white);
    QApplication::setPalette(dark);
    QCoreApplication::processEvents();
    ASSERT_NO_FATAL_FAILURE(shoot(QStringLiteral("dark")));
    QApplication::setPalette(light);
}

} // namespace

namespace {

TEST_F(BoardMenusTest, deleteUnderASearchLeavesTheFolderNumberedWithoutRepeats)
{
    item(QStringLiteral("Fog"))->setTerms(QStringLiteral(" fog sea"));
    item(QStringLiteral("Mara"))->setTerms(QStringLiteral(" mara sea"));
    context()->save();
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_NO_FATAL_FAILURE(waitForReload([&] { board->search(QStringLiteral("sea")); }));
    ASSERT_EQ(shownTitles(), QStringList({"Mara", "Fog"}));
    QMenu* menu = openCardMenu(0);
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(hasTheKeys(menu));
    action(menu, BoardMenus::DeleteTitle)->trigger();
    Alert* alert = Alert::topmost();
    ASSERT_NE(alert, nullptr);
    ASSERT_TRUE(press(alert, 0));
    ASSERT_TRUE(waitFor([&] { return shownTitles() == QStringList({"Fog"}); }));
    EXPECT_EQ(item(QStringLiteral("Mara")), nullptr);
    EXPECT_TRUE(uniqueAndGapless(storedOrders(ItemIds::Top)));
    EXPECT_EQ(storedOrders(ItemIds::Top).size(), 12);
}

} // namespace

namespace {

class TagFilterChooserTest : public BoardMenusTest {
protected:
    DialogMenuController* chooser()
    {
        board->showTagFilterChooser();
        if (!waitFor([&] { return board->presentedViewController() != nullptr; }))
            return nullptr;
        return board->presentedViewController()->findChild<DialogMenuController*>();
    }
};

TEST_F(TagFilterChooserTest, chosenTagFiltersTheBoardAndNoneIsNotOffered)
{
    ProjectItem* mara = item(QStringLiteral("Mara"));
    mara->setTag(QStringLiteral("done"));
    context()->save();
    ASSERT_NO_FATAL_FAILURE(appear());
    DialogMenuController* menu = chooser();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), PvCardViewController::TagFilterChooserTitle);
    int doneRow = -1;
    const QStringList offered = TagMenuController::offeredTags(ProjectItemTypes::Folder, nullptr);
    ASSERT_EQ(offered.size(), menu->items().size());
    for (int row = 0; row < menu->items().size(); ++row) {
        EXPECT_NE(menu->items().at(row).label(), TagMenuController::getTitle(TagMenuController::ClearTag));
        // Each row shows its tag's own symbol, never the ring with an initial that stands in for a missing one.
        const QString symbol = TagMenuController::getTag(offered.at(row));
        const QImage image = menu->items().at(row).image().pixmap(32).toImage();
        const QImage ring = SymbolIcons::icon(symbol.left(1) + QStringLiteral(".no.such.symbol")).pixmap(32).toImage();
        EXPECT_NE(image, ring) << symbol.toStdString();
        EXPECT_TRUE(!SymbolIcons::themeName(symbol).isEmpty() || SymbolIcons::isDrawn(symbol)) << symbol.toStdString();
        if (menu->items().at(row).label() == TagMenuController::getTitle(QStringLiteral("done")))
            doneRow = row;
    }
    ASSERT_GE(doneRow, 0);
    QSignalSpy reloaded(board, &PvCardViewController::boardReloaded);
    menu->didSelectRow(doneRow);
    ASSERT_TRUE(waitFor([&] { return reloaded.count() >= 1; }));
    EXPECT_EQ(board->itemFilter(), CardFilter::Tagged);
    EXPECT_EQ(board->itemFilterParm(), QStringLiteral("done"));
    EXPECT_EQ(shownTitles(), QStringList({"Mara"}));
}

TEST_F(TagFilterChooserTest, boardGoneBeforeTheChooserOpensIsNoCrash)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_TRUE(hasTheKeys(board));
    Delays::setFactor(1);
    board->showTagFilterChooser();
    ViewController::transitionAppearance(board, false, false);
    delete board;
    board = new PvCardViewController;
    runEventsFor(PvCardViewController::TagFilterChooserDelayMs + 100);
    EXPECT_EQ(board->presentedViewController(), nullptr);
}

TEST_F(BoardMenusTest, pointerOnACardsButtonTintsItWhiteInTheDarkAndLeavingRestoresIt)
{
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x20));
    QApplication::setPalette(dark);
    ASSERT_NO_FATAL_FAILURE(appear());
    QListView* view = board->collectionView();
    auto* delegate = qobject_cast<CardCellDelegate*>(view->itemDelegate());
    const QRect cell = view->visualRect(board->model()->index(rowOf(QStringLiteral("Mara"))));
    const QRect menuButton = delegate->menuButtonRect(cell);
    const QRect notesButton = delegate->notesButtonRect(cell);
    // The pointer moved through the window, as the system moves it, without a button held.
    const auto hover = [](QWidget* widget, const QPoint& position) {
        QWindow* window = widget->window()->windowHandle();
        QTest::mouseMove(window, window->mapFromGlobal(widget->mapToGlobal(position)));
    };
    // The lightest and the darkest ink of a button: its tint where the glyph is solid.
    const auto lightness = [&](const QRect& area, bool lightest) {
        const QImage drawn = view->viewport()->grab(area).toImage();
        int found = lightest ? 0 : 255;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) {
                const int value = drawn.pixelColor(x, y).lightness();
                found = lightest ? std::max(found, value) : std::min(found, value);
            }
        return found;
    };
    const auto white = [&](const QRect& area) {
        return lightness(area, true) > 245;
    };
    ASSERT_FALSE(white(menuButton)) << "the gear rests light grey";
    ASSERT_FALSE(white(notesButton));
    hover(view->viewport(), menuButton.center());
    EXPECT_TRUE(white(menuButton));
    EXPECT_FALSE(white(notesButton)) << "only the button under the pointer";
    hover(view->viewport(), notesButton.center());
    EXPECT_FALSE(white(menuButton));
    EXPECT_TRUE(white(notesButton));
    // Onto the card itself, then out of the board altogether: each time the tint goes back.
    hover(view->viewport(), cell.center());
    EXPECT_FALSE(white(notesButton));
    hover(view->viewport(), menuButton.center());
    ASSERT_TRUE(white(menuButton));
    hover(board->toolbarView(), board->toolbarView()->rect().center());
    EXPECT_FALSE(white(menuButton));
    QApplication::setPalette(light);
    // In the light appearance the tint is black.
    const auto black = [&](const QRect& area) {
        return lightness(area, false) < 10;
    };
    ASSERT_FALSE(black(menuButton));
    hover(view->viewport(), menuButton.center());
    EXPECT_TRUE(black(menuButton));
}

TEST_F(BoardMenusTest, rightPressOnTheMenuButtonIsLeftToTheView)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    QListView* view = board->collectionView();
    const int row = rowOf(QStringLiteral("Mara"));
    ASSERT_NE(view->currentIndex().row(), row);
    const QRect cell = view->visualRect(board->model()->index(row));
    auto* delegate = qobject_cast<CardCellDelegate*>(view->itemDelegate());
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, delegate->menuButtonRect(cell).center());
    EXPECT_EQ(board->cardMenu(), nullptr) << "only the left button works a cell's buttons";
    // The view takes the press as it takes one anywhere else on the cell.
    EXPECT_EQ(view->currentIndex().row(), row);
    EXPECT_TRUE(opening->opened.isEmpty());
}

TEST_F(BoardMenusTest, closedCardMenuIsDeleted)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    QPointer<QMenu> menu = openCardMenu(rowOf(QStringLiteral("Mara")));
    ASSERT_FALSE(menu.isNull());
    ASSERT_TRUE(hasTheKeys(menu));
    menu->close();
    EXPECT_TRUE(waitFor([&] { return menu.isNull(); }));
}

} // namespace
