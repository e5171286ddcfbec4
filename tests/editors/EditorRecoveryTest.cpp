#include "EditorFixture.h"

#include "core/Indexer.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/SerialQueue.h"
#include "platform/store/PersistentContainer.h"

#include <QProcess>

namespace {

// Crash recovery and changes made by another copy of the application while a card is open.
class EditorRecoveryTest : public EditorFixture {
protected:
    QVariantMap snapshotOf(const QString& itemId, const QString& text, const QDateTime& savedAt)
    {
        QTextDocument body;
        body.setPlainText(text);
        return {{AutoSaveController::kProjectIdKey, ProjectId},
                {AutoSaveController::kParentItemIdKey, FolderId},
                {AutoSaveController::kProjectItemIdKey, itemId},
                {AutoSaveController::kTitleKey, QStringLiteral("Lighthouse")},
                {AutoSaveController::kNotesKey, QStringLiteral("recovered note")},
                {AutoSaveController::kTagKey, QString("")},
                {AutoSaveController::kContentKey, *RichTextDocumentFormat::getData(body, 1.0)},
                {AutoSaveController::kMimeTypeKey, DocumentMimeTypes::RichText},
                {AutoSaveController::kItemTypeKey, ProjectItemTypes::Story},
                {AutoSaveController::kItemFormatKey, ProjectItemFormats::Text},
                {AutoSaveController::kItemSaveDateKey, savedAt}};
    }
    QString writeSnapshotFile() const { return writeStandInSnapshot(); }
    // Runs the writer and waits until this process has noticed its commit and handled the notice.
    void runWriterAndWaitForTheNotice(const QStringList& arguments)
    {
        int notices = 0;
        const int observer = NotificationCenter::defaultCenter().addObserver(
            QString::fromLatin1(PersistentContainer::RemoteChangeNotification), nullptr,
            [&notices](const Notification&) { ++notices; });
        ASSERT_NO_FATAL_FAILURE(runWriter(arguments));
        const bool noticed = waitFor([&notices] { return notices > 0; });
        NotificationCenter::defaultCenter().removeObserver(observer);
        ASSERT_TRUE(noticed);
        ASSERT_NO_FATAL_FAILURE(waitForQueuedWork());
    }
    // The editor's observer, added before the test's, queues its reading of the history on the GUI thread
    // before the test's observer counts the notice: once work queued after that has run, so has the editor's.
    static void waitForQueuedWork()
    {
        bool ran = false;
        Dispatch::main([&ran] { ran = true; });
        ASSERT_TRUE(waitFor([&ran] { return ran; }));
    }
};

TEST_F(EditorRecoveryTest, appliedSnapshotCountsAsUnsavedSoASecondCrashLosesNothing)
{
    writeSnapshotFile();
    QVariantMap recovered = snapshotOf(CardId, QStringLiteral("Recovered words here"), QDateTime::currentDateTime());
    recovered.insert(AutoSaveController::kTagKey, QStringLiteral("done"));
    recovered.insert(AutoSaveController::kTitleKey, QStringLiteral("The Lighthouse"));
    PvEditViewController* editor = open(CardId, recovered);
    EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("Recovered words here"));
    EXPECT_EQ(editor->title(), QStringLiteral("The Lighthouse")) << "the recovered title is the one shown";
    EXPECT_EQ(editor->notes(), QStringLiteral("recovered note"));
    EXPECT_EQ(editor->tag(), QStringLiteral("done"));
    EXPECT_TRUE(Alert::presented().isEmpty()) << "words that could be read back are shown without a word said";
    EXPECT_TRUE(editor->cardChanged());
    EXPECT_TRUE(editor->contentChanged());
    EXPECT_TRUE(app->hasPrimaryCardEdits);
    EXPECT_TRUE(editor->saveButton()->isEnabled());
    // The next tick writes the recovered words again without waiting for a keystroke.
    ASSERT_TRUE(editor->autoSaveController());
    EXPECT_TRUE(editor->autoSaveController()->autoSave());
    const QVariantMap snapshot = editor->autoSaveSnapshot();
    const RichTextDocumentFormat::LoadResult content =
        RichTextDocumentFormat::loadFrom(snapshot.value(AutoSaveController::kContentKey).toByteArray());
    ASSERT_TRUE(content.document);
    EXPECT_EQ(content.document->toPlainText(), QStringLiteral("Recovered words here"));
    EXPECT_EQ(snapshot.value(AutoSaveController::kProjectItemIdKey).toString(), CardId);
    // A card with a title of its own keeps it; only an untitled one is named after its words.
    EXPECT_EQ(snapshot.value(AutoSaveController::kTitleKey).toString(), QStringLiteral("The Lighthouse"));
    // Leaving without saving keeps the file.
    ViewController::transitionAppearance(navigation, false, false);
    EXPECT_TRUE(AutoSaveController::autoSaveExists(ProjectId, false));
}

