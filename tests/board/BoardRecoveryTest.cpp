#include "BoardTestFixture.h"
#include "StoredRows.h"

#include "board/BoardEditorOpener.h"
#include "board/BoardRecovery.h"
#include "board/CardOpener.h"
#include "core/AutoSaveController.h"
#include "core/ProjectItemDocument.h"
#include "dialogs/RelativeDateFormatter.h"
#include "editors/EditorCommands.h"
#include "editors/EditorPrompts.h"
#include "editors/KuvBaseSketch.h"
#include "editors/PvEditViewController.h"
#include "editors/PvSummaryEditViewController.h"
#include "platform/BarButtonItem.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/SerialQueue.h"
#include "platform/ink/InkCanvas.h"
#include "platform/ink/InkDrawing.h"
#include "platform/ink/InkReader.h"
#include "platform/ink/InkWriter.h"
#include "richtext/PvTextView.h"
#include "richtext/RichTextDocumentFormat.h"

#include <QProcess>
#include <QTextDocument>

namespace {

class BoardRecoveryTest : public BoardTestFixture {
protected:
    ~BoardRecoveryTest() override
    {
        if (board->presentedViewController())
            board->dismiss(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        AutoSaveController::deleteAutoSaveWithProjectId(project, false);
        AutoSaveController::deleteAutoSaveWithProjectId(project, true);
    }

    // Puts a snapshot on disk the way an editor does, through the snapshot timer.
    void writeSnapshot(const QVariantMap& snapshot, bool secondary = false)
    {
        AutoSaveController controller;
        controller.setSaveInterval(0.01);
        controller.startSaveTimer(project, secondary, [snapshot] { return snapshot; });
        controller.setAutoSave(true);
        ASSERT_TRUE(
            waitFor([&] { return AutoSaveController::hasAutoSaveWithProjectId(project, secondary).has_value(); }));
        controller.stopSaveTimer();
    }
    QVariantMap snapshotOf(const QString& itemId, const QString& parentId, qint64 type, const QString& title,
                           const QString& words = QStringLiteral("Words from before the crash"))
    {
        QTextDocument body;
        body.setPlainText(words);
        QVariantMap snapshot{{AutoSaveController::kProjectIdKey, project},
                             {AutoSaveController::kParentItemIdKey, parentId},
                             {AutoSaveController::kProjectItemIdKey, itemId},
                             {AutoSaveController::kContentKey, *RichTextDocumentFormat::getData(body, 1.0)},
                             {AutoSaveController::kItemTypeKey, type},
                             {AutoSaveController::kItemFormatKey, ProjectItemFormats::Text},
                             {AutoSaveController::kItemSaveDateKey, QDateTime::currentDateTime().addSecs(3600)}};
        if (!title.isNull())
            snapshot.insert(AutoSaveController::kTitleKey, title);
        return snapshot;
    }
    Alert* restoreAlert() const
    {
        for (Alert* alert : Alert::presented()) {
            if (alert->title() == BoardRecovery::AlertTitle)
                return alert;
        }
        return nullptr;
    }
    ProjectItem* deepCard() const { return item(QStringLiteral("Deep")); }
    Alert* alertTitled(const QString& title) const
    {
        for (Alert* alert : Alert::presented()) {
            if (alert->title() == title)
                return alert;
        }
        return nullptr;
    }
    // The popup editor the board shows, once its card is loaded.
    PvSummaryEditViewController* shownPopup() const
    {
        auto* navigation = qobject_cast<NavigationController*>(board->presentedViewController());
        auto* editor =
            qobject_cast<PvSummaryEditViewController*>(navigation ? navigation->topViewController() : nullptr);
        return editor && waitFor([editor] { return editor->contentLoaded(); }) ? editor : nullptr;
    }
    static void typeInto(PvBaseEditor* editor, const QString& text)
    {
        editor->editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor->editor(), text);
    }
    // One look of the editor's snapshot timer, now rather than after its ten seconds.
    template <class Editor> static void tick(Editor* editor)
    {
        AutoSaveController* snapshots = editor->autoSaveController();
        ASSERT_NE(snapshots, nullptr);
        auto looks = std::make_shared<int>(0);
        snapshots->setSaveInterval(0.01);
        snapshots->startSaveTimer(snapshots->projectId(), snapshots->isSecondary(), [editor, looks] {
            ++*looks;
            return cardSnapshotOf(editor);
        });
        snapshots->setAutoSave(true);
        ASSERT_TRUE(waitFor([&] { return *looks > 0; }));
        snapshots->stopSaveTimer();
        ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(5000));
    }
    static QVariantMap cardSnapshotOf(PvBaseEditor* editor) { return editor->cardSnapshot(); }
    static QVariantMap cardSnapshotOf(KuvBaseSketch* editor) { return editor->autoSaveSnapshot(); }
    static bool saveOf(PvBaseEditor* editor)
    {
        bool finished = false;
        bool saved = false;
        QObject::connect(editor, &PvBaseEditor::saveFinished, [&](bool ok) {
            finished = true;
            saved = ok;
        });
        editor->saveButton()->trigger();
        return waitFor([&] { return finished; }) && saved;
    }
    // The words of the project's primary snapshot on disk, and the card it names.
    QString snapshotOnDisk() const
    {
        const std::optional<QVariantMap> snapshot = AutoSaveController::hasAutoSaveWithProjectId(project, false);
        if (!snapshot)
            return QString();
        const RichTextDocumentFormat::LoadResult words =
            RichTextDocumentFormat::loadFrom(snapshot->value(AutoSaveController::kContentKey).toByteArray());
        return snapshot->value(AutoSaveController::kProjectItemIdKey).toString() + u':' +
               (words.document ? words.document->toPlainText() : QString());
    }
    QStringList stored(const QString& sql) const
    {
        return storedRows(dir.filePath(QStringLiteral("CardStore.sqlite")), sql.toUtf8().constData());
    }
};

