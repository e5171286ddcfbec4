#include "SketchFixture.h"

#include "board/PeekListModel.h"
#include "board/PeekTableViewController.h"
#include "core/ToolbarDelegate.h"
#include "editors/EditorPeek.h"
#include "editors/PvSummaryEditViewController.h"
#include "export/KUVDocPickerViewController.h"
#include "platform/SerialQueue.h"
#include "platform/SideMenuNavigationController.h"
#include "platform/Toolbar.h"
#include "platform/ToolbarItem.h"
#include "richtext/RichTextDocumentFormat.h"

#include <QListView>
#include <QMenu>

namespace {

// How the writer leaves the card they opened the secondary card from.
enum class Leave { Cancel, Discard, Save };

// A card opened from inside an editor (from the peek panel, or made with New Card there) shares the store's
// context with that editor. Its Save stores its own words in the store file at once, and nothing of the editor
// below; whichever way that editor is left afterwards, the secondary card's words stay stored.
class SecondarySaveTest : public SketchFixture {
protected:
    static inline const QString MaraId = QStringLiteral("CARD-2");
    static inline const QString StormId = QStringLiteral("CARD-3");

    ~SecondarySaveTest() override { AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, true); }

    QString storedTitle(const QString& cardId) const
    {
        return QString::fromUtf8(
            storedValue(QStringLiteral("SELECT title FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(cardId)));
    }
    QString storedSummary(const QString& cardId) const
    {
        return QString::fromUtf8(
            storedValue(QStringLiteral("SELECT summary FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(cardId)));
    }
    qint64 storedCardsSummarised(const QString& summary) const
    {
        return storedValue(QStringLiteral("SELECT count(*) FROM ProjectItem WHERE summary = '%1'").arg(summary))
            .toLongLong();
    }
    QString storedBody(const QString& cardId) const
    {
        const QByteArray bytes = storedDocumentBytes(cardId);
        RichTextDocumentFormat::LoadResult text = RichTextDocumentFormat::loadFrom(bytes);
        return text.document ? text.document->toPlainText() : QString();
    }
    qsizetype storedStrokes(const QString& cardId) const
    {
        const InkDecodeResult drawing = InkReader::decode(storedDocumentBytes(cardId));
        return drawing.ok() ? qsizetype(drawing.drawing->strokeCount()) : -1;
    }
    // The words the secondary card's snapshot holds, as the next start would read them.
    QString secondarySnapshotText() const
    {
        const std::optional<QVariantMap> snapshot = AutoSaveController::hasAutoSaveWithProjectId(ProjectId, true);
        if (!snapshot)
            return {};
        RichTextDocumentFormat::LoadResult text =
            RichTextDocumentFormat::loadFrom(snapshot->value(AutoSaveController::kContentKey).toByteArray());
        return text.document ? text.document->toPlainText() : QString();
    }

    // Whether the secondary card's snapshot file is there once every write and removal asked for has run.
    static bool secondarySnapshotOnDisk()
    {
        EXPECT_TRUE(AutoSaveController::snapshotQueue().waitForDone(5000));
        return AutoSaveController::autoSaveExists(ProjectId, true);
    }

    bool clickToolbar(const QString& identifier) const
    {
        for (ToolbarItem* item : app->toolbar()->items()) {
            if (item->itemIdentifier() == identifier)
                return item->sendAction(app->window());
        }
        return false;
    }
    // The peek panel of editor, slid in through the toolbar item.
    template <class Editor> PeekTableViewController* openPanel(Editor* editor, const QString& identifier)
    {
        EXPECT_TRUE(clickToolbar(identifier));
        EXPECT_TRUE(waitFor([editor] {
            SideMenuNavigationController* menu = editor->peek().sideMenu();
            return menu && menu->isMenuPresented() && menu->isVisible();
        }));
        return required(qobject_cast<PeekTableViewController*>(editor->peek().peekTable()), "the peek panel");
    }
    // Clicks cardId's row in the panel.
    static void clickRow(PeekTableViewController* panel, const QString& cardId)
    {
        PeekListModel* model = panel->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row);
            ProjectItem* item = model->itemAt(index);
            if (!item || item->uniqueIdentifier() != cardId)
                continue;
            panel->tableView()->scrollTo(index);
            QTest::mouseClick(panel->tableView()->viewport(), Qt::LeftButton, {},
                              panel->tableView()->visualRect(index).center());
            return;
        }
        ADD_FAILURE() << "no row for " << cardId.toStdString();
    }
    // Clicks cardId in the panel and answers the editor that opened over it, loaded.
    template <class T> T* openFromPanel(PeekTableViewController* panel, const QString& cardId)
    {
        clickRow(panel, cardId);
        T* opened = nullptr;
        EXPECT_TRUE(waitFor([&] {
            opened = shownOver<T>(panel);
            return opened && opened->contentLoaded();
        }));
        return opened;
    }
    template <class T> static T* shownOver(ViewController* presenter)
    {
        auto* navigation = qobject_cast<NavigationController*>(presenter->presentedViewController());
        return navigation ? qobject_cast<T*>(navigation->topViewController()) : nullptr;
    }
    // "New Card" of editor through the toolbar item, a Person picked: the popup editor over it, loaded.
    PvSummaryEditViewController* newPersonOver(ViewController* editor, const QString& identifier)
    {
        EXPECT_TRUE(clickToolbar(identifier));
        KUVDocPickerViewController* picker = nullptr;
        EXPECT_TRUE(waitFor([&] { return (picker = shownOver<KUVDocPickerViewController>(editor)) != nullptr; }));
        if (!picker)
            return nullptr;
        for (int section = 0; section < picker->formats().size(); ++section) {
            for (int row = 0; row < picker->formats().at(section).size(); ++row) {
                if (picker->formats().at(section).at(row).formatTitle == QStringLiteral("Person"))
                    picker->choose(section, row);
            }
        }
        PvSummaryEditViewController* popup = nullptr;
        EXPECT_TRUE(waitFor([&] {
            popup = shownOver<PvSummaryEditViewController>(editor);
            return popup && popup->contentLoaded();
        }));
        return popup;
    }
    static void typeInto(PvSummaryEditViewController* popup, const QString& words)
    {
        popup->editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(popup->editor(), words);
    }
    // Saves a secondary card and waits until it has closed.
    template <class Editor> void saveAndClose(Editor* secondary)
    {
        QPointer<Editor> guard(secondary);
        ASSERT_TRUE(save(secondary));
        ASSERT_TRUE(waitFor([&guard] { return !guard || !guard->isVisible(); }));
    }
    // Leaves the primary editor; for Discard and Save it was changed first.
    template <class Editor> void leave(Editor* primary, Leave how)
    {
        if (how == Leave::Save) {
            ASSERT_TRUE(save(primary));
        } else {
            primary->cancelButton()->trigger();
            if (how == Leave::Discard) {
                Alert* question = alertTitled(EditorPrompts::DiscardChangesTitle);
                ASSERT_NE(question, nullptr);
                ASSERT_TRUE(press(question, 0));
            }
        }
        ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    }
    // Peeks from the Story card, writes words into Mara's card and saves it, then leaves the Story card. For
    // Discard and Save the Story card's new words and title are pending in the store's context first: its Save
    // wrote them there and the store refused them.
    void peekedTextCardThenLeave(Leave how)
    {
        // In the order the project list keeps, so that it has nothing of its own to store meanwhile: its
        // renumbering saves the whole context, the Story card's pending words included.
        DbHelpers::getProject(context(), ProjectId)->setDisplayOrder(1);
        ASSERT_FALSE(context()->save());
        app->window()->show();
        PvEditViewController* story = open();
        if (how != Leave::Cancel) {
            type(story, QStringLiteral(" The keeper climbs on."));
            ASSERT_NO_FATAL_FAILURE(rename(story, QStringLiteral("Lighthouse at night")));
            ASSERT_NO_FATAL_FAILURE(refuseWrites(QStringLiteral("INSERT ON ProjectStat")));
            ASSERT_FALSE(save(story));
            ASSERT_NO_FATAL_FAILURE(dismissSaveError());
            ASSERT_NO_FATAL_FAILURE(allowWrites());
            const RichTextDocumentFormat::LoadResult pending =
                RichTextDocumentFormat::loadFrom(DbHelpers::getItemDocument(context(), CardId)->content());
            ASSERT_TRUE(pending.document);
            ASSERT_EQ(pending.document->toPlainText(), CardText + QStringLiteral(" The keeper climbs on."));
        }
        auto* popup = openFromPanel<PvSummaryEditViewController>(openPanel(story, ToolbarDelegate::editorPeek), MaraId);
        ASSERT_NE(popup, nullptr);
        typeInto(popup, QStringLiteral("Mara rows out at dawn"));
        saveAndClose(popup);
        // The writer pressed Save: the words are stored, alone, before the Story card is left.
        EXPECT_EQ(storedSummary(MaraId), QStringLiteral("Mara rows out at dawn"));
        EXPECT_EQ(storedTitle(CardId), QStringLiteral("Lighthouse")) << "the Story card's title went with it";
        EXPECT_EQ(storedBody(CardId), CardText);
        EXPECT_FALSE(secondarySnapshotOnDisk()) << "a crash now would offer stored words as unsaved";
        leave(story, how);
        EXPECT_EQ(storedSummary(MaraId), QStringLiteral("Mara rows out at dawn"));
        EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, true)) << "no stale recovery on the next start";
        EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, false));
    }
};