TEST_F(EditorRecoveryTest, newCardsSnapshotNamesItsProjectItsFolderAndWhenItWasTaken)
{
    PvEditViewController* editor = open(QString());
    type(editor, QStringLiteral("Gulls over the pier"));
    const QDateTime before = QDateTime::currentDateTime();
    const QVariantMap snapshot = editor->autoSaveSnapshot();
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_EQ(snapshot.value(AutoSaveController::kProjectIdKey).toString(), ProjectId);
    EXPECT_EQ(snapshot.value(AutoSaveController::kParentItemIdKey).toString(), FolderId);
    EXPECT_EQ(snapshot.value(AutoSaveController::kProjectItemIdKey).toString(), QString());
    const QDateTime taken = snapshot.value(AutoSaveController::kItemSaveDateKey).toDateTime();
    ASSERT_TRUE(taken.isValid());
    EXPECT_LE(before, taken);
    EXPECT_LE(taken, after);
}

TEST_F(EditorRecoveryTest, editorThatHasLeftTheScreenRaisesNoUpdatedAlert)
{
    open();
    ViewController::transitionAppearance(navigation, false, false);
    ASSERT_NO_FATAL_FAILURE(
        runWriterAndWaitForTheNotice({QStringLiteral("update"), CardId, QStringLiteral("Retitled elsewhere")}));
    EXPECT_EQ(alertTitled(EditorPrompts::UpdatedAlertTitle), nullptr);
}

TEST_F(EditorRecoveryTest, snapshotGoesOnlyWithASuccessfulSaveOrADiscard)
{
    writeSnapshotFile();
    PvEditViewController* editor =
        open(CardId, snapshotOf(CardId, QStringLiteral("Recovered"), QDateTime::currentDateTime()));
    editor->cancelButton()->trigger();
    ASSERT_TRUE(alertTitled(EditorPrompts::DiscardChangesTitle));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::DiscardChangesTitle), 1));
    EXPECT_TRUE(AutoSaveController::autoSaveExists(ProjectId, false));
    // Shown again after a screen over it closed, the editor still holds the recovered words as its own.
    ASSERT_NO_FATAL_FAILURE(coverAndUncover(editor));
    ASSERT_TRUE(save(editor));
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, false));
    EXPECT_EQ(DbHelpers::getItem(context(), CardId)->summary(), QStringLiteral("Recovered"));

    // Recovered again and this time discarded: the snapshot goes with the words it brought back.
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    writeSnapshotFile();
    editor = open(CardId, snapshotOf(CardId, QStringLiteral("Thrown away"), QDateTime::currentDateTime().addSecs(60)));
    ASSERT_EQ(editor->editor()->toPlainText(), QStringLiteral("Thrown away"));
    ASSERT_NO_FATAL_FAILURE(discardChanges(editor));
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, false));
    EXPECT_EQ(DbHelpers::getItem(context(), CardId)->summary(), QStringLiteral("Recovered"));
}