TEST_F(BoardRecoveryTest, restoreCardAlertNamesTheCardAndItsTimeInTheExactWords)
{
    QVariantMap snapshot = snapshotOf(deepCard()->uniqueIdentifier(), chapter, ProjectItemTypes::Idea, "Deep");
    const QDateTime saved(QDate(2026, 3, 14), QTime(9, 26));
    snapshot.insert(AutoSaveController::kItemSaveDateKey, saved);
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(snapshot));
    ASSERT_NO_FATAL_FAILURE(appear());
    Alert* alert = restoreAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->message(), QStringLiteral("A card titled \"Deep\" was auto-saved in your last session on ") +
                                    RelativeDateFormatter::mediumDateShortTime(saved) +
                                    QStringLiteral(".  Would you like to recover it?"));
    EXPECT_EQ(alert->actionTitles(), QStringList({QStringLiteral("Discard"), QStringLiteral("Recover")}));
    EXPECT_EQ(alert->objectName(), QStringLiteral("restoreCardAlert"));
    // While it is up, it is the one offer.
    EXPECT_FALSE(board->recovery().offerIfSnapshot());
    EXPECT_EQ(Alert::presented().size(), 1);
}

TEST_F(BoardRecoveryTest, answerToAnOfferWhoseBoardHasGoneTouchesNothing)
{
    ASSERT_NO_FATAL_FAILURE(
        writeSnapshot(snapshotOf(deepCard()->uniqueIdentifier(), chapter, ProjectItemTypes::Idea, "Deep")));
    // The alert belongs to the window; the board inside it may go while the offer is still up.
    QWidget window;
    window.resize(1040, 700);
    window.show();
    for (const int answer : {0, 1}) {
        SCOPED_TRACE(answer == 0 ? "Discard" : "Recover");
        auto* gone = new PvCardViewController(context(), &window);
        gone->setCurrentProjectId(project);
        gone->setCurrentFolderId(ItemIds::Top);
        gone->setCardOpening(opening);
        gone->resize(1040, 700);
        gone->show();
        ViewController::transitionAppearance(gone, true, false);
        Alert* alert = nullptr;
        ASSERT_TRUE(waitFor([&] { return (alert = restoreAlert()) != nullptr; }));
        ViewController::transitionAppearance(gone, false, false);
        delete gone;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        alert->trigger(answer);
        EXPECT_TRUE(opening->recovered.isEmpty());
        EXPECT_TRUE(AutoSaveController::hasAutoSaveWithProjectId(project, false)) << "the words went unseen";
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(BoardRecoveryTest, boardThatClimbsFromAFolderGoneWhileItWasCoveredStillOffersTheWords)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_EQ(restoreAlert(), nullptr);
    clickRow(rowOf(QStringLiteral("Part One")));
    clickRow(rowOf(QStringLiteral("Chapter")));
    ASSERT_EQ(board->currentFolderId(), chapter);
    const QString deepId = deepCard()->uniqueIdentifier();
    // While an editor covers the board, a snapshot is left and the folder shown is deleted.
    ViewController::transitionAppearance(board, false, false);
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(snapshotOf(deepId, chapter, ProjectItemTypes::Idea, QStringLiteral("Deep"))));
    DbHelpers::deleteItem(context(), chapter);
    ASSERT_FALSE(context()->save());
    ViewController::transitionAppearance(board, true, false);
    EXPECT_EQ(board->currentFolderId(), partOne);
    EXPECT_NE(restoreAlert(), nullptr) << "the board climbed and forgot the words waiting to be recovered";
}

