#include "SketchFixture.h"
#include "TestScreenshots.h"

#include "board/PeekListModel.h"
#include "board/PeekTableViewController.h"
#include "core/ToolbarDelegate.h"
#include "editors/CardNotesViewController.h"
#include "editors/EditorBoardLink.h"
#include "editors/EditorPeek.h"
#include "editors/KuvBaseSketch.h"
#include "editors/PvSummaryEditViewController.h"
#include "export/KUVDocPickerViewController.h"
#include "platform/ResponderChain.h"
#include "platform/SideMenuNavigationController.h"
#include "platform/Toolbar.h"
#include "platform/ToolbarItem.h"

#include <QListView>
#include <QToolBar>
#include <QToolButton>

namespace {

ToolbarItem* toolbarItem(AppDelegate* app, const QString& identifier)
{
    for (ToolbarItem* item : app->toolbar()->items()) {
        if (item->itemIdentifier() == identifier)
            return item;
    }
    return nullptr;
}

bool clickToolbar(AppDelegate* app, const QString& identifier)
{
    ToolbarItem* item = toolbarItem(app, identifier);
    return item && item->sendAction(app->window());
}

// The screen presented over presenter, inside its navigation controller or on its own.
template <class T> T* presentedOver(ViewController* presenter)
{
    ViewController* shown = presenter ? presenter->presentedViewController() : nullptr;
    if (auto* navigation = qobject_cast<NavigationController*>(shown))
        return qobject_cast<T*>(navigation->topViewController());
    return qobject_cast<T*>(shown);
}

// Clicks the toolbar's Peek item and waits for the panel of editor to be in.
template <class Editor> PeekTableViewController* openPanel(AppDelegate* app, const QString& identifier, Editor* editor)
{
    EXPECT_TRUE(clickToolbar(app, identifier));
    EXPECT_TRUE(waitFor([editor] {
        SideMenuNavigationController* menu = editor->peek().sideMenu();
        return menu && menu->isMenuPresented() && menu->isVisible();
    }));
    return qobject_cast<PeekTableViewController*>(editor->peek().peekTable());
}

QModelIndex rowOf(PeekTableViewController* panel, const QString& cardId)
{
    PeekListModel* model = panel->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row);
        ProjectItem* item = model->itemAt(index);
        if (item && item->uniqueIdentifier() == cardId)
            return index;
    }
    return {};
}

// Chooses "Person" in the New Card chooser, which never offers a Story from inside an editor.
bool choosePerson(KUVDocPickerViewController* picker)
{
    std::optional<std::pair<int, int>> person;
    for (int section = 0; section < picker->formats().size(); ++section) {
        for (int row = 0; row < picker->formats().at(section).size(); ++row) {
            const QString title = picker->formats().at(section).at(row).formatTitle;
            EXPECT_NE(title, QStringLiteral("Story")) << "a Story is never made from inside an editor";
            if (title == QStringLiteral("Person"))
                person = std::pair{section, row};
        }
    }
    if (person)
        picker->choose(person->first, person->second);
    return person.has_value();
}

void clickRow(PeekTableViewController* panel, const QModelIndex& index)
{
    panel->tableView()->scrollTo(index);
    const QRect rect = panel->tableView()->visualRect(index);
    ASSERT_FALSE(rect.isEmpty());
    QTest::mouseClick(panel->tableView()->viewport(), Qt::LeftButton, {}, rect.center());
}

// The peek panel and "New Card" of the full editor, reached through the window toolbar as a writer reaches them.
class EditorPeekTest : public EditorFixture {
protected:
    PeekTableViewController* openPanel(PvEditViewController* editor)
    {
        return ::openPanel(app.get(), ToolbarDelegate::editorPeek, editor);
    }
    bool click(const QString& identifier) const { return clickToolbar(app.get(), identifier); }
};