TEST_F(EditorRecoveryTest, editorShownAgainGoesOnWritingItsOwnSnapshotAndItsSaveRemovesIt)
{
    PvEditViewController* editor = open();
    ASSERT_TRUE(editor->autoSaveController());
    editor->autoSaveController()->setSaveInterval(0.02);
    const auto snapshotText = [] {
        const std::optional<QVariantMap> snapshot = AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false);
        if (!snapshot)
            return QString();
        const RichTextDocumentFormat::LoadResult content =
            RichTextDocumentFormat::loadFrom(snapshot->value(AutoSaveController::kContentKey).toByteArray());
        return content.document ? content.document->toPlainText() : QString();
    };
    ASSERT_NO_FATAL_FAILURE(coverAndUncover(editor));
    type(editor, QStringLiteral(" Gulls."));
    ASSERT_TRUE(waitFor([&] { return snapshotText().endsWith(QStringLiteral(" Gulls.")); }));

    // The file on disk is the one it wrote: shown again, it writes over it and its Save takes it away, so words
    // already stored are not offered after a restart.
    ASSERT_NO_FATAL_FAILURE(coverAndUncover(editor));
    type(editor, QStringLiteral(" Rain."));
    EXPECT_TRUE(waitFor([&] { return snapshotText().endsWith(QStringLiteral(" Gulls. Rain.")); }));
    ASSERT_TRUE(save(editor));
    EXPECT_FALSE(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false));
}

TEST_F(EditorRecoveryTest, unreadableSnapshotShowsTheErrorIsKeptAsideAndTheCardsOwnWordsAreSnapshotted)
{
    const QString path = writeSnapshotFile();
    const QByteArray handed = snapshotFileBytes();
    const QByteArray before = storedDocumentBytes(CardId);
    QVariantMap recovered = snapshotOf(CardId, QStringLiteral("Lost words"), QDateTime::currentDateTime());
    recovered.insert(AutoSaveController::kContentKey, unreadableBytes());
    PvEditViewController* editor = open(CardId, recovered);
    Alert* error = alertTitled(EditorPrompts::UnreadableTitle);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message(), PvBaseEditor::UnreadableSnapshotMessage);
    ASSERT_TRUE(press(error, 0));
    // The card opens as last saved, none of the snapshot over it, with nothing for Save to store.
    EXPECT_EQ(editor->editor()->toPlainText(), CardText);
    EXPECT_FALSE(editor->editor()->isReadOnly());
    EXPECT_TRUE(editor->notes().isEmpty());
    EXPECT_FALSE(editor->cardChanged());
    EXPECT_FALSE(app->hasPrimaryCardEdits);
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    EXPECT_FALSE(editor->autoSaveController()->autoSave());
    // The writer answered the offer: the bytes no one could show are kept aside, never offered again.
    EXPECT_FALSE(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false));
    EXPECT_EQ(keptAside(), handed);
    // Words typed now are snapshotted as for any card, so a crash an hour later loses nothing.
    type(editor, QStringLiteral(" Typed after."));
    ASSERT_TRUE(tick(editor));
    const std::optional<QVariantMap> snapshot = AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false);
    ASSERT_TRUE(snapshot);
    const RichTextDocumentFormat::LoadResult words =
        RichTextDocumentFormat::loadFrom(snapshot->value(AutoSaveController::kContentKey).toByteArray());
    ASSERT_TRUE(words.document);
    EXPECT_EQ(words.document->toPlainText(), CardText + QStringLiteral(" Typed after."));
    ASSERT_NO_FATAL_FAILURE(discardChanges(editor));
    EXPECT_EQ(storedDocumentBytes(CardId), before);
    ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(5000));
    EXPECT_FALSE(QFile::exists(path)) << "the card's own snapshot goes with its Discard";
    EXPECT_EQ(keptAside(), handed);
}