TEST_F(BoardRecoveryTest, snapshotWithoutTitleOrDateReadsUntitledAndNothingAfterOn)
{
    QVariantMap snapshot = snapshotOf(QString(), ItemIds::Top, ProjectItemTypes::Idea, QString());
    snapshot.remove(AutoSaveController::kItemSaveDateKey);
    EXPECT_EQ(BoardRecovery::message(snapshot),
              QStringLiteral("A card titled \"Untitled\" was auto-saved in your last session on .  Would you like "
                             "to recover it?"));
}

TEST_F(BoardRecoveryTest, discardTakesItsOwnSnapshotAndOffersAPeekedCardsWordsInTurn)
{
    // The primary first: asked for while missing, it would take the secondary over.
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(snapshotOf(QString(), ItemIds::Top, ProjectItemTypes::Idea, "Two")));
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(snapshotOf(QString(), ItemIds::Top, ProjectItemTypes::Idea, "One"), true));
    ASSERT_TRUE(AutoSaveController::autoSaveExists(project, true));
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_TRUE(AutoSaveController::hasAutoSaveWithProjectId(project, true)) << "both snapshots wait for the answer";
    Alert* alert = restoreAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->message().contains(QStringLiteral("\"Two\"")));
    ASSERT_TRUE(press(alert, 0));
    // The peeked card's words were never shown: they are offered next, under their own title.
    Alert* next = restoreAlert();
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(next->message().contains(QStringLiteral("\"One\""))) << next->message().toStdString();
    EXPECT_EQ(Alert::presented().size(), 1);
    ASSERT_TRUE(press(next, 0));
    EXPECT_EQ(restoreAlert(), nullptr);
    EXPECT_FALSE(AutoSaveController::hasAutoSaveWithProjectId(project, true));
    EXPECT_FALSE(AutoSaveController::hasAutoSaveWithProjectId(project, false));
    EXPECT_TRUE(opening->recovered.isEmpty());
}

TEST_F(BoardRecoveryTest, recoverFindsTheCardInAnotherFolderAndLeavesTheSnapshotToTheEditor)
{
    ProjectItem* deep = deepCard();
    // The snapshot still names the folder the card was in; it has been moved to the top since.
    ASSERT_NO_FATAL_FAILURE(
        writeSnapshot(snapshotOf(deep->uniqueIdentifier(), partOne, ProjectItemTypes::Idea, "Deep")));
    deep->setParentItemId(chapter);
    context()->save();
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_FALSE(board->cards().contains(deep)) << "the board's list is the top level, not the card's folder";
    Alert* alert = restoreAlert();
    ASSERT_NE(alert, nullptr);
    ASSERT_TRUE(press(alert, 1));
    ASSERT_EQ(opening->recovered.size(), 1);
    const CardOpening::RecoveredCard& card = opening->recovered.first();
    EXPECT_EQ(card.item, deep);
    EXPECT_EQ(card.folderId, chapter);
    EXPECT_EQ(card.itemType, ProjectItemTypes::Idea);
    EXPECT_TRUE(AutoSaveController::hasAutoSaveWithProjectId(project, false)) << "the editor owns it now";
}

TEST_F(BoardRecoveryTest, cardThatIsGoneComesBackAsANewCardInItsFolderOrAtTheTop)
{
    const QVariantMap inChapter = snapshotOf(QStringLiteral("GONE"), chapter, ProjectItemTypes::Idea, "Gone");
    CardOpening::RecoveredCard card = BoardRecovery::resolve(context(), project, inChapter);
    EXPECT_EQ(card.item, nullptr);
    EXPECT_EQ(card.folderId, chapter);

    // A parent that names a card, not a folder, puts the new card at the top.
    const QVariantMap inACard =
        snapshotOf(QStringLiteral("GONE"), deepCard()->uniqueIdentifier(), ProjectItemTypes::Idea, "Gone");
    card = BoardRecovery::resolve(context(), project, inACard);
    EXPECT_EQ(card.item, nullptr);
    EXPECT_EQ(card.folderId, ItemIds::Top);
    EXPECT_EQ(card.snapshot.value(AutoSaveController::kParentItemIdKey).toString(), ItemIds::Top);

    ProjectItem* folder = DbHelpers::getItem(context(), chapter);
    context()->deleteObject(folder);
    context()->save();
    card = BoardRecovery::resolve(context(), project, inChapter);
    EXPECT_EQ(card.item, nullptr);
    EXPECT_EQ(card.folderId, ItemIds::Top);
    EXPECT_EQ(card.snapshot.value(AutoSaveController::kParentItemIdKey).toString(), ItemIds::Top);
}