// A board that records what the editor asks of it and makes no panel, or a bare list when given one.
class RecordingBoardLink : public EditorBoardLink {
public:
    PeekPanel makePeekPanel(ViewController*, CardEditorFields*, std::function<void(bool)>) override
    {
        return {list, nullptr};
    }
    void reloadPeekPanel(ViewController* panel, const QString& folderId) override
    {
        ++reloads;
        reloaded = panel;
        reloadedFolder = folderId;
    }
    void newCard(ViewController*, CardEditorFields*, const CardProps&, qint64, std::function<void()> saved) override
    {
        cardSaved = std::move(saved);
    }
    void reopenSecondaryCard(ViewController*, CardEditorFields*) override { ++reopens; }

    ViewController* list = nullptr;
    int reloads = 0;
    ViewController* reloaded = nullptr;
    QString reloadedFolder;
    int reopens = 0;
    std::function<void()> cardSaved;
};

class SketchPeekTest : public SketchFixture {
protected:
    // The button of one of the sketch editor's own bar actions, when the bar shows it.
    static QToolButton* barButton(KuvBaseSketch* sketch, QAction* action)
    {
        auto* button = qobject_cast<QToolButton*>(sketch->toolBar()->widgetForAction(action));
        return button && button->isVisible() ? button : nullptr;
    }
};

TEST_F(EditorPeekTest, newCardSavedReloadsThePanelsFolderOnlyOnceThereIsAPanel)
{
    PvEditViewController* editor = open();
    auto link = std::make_shared<RecordingBoardLink>();
    editor->peek().setBoardLink(link);
    editor->peek().newCard();
    ASSERT_TRUE(link->cardSaved);
    link->cardSaved();
    EXPECT_EQ(link->reloads, 0);
    // Once the panel is made, a card saved from the editor shows in it the next time it slides in.
    ViewController list;
    link->list = &list;
    editor->peek().showPeek();
    ASSERT_EQ(editor->peek().peekTable(), &list);
    editor->peek().newCard();
    link->cardSaved();
    EXPECT_EQ(link->reloads, 1);
    EXPECT_EQ(link->reloaded, &list);
    EXPECT_EQ(link->reloadedFolder, FolderId);
}

TEST_F(EditorPeekTest, toolbarItemsComeWithTheFullEditorNewCardFirstAndGoWithIt)
{
    const QStringList before = app->toolbar()->itemIdentifiers();
    ASSERT_FALSE(before.contains(ToolbarDelegate::editorPeek));
    open();
    const QStringList shown = app->toolbar()->itemIdentifiers();
    ASSERT_GE(shown.size(), 2);
    EXPECT_EQ(shown.at(0), ToolbarDelegate::editorNewCard);
    EXPECT_EQ(shown.at(1), ToolbarDelegate::editorPeek);
    EXPECT_EQ(shown.count(ToolbarDelegate::editorPeek), 1);

    // An item another screen put in front meanwhile stays where it is.
    app->toolbar()->insertItemWithItemIdentifier(ToolbarDelegate::compiledBack, 0);
    rootScreen()->dismiss(false);
    QStringList expected = before;
    expected.prepend(ToolbarDelegate::compiledBack);
    EXPECT_EQ(app->toolbar()->itemIdentifiers(), expected);

    // An editor that ends without leaving the screen first takes its items with it all the same.
    open();
    ASSERT_EQ(app->toolbar()->itemIdentifiers().count(ToolbarDelegate::editorPeek), 1);
    delete navigation;
    EXPECT_EQ(app->toolbar()->itemIdentifiers(), expected);
}

TEST_F(EditorPeekTest, popupEditorLeavesTheWindowToolbarAlone)
{
    const QStringList before = app->toolbar()->itemIdentifiers();
    auto* popup = qobject_cast<PvSummaryEditViewController*>(Storyboard::instantiate(QStringLiteral("summaryEditor")));
    ASSERT_NE(popup, nullptr);
    popup->setManagedObjectContext(context());
    popup->setCurrentObject(DbHelpers::getItem(context(), QStringLiteral("CARD-2")));
    popup->setCurrentProjectId(ProjectId);
    popup->setCurrentFolderId(FolderId);
    popup->setCurrentItemType(ProjectItemTypes::Person);
    rootScreen()->present(new NavigationController(popup), false, {}, PresentationStyle::FormSheet);
    ASSERT_TRUE(waitFor([popup] { return popup->contentLoaded(); }));
    EXPECT_EQ(app->toolbar()->itemIdentifiers(), before);
}

