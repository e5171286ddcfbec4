#include "BoardTestFixture.h"

#include "board/BoardEditorOpener.h"
#include "board/BoardRecovery.h"
#include "board/CardOpener.h"
#include "core/AutoSaveController.h"
#include "core/ProjectItemDocument.h"
#include "dialogs/RelativeDateFormatter.h"
#include "editors/KuvBaseSketch.h"
#include "editors/PvEditViewController.h"
#include "editors/PvSummaryEditViewController.h"
#include "platform/BarButtonItem.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/ink/InkDrawing.h"
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

TEST_F(BoardRecoveryTest, discardDeletesThePrimaryAndTheSecondarySnapshot)
{
    // The primary first: asked for while only a secondary exists, the primary takes the secondary's file over.
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(snapshotOf(QString(), ItemIds::Top, ProjectItemTypes::Idea, "Two")));
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(snapshotOf(QString(), ItemIds::Top, ProjectItemTypes::Idea, "One"), true));
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_TRUE(AutoSaveController::hasAutoSaveWithProjectId(project, true)) << "both snapshots wait for the answer";
    Alert* alert = restoreAlert();
    ASSERT_NE(alert, nullptr);
    alert->trigger(0);
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
    alert->trigger(1);
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
    EXPECT_EQ(CardOpener::openSecondaryCardFromAutoSaveWithController(&host, context(), project, {}, {}), nullptr);
    EXPECT_EQ(host.presentedViewController(), nullptr);
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
    context()->deleteObject(deep);
    context()->save();
    EXPECT_EQ(CardOpener::openSecondaryCardFromAutoSaveWithController(&host, context(), project, {}, {}), nullptr)
        << "a card deleted meanwhile opens nothing";
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
    alert->trigger(1);
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
    alert->trigger(1);
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