TEST_F(BoardRecoveryTest, withoutAStoreTheCardComesBackNewAtTheTopWithItsWords)
{
    const QVariantMap snapshot = snapshotOf(deepCard()->uniqueIdentifier(), chapter, ProjectItemTypes::Idea, "Deep");
    const CardOpening::RecoveredCard card = BoardRecovery::resolve(nullptr, project, snapshot);
    EXPECT_EQ(card.item, nullptr);
    EXPECT_EQ(card.folderId, ItemIds::Top);
    EXPECT_EQ(card.snapshot.value(AutoSaveController::kContentKey), snapshot.value(AutoSaveController::kContentKey));
}

TEST_F(BoardRecoveryTest, identifierFromTheSnapshotIsBoundNeverSplicedIntoTheQuery)
{
    const QString hostile = QStringLiteral("x') OR (uniqueIdentifier != 'x");
    const CardOpening::RecoveredCard card =
        BoardRecovery::resolve(context(), project, snapshotOf(hostile, hostile, ProjectItemTypes::Idea, "Evil"));
    EXPECT_EQ(card.item, nullptr);
    EXPECT_EQ(card.folderId, ItemIds::Top);

    ASSERT_NO_FATAL_FAILURE(writeSnapshot(snapshotOf(hostile, ItemIds::Top, ProjectItemTypes::Idea, "Evil"), true));
    ViewController host;
    host.resize(800, 600);
    host.show();
    auto* editor = qobject_cast<PvSummaryEditViewController*>(
        CardOpener::openSecondaryCardFromAutoSaveWithController(&host, context(), project, {}, {}));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->currentObject(), nullptr) << "the identifier matched a card it does not name";
    host.dismiss(false);
}

TEST_F(BoardRecoveryTest, secondarySnapshotReopensItsCardInThePopupAsTheSecondaryCard)
{
    ProjectItem* deep = deepCard();
    ASSERT_NO_FATAL_FAILURE(
        writeSnapshot(snapshotOf(deep->uniqueIdentifier(), chapter, ProjectItemTypes::Idea, "Deep", "Deeper"), true));
    // A primary editor is the host; asking the board would take the secondary snapshot over as its own.
    ViewController host;
    host.resize(800, 600);
    host.show();
    host.activateWindow();
    ASSERT_TRUE(hasTheKeys(&host));
    ViewController* shown =
        CardOpener::openSecondaryCardFromAutoSaveWithController(&host, context(), project, {}, board->cardProps());
    auto* editor = qobject_cast<PvSummaryEditViewController*>(shown);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->currentObject(), deep);
    EXPECT_TRUE(editor->isSecondaryCard());
    EXPECT_TRUE(editor->deferSave());
    EXPECT_TRUE(editor->preventFontSizeChange());
    ASSERT_TRUE(waitFor([&] { return editor->contentLoaded(); }));
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("Deeper"));
    EXPECT_TRUE(editor->cardChanged());

    host.dismiss(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    AutoSaveController::deleteAutoSaveWithProjectId(project, true);
}