TEST_F(EditorPeekTest, peekSlidesThePanelInForTheEditorsFolderWithoutTheEditedCard)
{
    app->window()->show();
    app->window()->activateWindow();
    ASSERT_TRUE(waitFor([this] { return app->window()->isActiveWindow(); }));
    PvEditViewController* editor = open();
    editor->editor()->moveCursor(QTextCursor::End);
    ASSERT_TRUE(waitFor([editor] { return editor->editor()->hasFocus(); }));
    PeekTableViewController* panel = openPanel(editor);
    ASSERT_NE(panel, nullptr);
    SideMenuNavigationController* menu = editor->peek().sideMenu();
    ASSERT_TRUE(waitFor([menu] {
        return menu->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == menu;
    })) << "keys typed go to the panel once it is in";
    EXPECT_EQ(panel->projectId(), ProjectId);
    EXPECT_EQ(panel->folderId(), FolderId);
    EXPECT_EQ(panel->managedObjectContext(), context());
    EXPECT_TRUE(editor->peeking()) << "a cloud update meanwhile waits for the panel to close";
    EXPECT_TRUE(rowOf(panel, QStringLiteral("CARD-2")).isValid());
    EXPECT_TRUE(rowOf(panel, QStringLiteral("CARD-3")).isValid());
    EXPECT_FALSE(rowOf(panel, CardId).isValid()) << "the card being written is never offered beside itself";

    // Closed by Escape, the panel leaves the keys to the text, where they went before it came.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_TRUE(waitFor([editor] { return !editor->peeking(); }));
    ASSERT_TRUE(waitFor([editor] { return !editor->peek().sideMenu()->isVisible(); }));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" Tide"));
    EXPECT_EQ(editor->editor()->toPlainText(), CardText + QStringLiteral(" Tide"));

    // The panel is made once; closing and opening again shows the same one, also through the menu's command.
    EXPECT_EQ(openPanel(editor), panel);
    editor->peek().sideMenu()->dismissMenu(false);
    ASSERT_TRUE(waitFor([editor] { return !editor->peeking(); }));
    ASSERT_TRUE(ResponderChain::send(QByteArrayLiteral("cardPeek"), nullptr, app->window()));
    EXPECT_TRUE(waitFor([editor] { return editor->peek().sideMenu()->isMenuPresented(); }));
}

TEST_F(EditorPeekTest, cardClickedInThePanelOpensAsSecondaryPopupOverIt)
{
    app->window()->show();
    PvEditViewController* editor = open();
    PeekTableViewController* panel = openPanel(editor);
    ASSERT_NE(panel, nullptr);
    const QModelIndex index = rowOf(panel, QStringLiteral("CARD-2"));
    ASSERT_TRUE(index.isValid());
    ASSERT_NO_FATAL_FAILURE(clickRow(panel, index));
    PvSummaryEditViewController* popup = nullptr;
    ASSERT_TRUE(waitFor([&] {
        popup = presentedOver<PvSummaryEditViewController>(panel);
        return popup && popup->contentLoaded();
    }));
    ASSERT_NE(popup->currentObject(), nullptr);
    EXPECT_EQ(popup->currentObject()->uniqueIdentifier(), QStringLiteral("CARD-2"));
    EXPECT_TRUE(popup->isSecondaryCard());
    EXPECT_EQ(popup->currentFolderId(), FolderId);

    // While that card is open, Peek and New Card from the toolbar wait: no third card over the second.
    EXPECT_FALSE(click(ToolbarDelegate::editorNewCard) && presentedOver<KUVDocPickerViewController>(editor));
    click(ToolbarDelegate::editorPeek);
    EXPECT_EQ(presentedOver<PvSummaryEditViewController>(panel), popup);
    EXPECT_EQ(editor->presentedViewController(), nullptr);
    popup->navigationController()->dismiss(false);
}