TEST_F(SecondarySaveTest, peekedTextCardIsStoredWhenTheStoryCardIsCancelled)
{
    peekedTextCardThenLeave(Leave::Cancel);
    EXPECT_EQ(storedBody(CardId), CardText);
}

TEST_F(SecondarySaveTest, peekedTextCardIsStoredWhenTheStoryCardIsDiscardedWhichDropsOnlyItsOwnWords)
{
    peekedTextCardThenLeave(Leave::Discard);
    // Dropped, not left pending: the next save of the whole context brings none of it back.
    ASSERT_FALSE(context()->save());
    EXPECT_EQ(storedBody(CardId), CardText) << "the Story card's own words were discarded";
    EXPECT_EQ(storedTitle(CardId), QStringLiteral("Lighthouse"));
}

TEST_F(SecondarySaveTest, peekedTextCardIsStoredWithTheStoryCardsSave)
{
    peekedTextCardThenLeave(Leave::Save);
    EXPECT_EQ(storedBody(CardId), CardText + QStringLiteral(" The keeper climbs on."));
    EXPECT_EQ(storedTitle(CardId), QStringLiteral("Lighthouse at night"));
}

TEST_F(SecondarySaveTest, storyCardCancelledWithARememberedCursorStillStoresTheSecondaryCard)
{
    auto* state = context()->insertNew<EditorState>();
    state->setCardItemId(CardId);
    state->setCursorPosition(4);
    ASSERT_FALSE(context()->save());
    peekedTextCardThenLeave(Leave::Cancel);
    EXPECT_EQ(storedValue(QStringLiteral("SELECT cursorPosition FROM EditorState WHERE cardItemId = '%1'").arg(CardId))
                  .toLongLong(),
              0);
}