TEST_F(BoardRecoveryTest, secondarySnapshotTheStoryCardCannotReopenComesBackAsACardOfItsOwn)
{
    ProjectItem* deep = deepCard();
    ViewController host;
    host.resize(800, 600);
    host.show();
    host.activateWindow();
    ASSERT_TRUE(hasTheKeys(&host));
    // A card deleted meanwhile, and one made over the editor and never stored, come back as cards of their own in
    // a folder that exists: left waiting, their words would keep every card opened over the editor from being
    // snapshotted. Their Save stores them, and their snapshot goes.
    context()->deleteObject(deep);
    context()->save();
    for (const QString& itemId : {deep->uniqueIdentifier(), QString()}) {
        SCOPED_TRACE(itemId.isEmpty() ? "never stored" : "deleted");
        const QString words = itemId.isEmpty() ? QStringLiteral("Never stored") : QStringLiteral("Deeper still");
        ASSERT_NO_FATAL_FAILURE(
            writeSnapshot(snapshotOf(itemId, chapter, ProjectItemTypes::Idea, QStringLiteral("Deep"), words), true));
        auto* recovered = qobject_cast<PvSummaryEditViewController*>(
            CardOpener::openSecondaryCardFromAutoSaveWithController(&host, context(), project, {}, board->cardProps()));
        ASSERT_NE(recovered, nullptr);
        EXPECT_EQ(recovered->currentObject(), nullptr);
        EXPECT_TRUE(recovered->isSecondaryCard());
        ASSERT_TRUE(waitFor([&] { return recovered->contentLoaded(); }));
        EXPECT_EQ(recovered->editor()->toPlainText(), words);
        EXPECT_TRUE(recovered->cardChanged());
        EXPECT_TRUE(recovered->autoSaveController()->ownsSnapshot());
        ASSERT_TRUE(hasTheKeys(recovered->window()));
        ASSERT_TRUE(saveOf(recovered));
        EXPECT_EQ(stored(QStringLiteral("SELECT parentItemId || ':' || itemType || ':' || title FROM ProjectItem "
                                        "WHERE summary = '%1'")
                             .arg(words)),
                  QStringList{chapter + QStringLiteral(":4:Deep")});
        ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(5000));
        EXPECT_FALSE(AutoSaveController::autoSaveExists(project, true));
        ASSERT_TRUE(waitFor([&] { return !host.presentedViewController(); }));
        ASSERT_TRUE(hasTheKeys(&host));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(BoardRecoveryTest, sketchOfAPersonThatIsGoneOpensInThePersonColoursAndIsSavedBackAsAPerson)
{
    InkDrawing drawing;
    InkStroke stroke(InkKind::Pen, Qt::black, 4.0f);
    stroke.append(InkPoint{300, 300, 1, 0});
    stroke.append(InkPoint{400, 350, 1, 0.1f});
    drawing.append(stroke);
    QVariantMap snapshot =
        snapshotOf(QStringLiteral("GONE"), ItemIds::Top, ProjectItemTypes::Person, QStringLiteral("Harbour master"));
    snapshot.insert(AutoSaveController::kItemFormatKey, ProjectItemFormats::Sketch);
    snapshot.insert(AutoSaveController::kContentKey, *InkWriter::encode(drawing));
    snapshot.insert(AutoSaveController::kMimeTypeKey, DocumentMimeTypes::Drawing);
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(snapshot));
    board->setCardOpening(std::make_shared<BoardEditorOpener>());
    ASSERT_NO_FATAL_FAILURE(appear());
    Alert* alert = restoreAlert();
    ASSERT_NE(alert, nullptr);
    ASSERT_TRUE(press(alert, 1));
    auto* navigation = qobject_cast<NavigationController*>(board->presentedViewController());
    ASSERT_NE(navigation, nullptr);
    auto* sketch = qobject_cast<KuvBaseSketch*>(navigation->topViewController());
    ASSERT_NE(sketch, nullptr);
    ASSERT_TRUE(waitFor([&] { return sketch->contentLoaded(); }));
    EXPECT_EQ(sketch->currentObject(), nullptr);
    EXPECT_EQ(sketch->title(), QStringLiteral("New Person Card"));
    // The sheet wears the card type's colours from the moment it shows, not the Story colours of no type.
    const QColor person = board->cardProps().propForIntCardType(ProjectItemTypes::Person).cardColor();
    ASSERT_NE(person, board->cardProps().propForIntCardType(ProjectItemTypes::Story).cardColor());
    EXPECT_EQ(navigation->navigationBar()->palette().color(QPalette::Window), person);

    bool finished = false;
    bool saved = false;
    QObject::connect(sketch, &KuvBaseSketch::saveFinished, [&](bool ok) {
        finished = true;
        saved = ok;
    });
    sketch->saveButton()->trigger();
    ASSERT_TRUE(waitFor([&] { return finished; }));
    ASSERT_TRUE(saved);
    ProjectItem* card = item(QStringLiteral("Harbour master"));
    ASSERT_NE(card, nullptr);
    EXPECT_NE(card->uniqueIdentifier(), QStringLiteral("GONE"));
    EXPECT_EQ(card->itemType(), ProjectItemTypes::Person);
    EXPECT_EQ(card->itemFormat(), ProjectItemFormats::Sketch);
    EXPECT_EQ(card->parentItemId(), ItemIds::Top);
}