TEST_F(EditorPeekTest, newCardFromTheEditorOffersNoStoryAndOrdersAfterEveryStoredChild)
{
    app->window()->show();
    PvEditViewController* editor = open();
    // A board filtered down to one card handed the editor a short list; the store holds three children.
    editor->setFetchedResults({DbHelpers::getItem(context(), CardId)});
    ASSERT_TRUE(click(ToolbarDelegate::editorNewCard));
    KUVDocPickerViewController* picker = nullptr;
    ASSERT_TRUE(waitFor([&] { return (picker = presentedOver<KUVDocPickerViewController>(editor)) != nullptr; }));
    ASSERT_TRUE(choosePerson(picker));

    PvSummaryEditViewController* popup = nullptr;
    ASSERT_TRUE(waitFor([&] {
        popup = presentedOver<PvSummaryEditViewController>(editor);
        return popup && popup->contentLoaded();
    }));
    EXPECT_EQ(popup->currentObject(), nullptr);
    EXPECT_TRUE(popup->isSecondaryCard());
    EXPECT_EQ(popup->currentItemType(), ProjectItemTypes::Person);
    QTest::keyClicks(popup->editor(), QStringLiteral("Old Tom, keeper of the wreck"));
    QString madeId;
    QObject::connect(popup, &PvSummaryEditViewController::saveFinished, [&madeId, popup](bool) {
        if (popup->currentObject())
            madeId = popup->currentObject()->uniqueIdentifier();
    });
    ASSERT_TRUE(save(popup));
    ProjectItem* made = DbHelpers::getItem(context(), madeId);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->displayOrder(), 4);
    EXPECT_EQ(made->itemType(), ProjectItemTypes::Person);
    EXPECT_EQ(made->parentItemId(), FolderId);
}

TEST_F(EditorPeekTest, secondaryCardACrashLeftOpenComesBackOverThePrimaryEditorOnce)
{
    QTextDocument body;
    body.setPlainText(QStringLiteral("Mara keeps the logbook now"));
    const QVariantMap snapshot{{AutoSaveController::kProjectIdKey, ProjectId},
                               {AutoSaveController::kParentItemIdKey, FolderId},
                               {AutoSaveController::kProjectItemIdKey, QStringLiteral("CARD-2")},
                               {AutoSaveController::kContentKey, *RichTextDocumentFormat::getData(body, 1.0)},
                               {AutoSaveController::kItemTypeKey, ProjectItemTypes::Person},
                               {AutoSaveController::kItemFormatKey, ProjectItemFormats::Text}};
    {
        AutoSaveController controller;
        controller.setSaveInterval(0.01);
        controller.startSaveTimer(ProjectId, true, [snapshot] { return snapshot; });
        controller.setAutoSave(true);
        ASSERT_TRUE(waitFor([] { return AutoSaveController::hasAutoSaveWithProjectId(ProjectId, true).has_value(); }));
        controller.stopSaveTimer();
    }
    app->window()->show();
    PvEditViewController* editor = open();
    PvSummaryEditViewController* popup = nullptr;
    ASSERT_TRUE(waitFor([&] {
        popup = presentedOver<PvSummaryEditViewController>(editor);
        return popup && popup->contentLoaded();
    }));
    ASSERT_NE(popup->currentObject(), nullptr);
    EXPECT_EQ(popup->currentObject()->uniqueIdentifier(), QStringLiteral("CARD-2"));
    EXPECT_TRUE(popup->isSecondaryCard());
    EXPECT_TRUE(popup->editor()->toPlainText().contains(QStringLiteral("logbook")));

    // The snapshot is still on disk while that card is open; the editor appearing again opens no second one.
    popup->navigationController()->dismiss(false);
    ViewController::transitionAppearance(editor, true, false);
    EXPECT_EQ(editor->presentedViewController(), nullptr);
    AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, true);
}