TEST_F(EditorRecoveryTest, recoveredWordsOfAnUnreadableCardAreShownAndKeptAsANewCardBesideIt)
{
    DbHelpers::getItemDocument(context(), CardId)->setContent(unreadableBytes());
    ASSERT_FALSE(context()->save());
    const QByteArray before = storedDocumentBytes(CardId);
    for (const bool saved : {true, false}) {
        SCOPED_TRACE(saved ? "saved" : "discarded");
        const QString path = writeSnapshotFile();
        PvEditViewController* editor =
            open(CardId, snapshotOf(CardId, QStringLiteral("Words from the crash"), QDateTime::currentDateTime()));
        Alert* error = alertTitled(EditorPrompts::UnreadableTitle);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->message(), PvBaseEditor::UnreadableRecoveredMessage);
        ASSERT_TRUE(press(error, 0));
        EXPECT_EQ(editor->editor()->toPlainText(), QStringLiteral("Words from the crash"));
        EXPECT_FALSE(editor->editor()->isReadOnly());
        EXPECT_EQ(editor->currentObject(), nullptr);
        type(editor, QStringLiteral(" and after"));
        EXPECT_TRUE(editor->autoSaveController()->ownsSnapshot());
        // The words shown are the snapshot's own, written again as they grow.
        ASSERT_TRUE(editor->autoSaveController()->writeSnapshotNow());
        editor->commands().applyTag(QStringLiteral("done"));
        if (saved) {
            ASSERT_TRUE(save(editor));
            ASSERT_EQ(added.size(), 1);
            const QString copyId = added.first()->uniqueIdentifier();
            EXPECT_NE(copyId, CardId);
            EXPECT_EQ(storedValue(
                          QStringLiteral("SELECT summary FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(copyId)),
                      "Words from the crash and after");
            EXPECT_EQ(
                storedValue(QStringLiteral("SELECT tag FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(copyId)),
                "done");
            EXPECT_EQ(storedValue(
                          QStringLiteral("SELECT itemType FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(copyId)),
                      "1");
        } else {
            ASSERT_NO_FATAL_FAILURE(discardChanges(editor));
        }
        ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
        // The writer decided on the words; the body no one could read is as it was stored.
        ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(5000));
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_EQ(storedDocumentBytes(CardId), before);
        EXPECT_TRUE(storedValue(QStringLiteral("SELECT tag FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(CardId))
                        .isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(EditorRecoveryTest, snapshotOfAnUnreadableCardThatCannotBeReadEitherIsKeptAsideThroughASaveOfItsDetails)
{
    DbHelpers::getItemDocument(context(), CardId)->setContent(unreadableBytes());
    ASSERT_FALSE(context()->save());
    const QByteArray before = storedDocumentBytes(CardId);
    const QString path = writeSnapshotFile();
    const QByteArray handed = snapshotFileBytes();
    QVariantMap recovered = snapshotOf(CardId, QString(), QDateTime::currentDateTime());
    recovered.insert(AutoSaveController::kContentKey, unreadableBytes());
    PvEditViewController* editor = open(CardId, recovered);
    Alert* error = alertTitled(EditorPrompts::UnreadableTitle);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message(), PvBaseEditor::UnreadableMessage);
    ASSERT_TRUE(press(error, 0));
    EXPECT_EQ(Alert::presented().size(), 0) << "one error for one card";
    EXPECT_TRUE(editor->editor()->isReadOnly());
    EXPECT_EQ(editor->currentObject(), DbHelpers::getItem(context(), CardId));
    editor->commands().applyTag(QStringLiteral("done"));
    ASSERT_TRUE(save(editor));
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    // Its words were never shown nor stored, and no one can show them: they are kept, under a name the board does
    // not offer, and wait for no card.
    ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(5000));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(keptAside(), handed);
    EXPECT_EQ(storedDocumentBytes(CardId), before);
}

TEST_F(EditorRecoveryTest, snapshotOlderThanTheCardOrWithoutADateOpensAsANewCard)
{
    const QByteArray original = storedDocumentBytes(CardId);
    // Taken before the card's last save; and one that does not say when it was taken, of a card saved since.
    for (const QDateTime& taken : {QDateTime::currentDateTime().addDays(-5), QDateTime()}) {
        SCOPED_TRACE(taken.isValid() ? "older" : "no date");
        added.clear();
        QVariantMap recovered = snapshotOf(CardId, QStringLiteral("Old recovered words"), taken);
        if (!taken.isValid())
            recovered.remove(AutoSaveController::kItemSaveDateKey);
        PvEditViewController* editor = open(CardId, recovered);
        EXPECT_EQ(editor->currentObject(), nullptr);
        ASSERT_TRUE(save(editor));
        ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
        // The card as saved later stays; the snapshot's words are a card of their own.
        EXPECT_EQ(storedDocumentBytes(CardId), original);
        ASSERT_EQ(added.size(), 1);
        EXPECT_NE(added.first()->uniqueIdentifier(), CardId);
        EXPECT_EQ(added.first()->summary(), QStringLiteral("Old recovered words"));
        EXPECT_TRUE(
            storedValue(QStringLiteral("SELECT summary FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(CardId))
                .isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(EditorRecoveryTest, ourOwnSaveOfTheCardRaisesNoUpdatedAlert)
{
    PvEditViewController* editor = open();
    // The board (same process) stores a change of the card; the notice comes for it all the same.
    int notices = 0;
    const int observer = NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(PersistentContainer::RemoteChangeNotification), nullptr,
        [&notices](const Notification&) { ++notices; });
    DbHelpers::getItem(context(), CardId)->setTag(QStringLiteral("done"));
    ASSERT_FALSE(context()->save());
    const bool noticed = waitFor([&notices] { return notices > 0; });
    NotificationCenter::defaultCenter().removeObserver(observer);
    ASSERT_TRUE(noticed);
    ASSERT_NO_FATAL_FAILURE(waitForQueuedWork());
    EXPECT_FALSE(alertTitled(EditorPrompts::UpdatedAlertTitle));
    EXPECT_FALSE(editor->isBusy());
}

TEST_F(EditorRecoveryTest, anotherProcessUpdatingTheCardRaisesTheUpdatedAlert)
{
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" mine"));
    ASSERT_NO_FATAL_FAILURE(runWriter({QStringLiteral("update"), CardId, QStringLiteral("Retitled elsewhere")}));
    ASSERT_TRUE(waitFor([this] { return alertTitled(EditorPrompts::UpdatedAlertTitle) != nullptr; }));
    Alert* alert = alertTitled(EditorPrompts::UpdatedAlertTitle);
    EXPECT_EQ(alert->message(), EditorPrompts::UpdatedAlertFormat.arg(EditorPrompts::UpdatedAlertCopyOffer));
    EXPECT_EQ(alert->actionTitles(), (QStringList{EditorPrompts::IgnoreChangesTitle, EditorPrompts::LoadCardTitle}));
    ASSERT_TRUE(press(alert, 0));
    EXPECT_TRUE(editor->editor()->toPlainText().endsWith(QStringLiteral(" mine")));
}

TEST_F(EditorRecoveryTest, loadCardKeepsOurEditsAsACopyAndShowsTheUpdatedCard)
{
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" mine"));
    ASSERT_NO_FATAL_FAILURE(runWriter({QStringLiteral("update"), CardId, QStringLiteral("Retitled elsewhere")}));
    ASSERT_TRUE(waitFor([this] { return alertTitled(EditorPrompts::UpdatedAlertTitle) != nullptr; }));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::UpdatedAlertTitle), 1));
    ASSERT_TRUE(waitFor([editor] { return !editor->isBusy() && !editor->cardChanged(); }));
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(added.first()->title(), QStringLiteral("Copy of Lighthouse"));
    EXPECT_EQ(added.first()->summary(), CardText + QStringLiteral(" mine"));
    EXPECT_EQ(editor->fullTitle(), QStringLiteral("Retitled elsewhere"));
    EXPECT_EQ(editor->editor()->toPlainText(), CardText);
    EXPECT_TRUE(isOpen());
    EXPECT_FALSE(context()->isPinned()) << "an editor no one pinned leaves the store free";
}

TEST_F(EditorRecoveryTest, loadCardAfterRecoverKeepsTheRecoveredWordsAsACopyAndShowsThemNoMore)
{
    writeSnapshotFile();
    PvEditViewController* editor =
        open(CardId, snapshotOf(CardId, QStringLiteral("Recovered words here"), QDateTime::currentDateTime()));
    ASSERT_EQ(editor->editor()->toPlainText(), QStringLiteral("Recovered words here"));
    ASSERT_NO_FATAL_FAILURE(runWriter({QStringLiteral("update"), CardId, QStringLiteral("Retitled elsewhere")}));
    ASSERT_TRUE(waitFor([this] { return alertTitled(EditorPrompts::UpdatedAlertTitle) != nullptr; }));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::UpdatedAlertTitle), 1));
    ASSERT_TRUE(waitFor([editor] { return !editor->isBusy() && !editor->cardChanged(); }));
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(added.first()->summary(), QStringLiteral("Recovered words here"));
    EXPECT_EQ(editor->editor()->toPlainText(), CardText) << "the recovered words are in the copy, not shown again";
}

TEST_F(EditorRecoveryTest, loadCardOfAnUnreadableCardCopiesItsBodyAsStored)
{
    // A body of a format this version cannot read, under a type of its own.
    const QByteArray garbage = unreadableBytes();
    const QByteArray format = "application/x-vornquil-future";
    ProjectItem* card = DbHelpers::getItem(context(), CardId);
    card->setTerms(Indexer::terms({QStringLiteral("Lighthouse"), CardText}));
    card->setSummary(CardText);
    card->setCharCount(CardText.size());
    ProjectItemDocument* document = DbHelpers::getItemDocument(context(), CardId);
    document->setContent(garbage);
    document->setMimetype(QString::fromLatin1(format));
    ASSERT_FALSE(context()->save());
    PvEditViewController* editor = open();
    ASSERT_TRUE(alertTitled(EditorPrompts::UnreadableTitle));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::UnreadableTitle), 0));
    editor->commands().applyTag(QStringLiteral("done"));
    ASSERT_NO_FATAL_FAILURE(runWriter({QStringLiteral("update"), CardId, QStringLiteral("Retitled elsewhere")}));
    ASSERT_TRUE(waitFor([this] { return alertTitled(EditorPrompts::UpdatedAlertTitle) != nullptr; }));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::UpdatedAlertTitle), 1));
    ASSERT_TRUE(waitFor([editor] { return !editor->isBusy() && !editor->cardChanged(); }));
    ASSERT_EQ(added.size(), 1);
    const QString copyId = added.first()->uniqueIdentifier();
    const auto stored = [this, &copyId](const char* column) {
        return storedValue(QStringLiteral("SELECT %1 FROM ProjectItem WHERE uniqueIdentifier = '%2'")
                               .arg(QString::fromLatin1(column), copyId));
    };
    // The copy holds the body exactly as stored, and says of it what the card said.
    EXPECT_EQ(stored("title"), "Copy of Lighthouse");
    EXPECT_EQ(stored("tag"), "done");
    EXPECT_EQ(storedDocumentBytes(copyId), garbage);
    EXPECT_EQ(
        storedValue(QStringLiteral("SELECT mimetype FROM ProjectItemDocument WHERE parentItemId = '%1'").arg(copyId)),
        format);
    const auto storedDocument = [this, &copyId](const char* column) {
        return storedValue(QStringLiteral("SELECT %1 FROM ProjectItemDocument WHERE parentItemId = '%2'")
                               .arg(QString::fromLatin1(column), copyId));
    };
    EXPECT_FALSE(storedDocument("uniqueIdentifier").isEmpty());
    EXPECT_EQ(storedDocument("projectId"), ProjectId.toUtf8());
    EXPECT_TRUE(stored("terms").contains(" lamp ")) << stored("terms").constData();
    EXPECT_EQ(stored("summary"), CardText.toUtf8());
    EXPECT_EQ(stored("wordCount").toLongLong(), 6);
    EXPECT_EQ(stored("charCount").toLongLong(), CardText.size());
    EXPECT_EQ(storedDocumentBytes(CardId), garbage);
    // The card shows again as stored, and the copy is just as unreadable and as safe from being saved over.
    EXPECT_EQ(editor->fullTitle(), QStringLiteral("Retitled elsewhere"));
    EXPECT_TRUE(editor->bodyUnreadable());
    editor->cancelButton()->trigger();
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    PvEditViewController* copy = open(copyId);
    EXPECT_TRUE(alertTitled(EditorPrompts::UnreadableTitle));
    EXPECT_TRUE(copy->bodyUnreadable());
}