TEST_F(BoardRecoveryTest, wordsOfAnUnreadableCardAreShownKeptAndNeverTakenByAnotherCard)
{
    // Its body was rewritten by a copy of the program this one cannot read; a crash left its unsaved words.
    const QString maraId = item(QStringLiteral("Mara"))->uniqueIdentifier();
    auto* document = context()->insertNew<ProjectItemDocument>();
    document->setUniqueIdentifier(Uuid::uuidString());
    document->setProjectId(project);
    document->setParentItemId(maraId);
    document->setMimetype(DocumentMimeTypes::RichText);
    static const char unreadableBytes[] = "bplist00\x00\x01\x02 not an archive";
    document->setContent(QByteArray(unreadableBytes, sizeof(unreadableBytes) - 1));
    ASSERT_FALSE(context()->save());
    const QString bodySql = QStringLiteral("SELECT hex(content) FROM ProjectItemDocument WHERE parentItemId = '%1'");
    const QStringList unreadable = stored(bodySql.arg(maraId));
    ASSERT_EQ(unreadable.size(), 1);
    const QString words = QStringLiteral("Words only the crash kept");
    const QVariantMap lost = snapshotOf(maraId, ItemIds::Top, ProjectItemTypes::Person, QStringLiteral("Mara"), words);
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(lost));
    board->setCardOpening(std::make_shared<BoardEditorOpener>());
    ASSERT_NO_FATAL_FAILURE(appear());

    // Recover shows the words; a tag and Save keep them as a card beside the one no one could read.
    ASSERT_NE(restoreAlert(), nullptr);
    ASSERT_TRUE(press(restoreAlert(), 1));
    PvSummaryEditViewController* mara = shownPopup();
    ASSERT_NE(mara, nullptr);
    ASSERT_NE(alertTitled(EditorPrompts::UnreadableTitle), nullptr);
    EXPECT_EQ(alertTitled(EditorPrompts::UnreadableTitle)->message(), PvBaseEditor::UnreadableRecoveredMessage);
    ASSERT_TRUE(press(alertTitled(EditorPrompts::UnreadableTitle), 0));
    EXPECT_EQ(mara->editor()->toPlainText(), words);
    mara->commands().applyTag(QStringLiteral("done"));
    ASSERT_TRUE(saveOf(mara));
    ASSERT_TRUE(waitFor([&] { return !board->presentedViewController(); }));
    EXPECT_EQ(stored(bodySql.arg(maraId)), unreadable);
    EXPECT_EQ(stored(QStringLiteral("SELECT title || ':' || tag FROM ProjectItem WHERE summary = '%1'").arg(words)),
              QStringList{QStringLiteral("Mara:done")});
    EXPECT_EQ(snapshotOnDisk(), QString()) << "the writer decided on the words: they are stored";
    EXPECT_EQ(restoreAlert(), nullptr);

    // A copy of the program that ended with the card open leaves its words again while the board is on screen.
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(lost));
    const QString waiting = maraId + u':' + words;
    ASSERT_EQ(snapshotOnDisk(), waiting);
    // Another card is typed in, looked at by its snapshot timer, and its changes discarded.
    clickRow(rowOf(QStringLiteral("Storm idea")));
    PvSummaryEditViewController* storm = shownPopup();
    ASSERT_NE(storm, nullptr);
    typeInto(storm, QStringLiteral("Clouds"));
    ASSERT_NO_FATAL_FAILURE(tick(storm));
    EXPECT_EQ(snapshotOnDisk(), waiting) << "another card's tick wrote over the words";
    storm->cancelButton()->trigger();
    ASSERT_NE(alertTitled(EditorPrompts::DiscardChangesTitle), nullptr);
    ASSERT_TRUE(press(alertTitled(EditorPrompts::DiscardChangesTitle), 0));
    ASSERT_EQ(board->presentedViewController(), nullptr);
    // The writer opens it again at once: no offer comes over the sheet while it is up.
    board->cardOpening()->openCard(board, item(QStringLiteral("Storm idea")), rowOf(QStringLiteral("Storm idea")));
    storm = shownPopup();
    ASSERT_NE(storm, nullptr);
    EXPECT_EQ(snapshotOnDisk(), waiting) << "another card's Discard removed the words";
    // Typed in, looked at, saved.
    typeInto(storm, QStringLiteral("Clouds"));
    ASSERT_NO_FATAL_FAILURE(tick(storm));
    EXPECT_EQ(restoreAlert(), nullptr) << "the offer came over the open sheet";
    ASSERT_TRUE(saveOf(storm));
    ASSERT_TRUE(waitFor([&] { return !board->presentedViewController(); }));
    EXPECT_EQ(stored(QStringLiteral("SELECT summary FROM ProjectItem WHERE title = 'Storm idea'")),
              QStringList{QStringLiteral("Clouds")});
    EXPECT_EQ(snapshotOnDisk(), waiting) << "another card's save removed the words";
    // The sheet has gone: the words still waiting are offered again, and Recover brings them back.
    ASSERT_TRUE(waitFor([&] { return restoreAlert() != nullptr; }));
    EXPECT_TRUE(restoreAlert()->message().startsWith(QStringLiteral("A card titled \"Mara\"")));
    ASSERT_TRUE(press(restoreAlert(), 1));
    mara = shownPopup();
    ASSERT_NE(mara, nullptr);
    EXPECT_EQ(mara->editor()->toPlainText(), words);
}