// Writes /tmp/editor-peek-light.png and /tmp/editor-peek-dark.png: the panel slid in beside the full editor.
TEST_F(EditorPeekTest, screenshotsOfThePanelBesideTheFullEditor)
{
    DbHelpers::getItem(context(), QStringLiteral("CARD-2"))
        ->setSummary(QStringLiteral("Keeper's daughter; climbs "
                                    "the stair every dusk."));
    DbHelpers::getItem(context(), QStringLiteral("CARD-3"))
        ->setSummary(QStringLiteral("The wreck comes ashore "
                                    "in the third chapter."));
    ASSERT_FALSE(context()->save());
    app->window()->show();
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" Mara climbed the spiral stair with the oil can knocking against her knee."));
    ASSERT_NE(openPanel(editor), nullptr);
    // The panel slides in; the picture is of it at rest.
    SideMenuNavigationController* menu = editor->peek().sideMenu();
    EXPECT_TRUE(waitFor([menu] { return menu->x() >= 0; }));
    runEventsFor(100);
    grabInBothAppearances(app->window(), QStringLiteral("editor-peek"));
}

TEST_F(SketchPeekTest, fullScreenSketchBringsItsToolbarItemsAndPeeksWithoutItself)
{
    app->window()->show();
    const QStringList before = app->toolbar()->itemIdentifiers();
    KuvBaseSketch* sketch = openSketch();
    const QStringList shown = app->toolbar()->itemIdentifiers();
    ASSERT_GE(shown.size(), 2);
    EXPECT_EQ(shown.at(0), ToolbarDelegate::sketchNewCard);
    EXPECT_EQ(shown.at(1), ToolbarDelegate::sketchPeek);
    PeekTableViewController* panel = openPanel(app.get(), ToolbarDelegate::sketchPeek, sketch);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->folderId(), FolderId);
    EXPECT_TRUE(rowOf(panel, QStringLiteral("CARD-2")).isValid());
    EXPECT_FALSE(rowOf(panel, SketchId).isValid());
    sketch->peek().sideMenu()->dismissMenu(false);
    rootScreen()->dismiss(false);
    EXPECT_EQ(app->toolbar()->itemIdentifiers(), before);
}

TEST_F(SketchPeekTest, sketchInASheetLeavesTheWindowToolbarAlone)
{
    const QStringList before = app->toolbar()->itemIdentifiers();
    openSketch(SketchId, {}, PresentationStyle::FormSheet);
    EXPECT_EQ(app->toolbar()->itemIdentifiers(), before);
}

TEST_F(SketchPeekTest, primarySketchInASheetOffersNewCardAndPeekInItsOwnBar)
{
    app->window()->show();
    KuvBaseSketch* sketch = openSketch(SketchId, {}, PresentationStyle::FormSheet);
    ASSERT_FALSE(sketch->isSecondaryCard());
    QToolButton* peek = barButton(sketch, sketch->peekButton());
    ASSERT_NE(peek, nullptr);
    QTest::mouseClick(peek, Qt::LeftButton);
    ASSERT_TRUE(waitFor([sketch] {
        SideMenuNavigationController* menu = sketch->peek().sideMenu();
        return menu && menu->isMenuPresented() && menu->isVisible();
    }));
    auto* panel = qobject_cast<PeekTableViewController*>(sketch->peek().peekTable());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->folderId(), FolderId);
    EXPECT_TRUE(rowOf(panel, QStringLiteral("CARD-2")).isValid());
    EXPECT_FALSE(rowOf(panel, SketchId).isValid());
    sketch->peek().sideMenu()->dismissMenu(false);
    ASSERT_TRUE(waitFor([sketch] { return !sketch->peek().sideMenu()->isMenuPresented(); }));

    QToolButton* newCard = barButton(sketch, sketch->newCardButton());
    ASSERT_NE(newCard, nullptr);
    QTest::mouseClick(newCard, Qt::LeftButton);
    KUVDocPickerViewController* picker = nullptr;
    ASSERT_TRUE(waitFor([&] { return (picker = presentedOver<KUVDocPickerViewController>(sketch)) != nullptr; }));
    ASSERT_TRUE(choosePerson(picker));
    PvSummaryEditViewController* made = nullptr;
    ASSERT_TRUE(waitFor([&] {
        made = presentedOver<PvSummaryEditViewController>(sketch);
        return made && made->contentLoaded();
    }));
    EXPECT_TRUE(made->isSecondaryCard());
    EXPECT_EQ(made->currentObject(), nullptr);
    made->navigationController()->dismiss(false);
}