TEST_F(EditorRecoveryTest, loadCardThatFindsTheBodyReadableAgainOpensItEditableAndSavesNewWords)
{
    DbHelpers::getItemDocument(context(), CardId)->setContent(unreadableBytes());
    ASSERT_FALSE(context()->save());
    PvEditViewController* editor = open();
    ASSERT_TRUE(alertTitled(EditorPrompts::UnreadableTitle));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::UnreadableTitle), 0));
    ASSERT_TRUE(editor->editor()->isReadOnly());
    // Another copy of the program, one that could read it, wrote the card's body anew.
    ASSERT_NO_FATAL_FAILURE(runWriter({QStringLiteral("body"), CardId, QStringLiteral("Written elsewhere")}));
    ASSERT_TRUE(waitFor([this] { return alertTitled(EditorPrompts::UpdatedAlertTitle) != nullptr; }));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::UpdatedAlertTitle), 1));
    ASSERT_TRUE(waitFor([editor] { return editor->editor()->toPlainText() == QStringLiteral("Written elsewhere"); }));
    EXPECT_FALSE(editor->bodyUnreadable());
    EXPECT_FALSE(editor->editor()->isReadOnly());
    EXPECT_TRUE(added.isEmpty()) << "nothing was changed, so nothing was copied";
    EXPECT_FALSE(editor->isBusy()) << "nothing was changed, so nothing is being saved";
    runEventsFor(50);
    EXPECT_EQ(countOf<ProjectStat>(), 0) << "nothing was changed, so nothing was saved";
    EXPECT_EQ(editor->fullTitle(), QStringLiteral("Lighthouse"));
    type(editor, QStringLiteral(" and here"));
    ASSERT_TRUE(save(editor));
    const RichTextDocumentFormat::LoadResult stored = RichTextDocumentFormat::loadFrom(storedDocumentBytes(CardId));
    ASSERT_TRUE(stored.document);
    EXPECT_EQ(stored.document->toPlainText(), QStringLiteral("Written elsewhere and here"));
    EXPECT_EQ(storedValue(QStringLiteral("SELECT summary FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(CardId)),
              "Written elsewhere and here");
}

TEST_F(EditorRecoveryTest, renamedUnreadableCardIsFoundByItsNewTitleAndStillByItsWords)
{
    ProjectItem* card = DbHelpers::getItem(context(), CardId);
    card->setTitle(QStringLiteral("Lighthouse Lamp"));
    // The body goes on past its summary, and there it names the lighthouse.
    card->setTerms(Indexer::terms({card->title(), CardText + QStringLiteral(" The lighthouse stood.")}));
    card->setSummary(CardText);
    DbHelpers::getItemDocument(context(), CardId)->setContent(unreadableBytes());
    ASSERT_FALSE(context()->save());
    PvEditViewController* editor = open();
    ASSERT_TRUE(alertTitled(EditorPrompts::UnreadableTitle));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::UnreadableTitle), 0));
    ASSERT_NO_FATAL_FAILURE(rename(editor, QStringLiteral("Harbour")));
    ASSERT_TRUE(save(editor));
    const QByteArray stored =
        storedValue(QStringLiteral("SELECT terms FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(CardId));
    const QList<QByteArray> terms = stored.split(' ');
    EXPECT_TRUE(terms.contains("harbour")) << stored.constData();
    // Which words the body gave is unknown: every one stays, also those the old title shared with it, in the
    // summary or past it.
    EXPECT_TRUE(terms.contains("dusk")) << stored.constData();
    EXPECT_TRUE(terms.contains("lamp")) << stored.constData();
    EXPECT_TRUE(terms.contains("lighthouse")) << stored.constData();
    EXPECT_TRUE(terms.contains("stood")) << stored.constData();
}

TEST_F(EditorRecoveryTest, updateWhilePeekingIsShownWhenThePanelCloses)
{
    PvEditViewController* editor = open();
    editor->setPeeking(true);
    ASSERT_NO_FATAL_FAILURE(
        runWriterAndWaitForTheNotice({QStringLiteral("update"), CardId, QStringLiteral("Retitled elsewhere")}));
    EXPECT_FALSE(alertTitled(EditorPrompts::UpdatedAlertTitle));
    editor->setPeeking(false);
    ASSERT_TRUE(waitFor([this] { return alertTitled(EditorPrompts::UpdatedAlertTitle) != nullptr; }));
    Alert* alert = alertTitled(EditorPrompts::UpdatedAlertTitle);
    EXPECT_EQ(alert->message(), EditorPrompts::UpdatedAlertFormat.arg(QString()));
}

TEST_F(EditorRecoveryTest, anotherProcessChangingAnotherCardRaisesNothing)
{
    open();
    ASSERT_NO_FATAL_FAILURE(runWriterAndWaitForTheNotice(
        {QStringLiteral("update"), QStringLiteral("CARD-2"), QStringLiteral("Someone else")}));
    EXPECT_FALSE(alertTitled(EditorPrompts::UpdatedAlertTitle));
}

TEST_F(EditorRecoveryTest, cardDeletedElsewhereIsSavedAsANewCardInAFolderThatExists)
{
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" Kept."));
    ASSERT_NO_FATAL_FAILURE(runWriter({QStringLiteral("delete"), CardId, FolderId}));
    ASSERT_TRUE(save(editor));
    context()->refreshAllObjects();
    EXPECT_EQ(countOf<ProjectItem>(QStringLiteral("uniqueIdentifier == %@"), {CardId}), 0);
    ASSERT_EQ(added.size(), 1);
    EXPECT_NE(added.first()->uniqueIdentifier(), CardId);
    EXPECT_EQ(added.first()->parentItemId(), ItemIds::Top);
    EXPECT_EQ(added.first()->summary(), CardText + QStringLiteral(" Kept."));
    EXPECT_EQ(countOf<ProjectItemDocument>(QStringLiteral("parentItemId == %@"), {added.first()->uniqueIdentifier()}),
              1);
}