TEST_F(BoardRecoveryTest, recoveredWordsNoOneCanShowAreKeptAsideAndTheCardsOwnWordsAreSnapshottedAndStored)
{
    // Lantern is a sketch card with one stroke; Storm idea a text card with its words.
    InkDrawing drawn;
    InkStroke stroke(InkKind::Pen, Qt::black, 4.0f);
    stroke.append(InkPoint{100, 100, 1, 0});
    stroke.append(InkPoint{150, 120, 1, 0.1f});
    drawn.append(stroke);
    const QTextDocument clouds(QStringLiteral("Clouds"));
    for (const auto& [title, format, body] :
         {std::tuple{QStringLiteral("Lantern"), ProjectItemFormats::Sketch, *InkWriter::encode(drawn)},
          std::tuple{QStringLiteral("Storm idea"), ProjectItemFormats::Text,
                     *RichTextDocumentFormat::getData(clouds, 1.0)}}) {
        ProjectItem* card = item(title);
        card->setItemFormat(format);
        auto* document = context()->insertNew<ProjectItemDocument>();
        document->setUniqueIdentifier(Uuid::uuidString());
        document->setProjectId(project);
        document->setParentItemId(card->uniqueIdentifier());
        document->setMimetype(format == ProjectItemFormats::Sketch ? DocumentMimeTypes::Drawing
                                                                   : DocumentMimeTypes::RichText);
        document->setContent(body);
    }
    ASSERT_FALSE(context()->save());
    board->setCardOpening(std::make_shared<BoardEditorOpener>());
    ASSERT_NO_FATAL_FAILURE(appear());
    for (const bool sketch : {false, true}) {
        SCOPED_TRACE(sketch ? "sketch" : "text");
        ProjectItem* card = item(sketch ? QStringLiteral("Lantern") : QStringLiteral("Storm idea"));
        // A crash left words a newer version wrote: the board offers them, no editor here can show them.
        QVariantMap damaged = snapshotOf(card->uniqueIdentifier(), ItemIds::Top, card->itemType(), card->title());
        static const char newer[] = "bplist00\x00\x01\x02 from a newer version";
        damaged.insert(AutoSaveController::kContentKey, QByteArray(newer, sizeof(newer) - 1));
        if (sketch) {
            damaged.insert(AutoSaveController::kItemFormatKey, ProjectItemFormats::Sketch);
            damaged.insert(AutoSaveController::kMimeTypeKey, DocumentMimeTypes::Drawing);
        }
        ViewController::transitionAppearance(board, false, false);
        ASSERT_NO_FATAL_FAILURE(writeSnapshot(damaged));
        QFile file(*AutoSaveController::autoSavePath(project, false));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray handed = file.readAll();
        file.close();
        ViewController::transitionAppearance(board, true, false);
        ASSERT_NE(restoreAlert(), nullptr);
        ASSERT_TRUE(press(restoreAlert(), 1));
        auto* navigation = qobject_cast<NavigationController*>(board->presentedViewController());
        ASSERT_NE(navigation, nullptr);
        ViewController* editor = navigation->topViewController();
        ASSERT_TRUE(waitFor([&] {
            auto* text = qobject_cast<PvBaseEditor*>(editor);
            auto* drawing = qobject_cast<KuvBaseSketch*>(editor);
            return (text && text->contentLoaded()) || (drawing && drawing->contentLoaded());
        }));
        Alert* error = alertTitled(EditorPrompts::UnreadableTitle);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->message(),
                  sketch ? KuvBaseSketch::UnreadableSnapshotMessage : PvBaseEditor::UnreadableSnapshotMessage);
        ASSERT_TRUE(press(error, 0));
        // The writer answered Recover: the bytes are kept aside, under a name the board never offers.
        const QString aside = *AutoSaveController::autoSavePath(project, false) + AutoSaveController::AsideSuffix;
        QFile kept(aside);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), handed);
        kept.close();
        // New words, a look of the timer: the file holds them, for the next start to offer.
        std::optional<QVariantMap> snapshot;
        if (auto* text = qobject_cast<PvSummaryEditViewController*>(editor)) {
            typeInto(text, QStringLiteral(" gather"));
            ASSERT_NO_FATAL_FAILURE(tick(text));
            EXPECT_EQ(snapshotOnDisk(), card->uniqueIdentifier() + QStringLiteral(":Clouds gather"));
            ASSERT_TRUE(saveOf(text));
        } else {
            auto* drawing = qobject_cast<KuvBaseSketch*>(editor);
            ASSERT_NE(drawing, nullptr);
            QTest::mousePress(drawing->canvasView(), Qt::LeftButton, {}, QPoint(200, 200));
            QTest::mouseMove(drawing->canvasView(), QPoint(240, 230));
            QTest::mouseRelease(drawing->canvasView(), Qt::LeftButton, {}, QPoint(260, 240));
            ASSERT_TRUE(drawing->changesMade());
            ASSERT_NO_FATAL_FAILURE(tick(drawing));
            snapshot = AutoSaveController::hasAutoSaveWithProjectId(project, false);
            ASSERT_TRUE(snapshot);
            const InkDecodeResult strokes =
                InkReader::decode(snapshot->value(AutoSaveController::kContentKey).toByteArray());
            ASSERT_TRUE(strokes.ok());
            EXPECT_EQ(strokes.drawing->strokeCount(), 2u);
            bool finished = false;
            QObject::connect(drawing, &KuvBaseSketch::saveFinished, [&](bool ok) { finished = ok; });
            drawing->saveButton()->trigger();
            ASSERT_TRUE(waitFor([&] { return finished; }));
        }
        ASSERT_TRUE(waitFor([&] { return !board->presentedViewController(); }));
        // Stored, read through a connection of its own; nothing is offered again.
        const QStringList body =
            stored(QStringLiteral("SELECT hex(content) FROM ProjectItemDocument WHERE parentItemId = '%1'")
                       .arg(card->uniqueIdentifier()));
        ASSERT_EQ(body.size(), 1);
        const QByteArray bytes = QByteArray::fromHex(body.first().toLatin1());
        if (sketch) {
            const InkDecodeResult strokes = InkReader::decode(bytes);
            ASSERT_TRUE(strokes.ok());
            EXPECT_EQ(strokes.drawing->strokeCount(), 2u);
        } else {
            const RichTextDocumentFormat::LoadResult words = RichTextDocumentFormat::loadFrom(bytes);
            ASSERT_TRUE(words.document);
            EXPECT_EQ(words.document->toPlainText(), QStringLiteral("Clouds gather"));
        }
        ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(5000));
        EXPECT_FALSE(AutoSaveController::autoSaveExists(project, false));
        EXPECT_EQ(restoreAlert(), nullptr);
        EXPECT_TRUE(QFile::remove(aside)) << "the kept bytes stay until someone removes them";
    }
}