TEST_F(SecondarySaveTest, escapeOnTheStoryCardStoresTheSecondaryCard)
{
    app->window()->show();
    PvEditViewController* story = open();
    auto* popup = openFromPanel<PvSummaryEditViewController>(openPanel(story, ToolbarDelegate::editorPeek), StormId);
    ASSERT_NE(popup, nullptr);
    typeInto(popup, QStringLiteral("Gale from the west"));
    const QByteArray folderStamp =
        storedValue(QStringLiteral("SELECT lastModified FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(FolderId));
    saveAndClose(popup);
    // The stamps its save put on its folder and project were its own too: stored with it, nothing left pending.
    EXPECT_NE(
        storedValue(QStringLiteral("SELECT lastModified FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(FolderId)),
        folderStamp);
    EXPECT_FALSE(context()->hasChanges());
    story->peek().sideMenu()->dismissMenu(false);
    app->window()->activateWindow();
    ASSERT_TRUE(waitFor([this] { return app->window()->isActiveWindow(); }));
    story->editor()->setFocus();
    QTest::keyClick(story->editor(), Qt::Key_Escape);
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    EXPECT_EQ(storedSummary(StormId), QStringLiteral("Gale from the west"));
}

TEST_F(SecondarySaveTest, newCardMadeInsideTheStoryEditorIsStoredByItsSaveAndStaysWhenTheStoryIsDiscarded)
{
    app->window()->show();
    PvEditViewController* story = open();
    type(story, QStringLiteral(" Dropped."));
    PvSummaryEditViewController* popup = newPersonOver(story, ToolbarDelegate::editorNewCard);
    ASSERT_NE(popup, nullptr);
    typeInto(popup, QStringLiteral("Old Tom keeps the wreck"));
    saveAndClose(popup);
    EXPECT_EQ(storedCardsSummarised(QStringLiteral("Old Tom keeps the wreck")), 1);
    EXPECT_EQ(storedBody(CardId), CardText);
    leave(story, Leave::Discard);
    EXPECT_EQ(storedCardsSummarised(QStringLiteral("Old Tom keeps the wreck")), 1);
    EXPECT_EQ(storedBody(CardId), CardText);
}

TEST_F(SecondarySaveTest, anotherSecondaryCardOpensOnlyOnceTheFirstIsStored)
{
    app->window()->show();
    PvEditViewController* story = open();
    PeekTableViewController* panel = openPanel(story, ToolbarDelegate::editorPeek);
    auto* first = openFromPanel<PvSummaryEditViewController>(panel, MaraId);
    ASSERT_NE(first, nullptr);
    typeInto(first, QStringLiteral("First words"));
    saveAndClose(first);
    // Its snapshot file is the one the second card takes: the first card's Save stored it already.
    auto* second = openFromPanel<PvSummaryEditViewController>(panel, StormId);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(storedSummary(MaraId), QStringLiteral("First words"));
    typeInto(second, QStringLiteral("Second words"));
    second->cancelButton()->trigger();
    Alert* question = alertTitled(EditorPrompts::DiscardChangesTitle);
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(press(question, 0));
    ASSERT_TRUE(waitFor([&] { return shownOver<PvSummaryEditViewController>(panel) == nullptr; }));
    EXPECT_EQ(DbHelpers::getItem(context(), MaraId)->summary(), QStringLiteral("First words"))
        << "the second card's Discard leaves the first card's saved words";
    leave(story, Leave::Cancel);
    EXPECT_EQ(storedSummary(MaraId), QStringLiteral("First words"));
    EXPECT_EQ(storedSummary(StormId), QString());
}

TEST_F(SecondarySaveTest, peekedSketchIsStoredByItsSaveAndStaysWhenTheStoryCardIsCancelled)
{
    app->window()->show();
    PvEditViewController* story = open();
    auto* sketch = openFromPanel<KuvBaseSketch>(openPanel(story, ToolbarDelegate::editorPeek), SketchId);
    ASSERT_NE(sketch, nullptr);
    EXPECT_TRUE(sketch->isSecondaryCard());
    draw(sketch, {{60, 200}, {140, 240}, {220, 260}});
    saveAndClose(sketch);
    EXPECT_EQ(storedStrokes(SketchId), 2);
    EXPECT_FALSE(secondarySnapshotOnDisk());
    leave(story, Leave::Cancel);
    EXPECT_EQ(storedStrokes(SketchId), 2);
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, true));
}

TEST_F(SecondarySaveTest, sketchPrimaryStoresATextCardMadeOverItWhenDiscarded)
{
    app->window()->show();
    KuvBaseSketch* primary = openSketch(SketchId, {}, PresentationStyle::FullScreen, ProjectItemTypes::Story);
    draw(primary, {{60, 200}, {140, 240}});
    PvSummaryEditViewController* popup = newPersonOver(primary, ToolbarDelegate::sketchNewCard);
    ASSERT_NE(popup, nullptr);
    typeInto(popup, QStringLiteral("Drawn by Tom"));
    saveAndClose(popup);
    leave(primary, Leave::Discard);
    EXPECT_EQ(storedCardsSummarised(QStringLiteral("Drawn by Tom")), 1);
    EXPECT_EQ(storedStrokes(SketchId), 1) << "the sketch's own stroke was discarded";
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, true));
}