TEST_F(EditorRecoveryTest, cardDeletedElsewhereAsksBeforeItsWordsAreClosedAway)
{
    PvEditViewController* editor = open();
    ASSERT_NO_FATAL_FAILURE(runWriterAndWaitForTheNotice({QStringLiteral("delete"), CardId}));
    ASSERT_TRUE(waitFor([editor] { return editor->cardChanged(); }));
    EXPECT_TRUE(app->hasPrimaryCardEdits);
    editor->cancelButton()->trigger();
    ASSERT_TRUE(alertTitled(EditorPrompts::DiscardChangesTitle));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::DiscardChangesTitle), 0));
    ASSERT_TRUE(waitFor([this] { return !isOpen(); }));

    // A card whose body cannot be read shows no words of its own: its deletion elsewhere leaves nothing to keep.
    const QString unreadable = QStringLiteral("CARD-2");
    ASSERT_NO_FATAL_FAILURE(keepBodyOnTheCard(unreadable, unreadableBytes()));
    editor = open(unreadable);
    ASSERT_TRUE(alertTitled(EditorPrompts::UnreadableTitle));
    ASSERT_TRUE(press(alertTitled(EditorPrompts::UnreadableTitle), 0));
    ASSERT_NO_FATAL_FAILURE(runWriterAndWaitForTheNotice({QStringLiteral("delete"), unreadable}));
    EXPECT_FALSE(editor->cardChanged());
    EXPECT_FALSE(app->hasPrimaryCardEdits);
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    editor->cancelButton()->trigger();
    EXPECT_FALSE(alertTitled(EditorPrompts::DiscardChangesTitle));
    EXPECT_TRUE(waitFor([this] { return !isOpen(); }));
}

} // namespace