#ifdef RECOVERY_CHILD_PATH
TEST_F(BoardRecoveryTest, cardOfAnotherFolderTypedInAKilledProcessIsRecoveredAndSaved)
{
    const QString deepId = deepCard()->uniqueIdentifier();
    QProcess child;
    child.start(QStringLiteral(RECOVERY_CHILD_PATH),
                {dir.filePath(QStringLiteral("CardStore.sqlite")), deepId, QStringLiteral("And the tide turned")});
    ASSERT_TRUE(child.waitForStarted(60000));
    QByteArray seen;
    QDeadlineTimer deadline(120000);
    while (seen != "written" && !deadline.hasExpired() && child.state() != QProcess::NotRunning) {
        if (child.canReadLine() || child.waitForReadyRead(200))
            seen = child.readLine().trimmed();
    }
    ASSERT_EQ(seen, QByteArray("written")) << child.readAllStandardError().toStdString();
    child.kill();
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    board->setCardOpening(std::make_shared<BoardEditorOpener>());
    ASSERT_NO_FATAL_FAILURE(appear());
    Alert* alert = restoreAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->message().startsWith(QStringLiteral("A card titled \"Deep\"")));
    ASSERT_TRUE(press(alert, 1));
    auto* editor = qobject_cast<PvSummaryEditViewController*>(
        board->presentedViewController()
            ? static_cast<NavigationController*>(board->presentedViewController())->topViewController()
            : nullptr);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(waitFor([&] { return editor->contentLoaded(); }));
    EXPECT_EQ(editor->currentObject(), deepCard()) << "the stored card, found in its own folder";
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("And the tide turned"));
    bool saved = false;
    QObject::connect(editor, &PvSummaryEditViewController::saveFinished, [&](bool ok) { saved = ok; });
    editor->saveButton()->trigger();
    ASSERT_TRUE(waitFor([&] { return saved; }));
    EXPECT_EQ(deepCard()->uniqueIdentifier(), deepId);
    EXPECT_EQ(deepCard()->summary(), QStringLiteral("And the tide turned"));
    EXPECT_EQ(deepCard()->parentItemId(), chapter);
    EXPECT_TRUE(waitFor([&] { return !AutoSaveController::hasAutoSaveWithProjectId(project, false).has_value(); }));
}
#endif

} // namespace