TEST_F(SecondarySaveTest, sketchPrimaryStoresAPeekedTextCardOnCancelAndOnSave)
{
    app->window()->show();
    for (const Leave how : {Leave::Cancel, Leave::Save}) {
        const QString words = how == Leave::Cancel ? QStringLiteral("By cancel") : QStringLiteral("By save");
        KuvBaseSketch* primary = openSketch(SketchId, {}, PresentationStyle::FullScreen, ProjectItemTypes::Story);
        if (how == Leave::Save)
            draw(primary, {{60, 200}, {140, 240}});
        auto* popup =
            openFromPanel<PvSummaryEditViewController>(openPanel(primary, ToolbarDelegate::sketchPeek), MaraId);
        ASSERT_NE(popup, nullptr);
        popup->editor()->selectAll();
        QTest::keyClicks(popup->editor(), words);
        saveAndClose(popup);
        leave(primary, how);
        EXPECT_EQ(storedSummary(MaraId), words);
        EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, true));
    }
    EXPECT_EQ(storedStrokes(SketchId), 2);
}

// A crash left the Story card's words, and those of a card opened over it whose card the Story card cannot reopen:
// made with + and never stored, or deleted since. Left on disk they would wait for an answer no one is asked, and
// no card opened over the Story card would ever be snapshotted.
TEST_F(SecondarySaveTest, aSecondaryCardTheStoryCardCannotReopenIsRecoveredAsACardOfItsOwnAndHoldsNoCardBack)
{
    app->window()->show();
    QTextDocument words;
    words.setPlainText(QStringLiteral("Tom waits on the quay"));
    const QVariantMap madeWithPlus{{AutoSaveController::kProjectIdKey, ProjectId},
                                   {AutoSaveController::kParentItemIdKey, FolderId},
                                   {AutoSaveController::kProjectItemIdKey, QString("")},
                                   {AutoSaveController::kTitleKey, QStringLiteral("Old Tom")},
                                   {AutoSaveController::kContentKey, *RichTextDocumentFormat::getData(words, 1.0)},
                                   {AutoSaveController::kItemTypeKey, ProjectItemTypes::Person},
                                   {AutoSaveController::kItemFormatKey, ProjectItemFormats::Text},
                                   {AutoSaveController::kItemSaveDateKey, QDateTime::currentDateTime()}};
    InkDrawing drawing = *InkReader::decode(storedDrawingBytes()).drawing;
    drawing.append(drawing.strokes().front());
    QVariantMap deletedSketch = madeWithPlus;
    deletedSketch.insert(AutoSaveController::kProjectItemIdKey, QStringLiteral("SKETCH-GONE"));
    deletedSketch.insert(AutoSaveController::kTitleKey, QStringLiteral("Quay map"));
    deletedSketch.insert(AutoSaveController::kContentKey, *InkWriter::encode(drawing));
    deletedSketch.insert(AutoSaveController::kItemFormatKey, ProjectItemFormats::Sketch);
    for (const QVariantMap& secondary : {madeWithPlus, deletedSketch}) {
        const bool sketch =
            secondary.value(AutoSaveController::kItemFormatKey).toLongLong() == ProjectItemFormats::Sketch;
        SCOPED_TRACE(sketch ? "deleted sketch" : "made with +");
        writeStandInSnapshot();
        ASSERT_TRUE(AutoSaveSnapshot::write(*AutoSaveController::autoSavePath(ProjectId, true), secondary));
        // Recover of the Story card's words.
        QVariantMap primary = madeWithPlus;
        primary.insert(AutoSaveController::kProjectItemIdKey, CardId);
        primary.insert(AutoSaveController::kTitleKey, QStringLiteral("Lighthouse"));
        primary.insert(AutoSaveController::kItemTypeKey, ProjectItemTypes::Story);
        PvEditViewController* story = open(CardId, primary);
        const QString title = secondary.value(AutoSaveController::kTitleKey).toString();
        if (sketch) {
            KuvBaseSketch* recovered = nullptr;
            ASSERT_TRUE(
                waitFor([&] { return (recovered = shownOver<KuvBaseSketch>(story)) && recovered->contentLoaded(); }));
            EXPECT_EQ(recovered->currentObject(), nullptr);
            EXPECT_EQ(recovered->titleView()->text(), title);
            saveAndClose(recovered);
            EXPECT_EQ(storedValue(QStringLiteral("SELECT parentItemId || ':' || itemType || ':' || itemFormat FROM "
                                                 "ProjectItem WHERE title = '%1'")
                                      .arg(title)),
                      (FolderId + QStringLiteral(":5:1")).toUtf8());
            const QString madeId = QString::fromUtf8(
                storedValue(QStringLiteral("SELECT uniqueIdentifier FROM ProjectItem WHERE title = '%1'").arg(title)));
            EXPECT_EQ(storedStrokes(madeId), 2);
        } else {
            PvSummaryEditViewController* recovered = nullptr;
            ASSERT_TRUE(waitFor([&] {
                return (recovered = shownOver<PvSummaryEditViewController>(story)) && recovered->contentLoaded();
            }));
            EXPECT_EQ(recovered->currentObject(), nullptr);
            EXPECT_EQ(recovered->editor()->toPlainText(), QStringLiteral("Tom waits on the quay"));
            typeInto(recovered, QStringLiteral(" at dusk"));
            saveAndClose(recovered);
            EXPECT_EQ(storedCardsSummarised(QStringLiteral("Tom waits on the quay at dusk")), 1);
        }
        EXPECT_FALSE(secondarySnapshotOnDisk()) << "stored words would be offered again";
        // A card peeked now is snapshotted as any card: a crash here loses none of its words.
        auto* popup = openFromPanel<PvSummaryEditViewController>(openPanel(story, ToolbarDelegate::editorPeek), MaraId);
        ASSERT_NE(popup, nullptr);
        typeInto(popup, title);
        ASSERT_TRUE(tick(popup));
        EXPECT_EQ(secondarySnapshotText(), title);
        popup->cancelButton()->trigger();
        Alert* question = alertTitled(EditorPrompts::DiscardChangesTitle);
        ASSERT_NE(question, nullptr);
        ASSERT_TRUE(press(question, 0));
        ASSERT_TRUE(waitFor([&] { return !story->peek().peekTable()->presentedViewController(); }));
        story->peek().sideMenu()->dismissMenu(false);
        leave(story, Leave::Discard);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(SecondarySaveTest, quittingAfterTheSecondaryCardsSaveLeavesItStoredAndNoSnapshotBehind)
{
    app->window()->show();
    PvEditViewController* story = open();
    auto* popup = openFromPanel<PvSummaryEditViewController>(openPanel(story, ToolbarDelegate::editorPeek), MaraId);
    ASSERT_NE(popup, nullptr);
    typeInto(popup, QStringLiteral("Before the lights went out"));
    saveAndClose(popup);
    // What the application hears once Quit (or the window's close button) ended its event loop.
    app->willTerminate();
    EXPECT_EQ(storedSummary(MaraId), QStringLiteral("Before the lights went out"));
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, true));
}