TEST_F(SketchPeekTest, secondarySketchAndFullWindowSketchOfferNeitherInTheirBar)
{
    app->window()->show();
    PvEditViewController* editor = open();
    PeekTableViewController* panel = openPanel(app.get(), ToolbarDelegate::editorPeek, editor);
    ASSERT_NE(panel, nullptr);
    const QModelIndex index = rowOf(panel, SketchId);
    ASSERT_TRUE(index.isValid());
    clickRow(panel, index);
    KuvBaseSketch* secondary = nullptr;
    ASSERT_TRUE(waitFor([&] {
        secondary = presentedOver<KuvBaseSketch>(panel);
        return secondary && secondary->contentLoaded();
    }));
    EXPECT_TRUE(secondary->isSecondaryCard());
    EXPECT_TRUE(secondary->isPopup());
    EXPECT_EQ(barButton(secondary, secondary->peekButton()), nullptr);
    EXPECT_EQ(barButton(secondary, secondary->newCardButton()), nullptr);
    EXPECT_FALSE(secondary->peekButton()->isVisible());
    EXPECT_FALSE(secondary->newCardButton()->isVisible());
    secondary->navigationController()->dismiss(false);
    editor->peek().sideMenu()->dismissMenu(false);
    rootScreen()->dismiss(false);

    // Filling the window, the sketch has the window toolbar's items instead.
    KuvBaseSketch* full = openSketch();
    EXPECT_FALSE(full->peekButton()->isVisible());
    EXPECT_FALSE(full->newCardButton()->isVisible());
}