TEST_F(SecondarySaveTest, aStoreThatRefusesTheSecondarySaveKeepsItOpenWithItsSnapshotAndNoOtherCardTakesIt)
{
    app->window()->show();
    PvEditViewController* story = open();
    type(story, QStringLiteral(" Not kept."));
    PeekTableViewController* panel = openPanel(story, ToolbarDelegate::editorPeek);
    auto* popup = openFromPanel<PvSummaryEditViewController>(panel, MaraId);
    ASSERT_NE(popup, nullptr);
    typeInto(popup, QStringLiteral("Kept safe"));
    // As the timer writes it while the writer types.
    ASSERT_TRUE(popup->autoSaveController()->writeSnapshotNow());
    rawExecute(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON ProjectItem BEGIN SELECT RAISE(ABORT, "
                              "'refused'); END"));
    ASSERT_FALSE(save(popup));
    Alert* warning = alertTitled(DbHelpers::SaveErrorTitle);
    ASSERT_NE(warning, nullptr);
    ASSERT_TRUE(press(warning, 0));
    ASSERT_EQ(shownOver<PvSummaryEditViewController>(panel), popup) << "the writer stays where they were";
    EXPECT_TRUE(popup->isVisible());
    EXPECT_TRUE(popup->cardChanged());
    EXPECT_TRUE(secondarySnapshotOnDisk());
    EXPECT_EQ(secondarySnapshotText(), QStringLiteral("Kept safe"));
    // Another card from the panel, the toolbar's Peek or New Card: none takes the snapshot file over.
    clickRow(panel, StormId);
    clickToolbar(ToolbarDelegate::editorNewCard);
    clickToolbar(ToolbarDelegate::editorPeek);
    runEventsFor(100);
    EXPECT_EQ(shownOver<PvSummaryEditViewController>(panel), popup);
    EXPECT_EQ(shownOver<ViewController>(story), nullptr);
    EXPECT_EQ(secondarySnapshotText(), QStringLiteral("Kept safe"));
    // Once the store takes it again, the same Save stores the card once, and only then its snapshot goes.
    rawExecute(QStringLiteral("DROP TRIGGER refuse"));
    saveAndClose(popup);
    EXPECT_EQ(storedSummary(MaraId), QStringLiteral("Kept safe"));
    EXPECT_EQ(storedValue(QStringLiteral("SELECT count(*) FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(MaraId))
                  .toLongLong(),
              1);
    EXPECT_EQ(storedBody(CardId), CardText);
    EXPECT_FALSE(secondarySnapshotOnDisk());
    leave(story, Leave::Discard);
    EXPECT_EQ(storedSummary(MaraId), QStringLiteral("Kept safe"));
    EXPECT_EQ(storedBody(CardId), CardText);
}

// A refused save's records get their stored values back when the writer discards it; the card opened again and
// saved is stored all the same.
TEST_F(SecondarySaveTest, aSecondaryCardDiscardedAfterARefusedSaveIsStoredWhenOpenedAgainAndSaved)
{
    app->window()->show();
    PvEditViewController* story = open();
    PeekTableViewController* panel = openPanel(story, ToolbarDelegate::editorPeek);
    auto* popup = openFromPanel<PvSummaryEditViewController>(panel, MaraId);
    ASSERT_NE(popup, nullptr);
    typeInto(popup, QStringLiteral("Refused"));
    rawExecute(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON ProjectItem BEGIN SELECT RAISE(ABORT, "
                              "'refused'); END"));
    ASSERT_FALSE(save(popup));
    ASSERT_TRUE(alertTitled(DbHelpers::SaveErrorTitle));
    ASSERT_TRUE(press(alertTitled(DbHelpers::SaveErrorTitle), 0));
    rawExecute(QStringLiteral("DROP TRIGGER refuse"));
    popup->cancelButton()->trigger();
    Alert* question = alertTitled(EditorPrompts::DiscardChangesTitle);
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(press(question, 0));
    ASSERT_TRUE(waitFor([&] { return shownOver<PvSummaryEditViewController>(panel) == nullptr; }));
    EXPECT_EQ(storedSummary(MaraId), QString());
    auto* again = openFromPanel<PvSummaryEditViewController>(panel, MaraId);
    ASSERT_NE(again, nullptr);
    typeInto(again, QStringLiteral("Second try"));
    saveAndClose(again);
    EXPECT_EQ(storedSummary(MaraId), QStringLiteral("Second try"));
    EXPECT_EQ(storedBody(MaraId), QStringLiteral("Second try"));
    EXPECT_FALSE(secondarySnapshotOnDisk());
}

// The store refuses every record of the Story card's save from before that save until its Discard. A window
// change may make the application inactive at any point (an alert's window takes the focus), and going to the
// background saves the whole context, which would store the Story card's words the moment the store took them.
// While it refuses them, what reaches the file is only what the secondary card's Save chose as its own.
TEST_F(SecondarySaveTest, aStoryCardsFailedSaveIsNotStoredWithTheSecondaryCardAndItsDiscardStillDropsIt)
{
    app->window()->show();
    PvEditViewController* story = open();
    type(story, QStringLiteral(" Never stored."));
    rawExecute(QStringLiteral("CREATE TRIGGER refuseStat BEFORE INSERT ON ProjectStat BEGIN SELECT RAISE(ABORT, "
                              "'refused'); END"));
    rawExecute(QStringLiteral("CREATE TRIGGER refuseBody BEFORE UPDATE ON ProjectItemDocument WHEN "
                              "OLD.parentItemId = '%1' BEGIN SELECT RAISE(ABORT, 'refused'); END")
                   .arg(CardId));
    ASSERT_FALSE(save(story));
    Alert* failed = alertTitled(DbHelpers::SaveErrorTitle);
    ASSERT_NE(failed, nullptr);
    ASSERT_TRUE(press(failed, 0));
    PeekTableViewController* panel = openPanel(story, ToolbarDelegate::editorPeek);
    auto* first = openFromPanel<PvSummaryEditViewController>(panel, MaraId);
    ASSERT_NE(first, nullptr);
    typeInto(first, QStringLiteral("Stored alone"));
    saveAndClose(first);
    // Its Save stored only its records, not what the Story card left pending.
    EXPECT_EQ(alertTitled(DbHelpers::SaveErrorTitle), nullptr);
    EXPECT_EQ(storedSummary(MaraId), QStringLiteral("Stored alone"));
    EXPECT_FALSE(secondarySnapshotOnDisk());
    auto* second = openFromPanel<PvSummaryEditViewController>(panel, StormId);
    ASSERT_NE(second, nullptr);
    second->cancelButton()->trigger();
    ASSERT_TRUE(waitFor([&] { return shownOver<PvSummaryEditViewController>(panel) == nullptr; }));
    leave(story, Leave::Discard);
    rawExecute(QStringLiteral("DROP TRIGGER refuseStat"));
    rawExecute(QStringLiteral("DROP TRIGGER refuseBody"));
    // The next save of the whole context, by whichever screen or by leaving the application, brings nothing back.
    ASSERT_FALSE(context()->save());
    EXPECT_EQ(storedBody(CardId), CardText);
    EXPECT_EQ(storedValue(QStringLiteral("SELECT count(*) FROM ProjectStat")).toLongLong(), 0);
    EXPECT_EQ(storedSummary(MaraId), QStringLiteral("Stored alone"));
}

// The Story card's save was refused and its words wait in the shared context; then a peeked card's save is refused
// too, and the writer discards that card. Only the peeked card's attempt goes: the Story card's words, title and
// the stamp its save put on their folder stay for the Story card's own Save.
TEST_F(SecondarySaveTest, aPeekedCardsDiscardAfterBothSavesWereRefusedLeavesTheStoryCardsWordsToItsSave)
{
    DbHelpers::getProject(context(), ProjectId)->setDisplayOrder(1);
    ASSERT_FALSE(context()->save());
    app->window()->show();
    PvEditViewController* story = open();
    type(story, QStringLiteral(" The keeper climbs on."));
    ASSERT_NO_FATAL_FAILURE(rename(story, QStringLiteral("Lighthouse at night")));
    rawExecute(QStringLiteral("CREATE TRIGGER refuseStat BEFORE INSERT ON ProjectStat BEGIN SELECT RAISE(ABORT, "
                              "'refused'); END"));
    ASSERT_FALSE(save(story));
    ASSERT_NO_FATAL_FAILURE(dismissSaveError());
    const QDateTime stamped = DbHelpers::getItem(context(), FolderId)->lastModified();
    PeekTableViewController* panel = openPanel(story, ToolbarDelegate::editorPeek);
    auto* popup = openFromPanel<PvSummaryEditViewController>(panel, MaraId);
    ASSERT_NE(popup, nullptr);
    typeInto(popup, QStringLiteral("Not kept"));
    rawExecute(QStringLiteral("CREATE TRIGGER refuseMara BEFORE UPDATE ON ProjectItem WHEN OLD.uniqueIdentifier = "
                              "'%1' BEGIN SELECT RAISE(ABORT, 'refused'); END")
                   .arg(MaraId));
    ASSERT_FALSE(save(popup));
    ASSERT_NO_FATAL_FAILURE(dismissSaveError());
    popup->cancelButton()->trigger();
    Alert* question = alertTitled(EditorPrompts::DiscardChangesTitle);
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(press(question, 0));
    ASSERT_TRUE(waitFor([&] { return shownOver<PvSummaryEditViewController>(panel) == nullptr; }));
    rawExecute(QStringLiteral("DROP TRIGGER refuseMara"));
    rawExecute(QStringLiteral("DROP TRIGGER refuseStat"));
    EXPECT_EQ(DbHelpers::getItem(context(), MaraId)->summary(), QString());
    EXPECT_EQ(DbHelpers::getItem(context(), CardId)->title(), QStringLiteral("Lighthouse at night"));
    EXPECT_GE(DbHelpers::getItem(context(), FolderId)->lastModified(), stamped)
        << "the Story card's stamp on its folder was undone with the peeked card";
    EXPECT_TRUE(story->cardChanged());
    leave(story, Leave::Save);
    EXPECT_EQ(storedBody(CardId), CardText + QStringLiteral(" The keeper climbs on."));
    EXPECT_EQ(storedTitle(CardId), QStringLiteral("Lighthouse at night"));
    EXPECT_EQ(storedValue(QStringLiteral("SELECT count(*) FROM ProjectStat")).toLongLong(), 1);
    EXPECT_EQ(storedSummary(MaraId), QString()) << "the discarded words came back with the Story card's save";
}

// A rename of the folder refused by the store stays pending for the next save; a card of that folder is then
// opened, its save refused and discarded. The card's save stamped the renamed folder too, and its Discard leaves
// the rename: the next save of the context stores it.
TEST_F(SecondarySaveTest, aCardsDiscardAfterARefusedSaveLeavesARefusedFolderRenamePending)
{
    app->window()->show();
    rawExecute(QStringLiteral("CREATE TRIGGER refuseFolder BEFORE UPDATE ON ProjectItem WHEN OLD.uniqueIdentifier = "
                              "'%1' BEGIN SELECT RAISE(ABORT, 'refused'); END")
                   .arg(FolderId));
    MacCardRename::create(rootScreen(), context())->renameCard(DbHelpers::getItem(context(), FolderId), false);
    Alert* rename = alertTitled(MacCardRename::FolderTitle);
    ASSERT_NE(rename, nullptr);
    ASSERT_EQ(rename->textFields().size(), 1);
    rename->textFields().first()->setText(QStringLiteral("Part Two"));
    ASSERT_TRUE(press(rename, 0));
    ASSERT_NO_FATAL_FAILURE(dismissSaveError());
    PvEditViewController* story = open();
    type(story, QStringLiteral(" Not kept."));
    ASSERT_FALSE(save(story));
    ASSERT_NO_FATAL_FAILURE(dismissSaveError());
    leave(story, Leave::Discard);
    rawExecute(QStringLiteral("DROP TRIGGER refuseFolder"));
    EXPECT_EQ(DbHelpers::getItem(context(), FolderId)->title(), QStringLiteral("Part Two"));
    ASSERT_FALSE(context()->save());
    EXPECT_EQ(storedTitle(FolderId), QStringLiteral("Part Two")) << "the card's Discard undid the folder's rename";
    EXPECT_EQ(storedBody(CardId), CardText);
    EXPECT_EQ(storedValue(QStringLiteral("SELECT count(*) FROM ProjectStat")).toLongLong(), 0);
}

TEST_F(SecondarySaveTest, endingWhileASecondSecondaryCardHoldsUnsavedWordsKeepsItsSnapshot)
{
    app->window()->show();
    PvEditViewController* story = open();
    PeekTableViewController* panel = openPanel(story, ToolbarDelegate::editorPeek);
    auto* first = openFromPanel<PvSummaryEditViewController>(panel, MaraId);
    ASSERT_NE(first, nullptr);
    typeInto(first, QStringLiteral("Saved first"));
    saveAndClose(first);
    auto* second = openFromPanel<PvSummaryEditViewController>(panel, StormId);
    ASSERT_NE(second, nullptr);
    typeInto(second, QStringLiteral("Unsaved second"));
    ASSERT_TRUE(second->autoSaveController()->writeSnapshotNow());
    app->willTerminate();
    EXPECT_EQ(secondarySnapshotText(), QStringLiteral("Unsaved second"));
    EXPECT_EQ(storedSummary(MaraId), QStringLiteral("Saved first"));
}

#ifdef SECONDARY_SAVE_CHILD_PATH
// A process that opens the Story card and a secondary card over it, saves that one and is killed right after
// the given step: "saved" (the secondary card's Save) or "left" (then the Story card's Cancel).
class SecondarySaveCrashTest : public SecondarySaveTest {
protected:
    void runAndKill(const QString& format, const QString& step, const QString& words)
    {
        QProcess child;
        child.start(QStringLiteral(SECONDARY_SAVE_CHILD_PATH), {storePath(), format, step, words});
        ASSERT_TRUE(child.waitForStarted(60000));
        QByteArray seen;
        QDeadlineTimer deadline(120000);
        while (seen != step.toUtf8() && !deadline.hasExpired() && child.state() != QProcess::NotRunning) {
            if (child.canReadLine() || child.waitForReadyRead(200))
                seen = child.readLine().trimmed();
        }
        ASSERT_EQ(seen, step.toUtf8()) << child.readAllStandardError().toStdString();
        child.kill();
        ASSERT_TRUE(child.waitForFinished(60000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit);
    }
};

// The writer was told the card was saved: whatever a crash leaves, the words are in the store file.
TEST_F(SecondarySaveCrashTest, textCardKilledRightAfterItsSaveIsInTheStore)
{
    const QString words = QStringLiteral("Mara saw the lamp go out");
    runAndKill(QStringLiteral("text"), QStringLiteral("saved"), words);
    EXPECT_EQ(storedSummary(MaraId), words);
}

TEST_F(SecondarySaveCrashTest, sketchKilledRightAfterItsSaveIsInTheStore)
{
    runAndKill(QStringLiteral("sketch"), QStringLiteral("saved"), QString());
    EXPECT_EQ(storedStrokes(SketchId), 2);
}

TEST_F(SecondarySaveCrashTest, killedRightAfterTheStoryCardsCancelTheWordsAreStoredAndNothingIsOffered)
{
    const QString words = QStringLiteral("Cancelled, then the power failed");
    runAndKill(QStringLiteral("text"), QStringLiteral("left"), words);
    EXPECT_EQ(storedSummary(MaraId), words);
    EXPECT_FALSE(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false).has_value())
        << "a stored card offered again would come back as a duplicate";
}

TEST_F(SecondarySaveCrashTest, sketchKilledRightAfterTheStoryCardsCancelIsStored)
{
    runAndKill(QStringLiteral("sketch"), QStringLiteral("left"), QString());
    EXPECT_EQ(storedStrokes(SketchId), 2);
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, true));
}
#endif

} // namespace