// A sheet over the Story card holding unsaved words, changed and then discarded through its alert, as a writer
// without a window manager leaves it: the keys are back where they were under the sheet with no click, and Quit
// meets its guard.
TEST_F(SketchPeekTest, aSheetDiscardedOverTheStoryCardGivesTheKeysBackAndQuitMeetsItsGuard)
{
    CardNotesViewController::registerInStoryboard();
    app->window()->show();
    PvEditViewController* story = open();
    ASSERT_TRUE(hasTheKeys(app->window()));
    story->editor()->moveCursor(QTextCursor::End);
    ASSERT_NO_FATAL_FAILURE(typeOnTheKeyboard(QStringLiteral(" Gulls")));
    PeekTableViewController* panel = nullptr;

    // Each opener answers the screen it put over the Story card once its words were changed there.
    const std::function<ViewController*()> openers[] = {
        [&]() -> ViewController* {
            EXPECT_TRUE(clickToolbar(app.get(), ToolbarDelegate::editorNewCard));
            KUVDocPickerViewController* picker = nullptr;
            EXPECT_TRUE(waitFor([&] { return (picker = presentedOver<KUVDocPickerViewController>(story)); }));
            if (!picker || !choosePerson(picker))
                return nullptr;
            PvSummaryEditViewController* popup = nullptr;
            EXPECT_TRUE(waitFor([&] {
                popup = presentedOver<PvSummaryEditViewController>(story);
                return popup && popup->contentLoaded() && hasTheKeys(popup->window());
            }));
            typeOnTheKeyboard(QStringLiteral("Old Tom"));
            return popup;
        },
        [&]() -> ViewController* {
            QMenu* menu = story->overflowButton()->menu();
            emit menu->aboutToShow();
            for (QAction* row : menu->actions()) {
                if (row->text() == EditorCommands::CardNotesRow)
                    row->trigger();
            }
            CardNotesViewController* notes = nullptr;
            EXPECT_TRUE(waitFor([&] {
                notes = presentedOver<CardNotesViewController>(story);
                return notes && hasTheKeys(notes->window());
            }));
            typeOnTheKeyboard(QStringLiteral("Check the tide tables"));
            return notes;
        },
        // Last, as the panel it opens from keeps the keys once the sketch has gone.
        [&]() -> ViewController* {
            panel = openPanel(app.get(), ToolbarDelegate::editorPeek, story);
            const QModelIndex index = panel ? rowOf(panel, SketchId) : QModelIndex();
            if (!index.isValid())
                return nullptr;
            clickRow(panel, index);
            KuvBaseSketch* sketch = nullptr;
            EXPECT_TRUE(waitFor([&] {
                sketch = presentedOver<KuvBaseSketch>(panel);
                return sketch && sketch->contentLoaded();
            }));
            if (sketch)
                draw(sketch, {{60, 200}, {140, 240}});
            return sketch;
        },
    };
    QString typed = CardText + QStringLiteral(" Gulls");
    for (const auto& openSheet : openers) {
        QPointer<ViewController> sheet = openSheet();
        ASSERT_TRUE(sheet && hasTheKeys(sheet->window()));
        // Escape asks, as Cancel does.
        ASSERT_NO_FATAL_FAILURE(pressOnTheKeyboard(Qt::Key_Escape));
        Alert* discard = nullptr;
        ASSERT_TRUE(waitFor([&] { return (discard = Alert::topmost()) != nullptr; }));
        ASSERT_TRUE(press(discard, 0)) << qPrintable(discard->title());
        ASSERT_TRUE(waitFor([&] { return !sheet || !sheet->isVisible(); }));

        EXPECT_TRUE(hasTheKeys(app->window())) << "the keys went nowhere after the Discard";
        if (!panel) {
            ASSERT_NO_FATAL_FAILURE(typeOnTheKeyboard(QStringLiteral(" on")));
            typed += QStringLiteral(" on");
            EXPECT_EQ(story->editor()->toPlainText().toStdString(), typed.toStdString());
        } else {
            // The list the card was picked from: a letter picks the card it begins.
            ASSERT_NO_FATAL_FAILURE(typeOnTheKeyboard(QStringLiteral("M")));
            EXPECT_EQ(panel->tableView()->currentIndex(), rowOf(panel, QStringLiteral("CARD-2")));
        }
        ASSERT_NO_FATAL_FAILURE(pressOnTheKeyboard(Qt::Key_Q, Qt::ControlModifier));
        Alert* refused = Alert::topmost();
        ASSERT_NE(refused, nullptr) << "Quit did not reach its guard";
        EXPECT_EQ(refused->title(), AppDelegate::UnsavedChangesTitle);
        ASSERT_TRUE(press(refused, 0));
        ASSERT_TRUE(hasTheKeys(app->window()));
    }
    // Nothing discarded reached the store file, and the Story card's words wait for its own Save.
    EXPECT_EQ(storedValue(QStringLiteral("SELECT count(*) FROM ProjectItem")).toLongLong(), 5);
    EXPECT_EQ(storedValue(QStringLiteral("SELECT notes FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(CardId)),
              QByteArray());
    EXPECT_EQ(InkReader::decode(storedDocumentBytes(SketchId)).drawing->strokeCount(), 1u);
    EXPECT_TRUE(story->cardChanged());
}

TEST_F(EditorPeekTest, secondaryCardIsReopenedAtTheFirstAppearanceOnly)
{
    PvEditViewController* editor = open();
    auto link = std::make_shared<RecordingBoardLink>();
    editor->peek().setBoardLink(link);
    editor->peek().reopenSecondaryCard();
    EXPECT_EQ(link->reopens, 0) << "the editor appearing again never brings the card back a second time";
}

} // namespace
