#include "editors/EditorSaveFlow.h"
#include "StoredRows.h"
#include "TestStore.h"
#include "TestWait.h"
#include "core/AutoSaveController.h"
#include "core/DbHelpers.h"
#include "core/ProjectItem.h"
#include "editors/CardEditorFields.h"
#include "editors/EditorPrompts.h"
#include "editors/PendingRecords.h"
#include "platform/Alert.h"
#include "platform/Delays.h"
#include "platform/ProgressHud.h"
#include "platform/SerialQueue.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObjectContext.h"

#include <QStringList>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

namespace {

const QString ProjectId = QStringLiteral("FLOW-PROJECT");
const QString NotWritten = QStringLiteral("Nothing of this card could be written.");

// An editor reduced to what the flow asks of it: each hook notes its call, and
// the write inserts a new card.
class RecordingEditor : public CardEditorFields, public EditorSaveFlow::Editor {
public:
    bool isBusy() const override { return busy; }
    void setSaving(bool saving) override { calls << (saving ? "saving" : "notSaving"); }
    bool writeCard(const std::optional<QString>& copyTitle) override
    {
        calls << "write";
        if (!writes)
            return false;
        inserted = m_context->insertNew<ProjectItem>();
        inserted->setUniqueIdentifier(QStringLiteral("CARD-%1").arg(++cards));
        inserted->setProjectId(ProjectId);
        inserted->setTitle(copyTitle.value_or(QStringLiteral("Harbour")));
        return true;
    }
    ProjectItem* takeInsertedCard() override
    {
        calls << "take";
        return std::exchange(inserted, nullptr);
    }
    bool defersSave() const override { return defers; }
    QList<ManagedObject*> cardRecords() const override { return {inserted}; }
    PendingRecords& pendingRecords() override { return pending; }
    AutoSaveController* autoSaveController() const override { return snapshots.get(); }
    void forgetPendingChanges() override { calls << "forget"; }
    void markSaved() override { calls << "markSaved"; }
    void saveEnded(bool saved) override { calls << (saved ? "ended" : "failed"); }
    void discardPendingChanges() override { calls << "discard"; }
    void markUnchanged() override { calls << "unchanged"; }
    void leave(bool saved) override { calls << (saved ? "leaveSaved" : "leaveDiscarded"); }

    QStringList calls;
    bool busy = false;
    bool writes = true;
    bool defers = false;
    int cards = 0;
    ProjectItem* inserted = nullptr;
    std::unique_ptr<AutoSaveController> snapshots;
    PendingRecords pending;
};

class EditorSaveFlowTest : public ::testing::Test {
protected:
    EditorSaveFlowTest()
    {
        Delays::setFactor(0);
        editor.setManagedObjectContext(store.context());
        editor.setCurrentProjectId(ProjectId);
        editor.addedRecord = [this](ProjectItem* card) {
            added.append(card);
        };
        flow = std::make_unique<EditorSaveFlow>(view, editor, editor, NotWritten);
    }
    ~EditorSaveFlowTest() override
    {
        for (Alert* alert : Alert::presented())
            alert->done(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        editor.snapshots.reset();
        AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, false);
        ProgressHud::reset();
        Delays::setFactor(1);
    }

    // A snapshot on disk, as the timer leaves one after a change.
    void guardWithSnapshot()
    {
        editor.snapshots = flow->startSnapshots(
            [] {
                return QVariantMap{{AutoSaveController::kProjectIdKey, ProjectId},
                                   {AutoSaveController::kContentKey, QByteArray("unsaved words")}};
            },
            true);
        ASSERT_TRUE(editor.snapshots->writeSnapshotNow());
        ASSERT_TRUE(AutoSaveController::autoSaveExists(ProjectId, false));
    }
    // Starts a save and waits until the editor heard how it ended.
    void saveAndWait(const std::optional<QString>& copyTitle = std::nullopt, std::function<void()> completion = {})
    {
        flow->save(copyTitle, std::move(completion));
        ASSERT_TRUE(waitFor([this] { return editor.calls.contains("ended") || editor.calls.contains("failed"); }));
    }
    // SQL run on a connection of its own, as another program would.
    void execute(const char* sql) const
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(store.path().toUtf8().constData(), &db), SQLITE_OK);
        const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK);
    }
    void refuseNewCards() const
    {
        execute("CREATE TRIGGER refuse BEFORE INSERT ON ProjectItem BEGIN SELECT "
                "RAISE(ABORT, 'disk refused'); END;");
    }
    ProjectItem* storedCard(const QString& id, const QString& title)
    {
        auto* card = store.context()->insertNew<ProjectItem>();
        card->setUniqueIdentifier(id);
        card->setProjectId(ProjectId);
        card->setTitle(title);
        return card;
    }
    Alert* alertTitled(const QString& title) const
    {
        for (Alert* alert : Alert::presented()) {
            if (alert->title() == title)
                return alert;
        }
        return nullptr;
    }
    // Cards in the store file itself, read as another program would: pending
    // inserts do not count.
    int storedCards() const
    {
        sqlite3* db = nullptr;
        int count = -1;
        if (sqlite3_open(store.path().toUtf8().constData(), &db) == SQLITE_OK) {
            sqlite3_exec(
                db, "SELECT count(*) FROM ProjectItem",
                [](void* out, int, char** values, char**) {
                    *static_cast<int*>(out) = std::atoi(values[0]);
                    return 0;
                },
                &count, nullptr);
        }
        sqlite3_close(db);
        return count;
    }
    // Whether the snapshot file is there once every write and removal asked for
    // so far has run.
    static bool snapshotOnDisk()
    {
        EXPECT_TRUE(AutoSaveController::snapshotQueue().waitForDone(5000));
        return AutoSaveController::autoSaveExists(ProjectId, false);
    }

    TestStore store;
    ViewController view;
    RecordingEditor editor;
    std::unique_ptr<EditorSaveFlow> flow;
    QList<ProjectItem*> added;
};

} // namespace

TEST_F(EditorSaveFlowTest, savedCardIsStoredBeforeItsGuardsGoAndTheEditorLeavesLast)
{
    ASSERT_NO_FATAL_FAILURE(guardWithSnapshot());
    ASSERT_NO_FATAL_FAILURE(saveAndWait());
    EXPECT_EQ(editor.calls, QStringList({"saving", "write", "take", "forget", "markSaved", "ended", "leaveSaved"}));
    EXPECT_FALSE(store.context()->hasChanges());
    EXPECT_EQ(storedCards(), 1);
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(added.first()->title(), QStringLiteral("Harbour"));
    EXPECT_FALSE(snapshotOnDisk());
}

TEST_F(EditorSaveFlowTest, refusedStoreKeepsTheSnapshotThePendingCardAndTheEditor)
{
    ASSERT_NO_FATAL_FAILURE(guardWithSnapshot());
    ASSERT_NO_FATAL_FAILURE(refuseNewCards());
    // A card opened from inside another editor fails as any other.
    for (const bool defers : {false, true}) {
        editor.defers = defers;
        editor.calls.clear();
        ASSERT_NO_FATAL_FAILURE(saveAndWait());
        EXPECT_EQ(editor.calls, QStringList({"saving", "write", "notSaving", "failed"}));
        EXPECT_TRUE(store.context()->hasChanges());
        EXPECT_TRUE(added.isEmpty());
        EXPECT_TRUE(snapshotOnDisk());
        Alert* warning = alertTitled(DbHelpers::SaveErrorTitle);
        ASSERT_NE(warning, nullptr);
        warning->trigger(0);
    }
}

TEST_F(EditorSaveFlowTest, cardNotWrittenIsReportedInTheEditorsOwnWordsAndNothingIsStored)
{
    ASSERT_NO_FATAL_FAILURE(guardWithSnapshot());
    editor.writes = false;
    ASSERT_NO_FATAL_FAILURE(saveAndWait());
    EXPECT_EQ(editor.calls, QStringList({"saving", "write", "notSaving", "failed"}));
    Alert* alert = alertTitled(DbHelpers::SaveErrorTitle);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->message(), NotWritten);
    EXPECT_EQ(alert->actionTitles(), QStringList{DbHelpers::SaveErrorButton});
    EXPECT_TRUE(snapshotOnDisk());
    EXPECT_TRUE(waitFor([] { return !ProgressHud::isActive(); }));
}

TEST_F(EditorSaveFlowTest, deferredCardNotWrittenIsNotReportedSavedToTheOpener)
{
    editor.defers = true;
    ASSERT_NO_FATAL_FAILURE(guardWithSnapshot());
    editor.writes = false;
    ASSERT_NO_FATAL_FAILURE(saveAndWait());
    EXPECT_EQ(editor.calls, QStringList({"saving", "write", "notSaving", "failed"}));
    EXPECT_TRUE(added.isEmpty());
}

TEST_F(EditorSaveFlowTest, deferredSaveIsStoredAtOnceAndOnlyThenItsSnapshotGoes)
{
    editor.defers = true;
    ASSERT_NO_FATAL_FAILURE(guardWithSnapshot());
    // Pending in the shared context, and not this card's: no opener under it
    // tells whose it is.
    ProjectItem* elsewhere = store.context()->insertNew<ProjectItem>();
    elsewhere->setUniqueIdentifier(QStringLiteral("OPENERS-CARD"));
    ASSERT_NO_FATAL_FAILURE(saveAndWait());
    // The writer pressed Save: the words are in the store file before the editor
    // says so and leaves.
    EXPECT_EQ(editor.calls, QStringList({"saving", "write", "take", "forget", "markSaved", "ended", "leaveSaved"}));
    EXPECT_TRUE(elsewhere->isInserted());
    EXPECT_EQ(storedCards(), 1);
    EXPECT_EQ(added.size(), 1);
    EXPECT_FALSE(snapshotOnDisk());
}

TEST_F(EditorSaveFlowTest, deferredCopyIsStoredAtOnceAndTheEditorStaysForTheCompletion)
{
    editor.defers = true;
    ASSERT_NO_FATAL_FAILURE(guardWithSnapshot());
    ASSERT_NO_FATAL_FAILURE(saveAndWait(QStringLiteral("Copy of Harbour"), [this] { editor.calls << "completion"; }));
    EXPECT_EQ(editor.calls,
              QStringList({"saving", "write", "take", "forget", "markSaved", "ended", "notSaving", "completion"}));
    EXPECT_FALSE(store.context()->hasChanges());
    EXPECT_EQ(storedCards(), 1);
    EXPECT_FALSE(snapshotOnDisk());
    // The indicator goes once the completion ran: the editor stays for the
    // writer.
    EXPECT_TRUE(waitFor([] { return !ProgressHud::isActive(); }));
    // A copy saved with nothing to run after it stays in the editor all the same.
    editor.calls.clear();
    ASSERT_NO_FATAL_FAILURE(saveAndWait(QStringLiteral("Second copy of Harbour")));
    EXPECT_EQ(editor.calls.last(), QStringLiteral("notSaving"));
}

TEST_F(EditorSaveFlowTest, busyEditorStartsNoSecondSave)
{
    editor.busy = true;
    flow->save(std::nullopt, {});
    runEventsFor(50);
    EXPECT_TRUE(editor.calls.isEmpty());
    EXPECT_FALSE(store.context()->hasChanges());
}

TEST_F(EditorSaveFlowTest, discardDropsOnlyAfterTheQuestionAndTakesTheSnapshotWithIt)
{
    ASSERT_NO_FATAL_FAILURE(guardWithSnapshot());
    flow->confirmDiscard();
    Alert* question = alertTitled(EditorPrompts::DiscardChangesTitle);
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(editor.calls.isEmpty());
    question->trigger(0);
    EXPECT_EQ(editor.calls, QStringList({"discard", "unchanged", "leaveDiscarded"}));
    EXPECT_FALSE(snapshotOnDisk());
}

TEST_F(EditorSaveFlowTest, snapshotTimerWritesAtTheFirstTickOnlyForWordsAlreadyUnsaved)
{
    editor.setIsSecondaryCard(true);
    std::unique_ptr<AutoSaveController> unsaved = flow->startSnapshots([] { return QVariantMap(); }, true);
    EXPECT_TRUE(unsaved->autoSave());
    EXPECT_TRUE(unsaved->isSecondary());
    EXPECT_EQ(unsaved->projectId(), ProjectId);
    std::unique_ptr<AutoSaveController> fresh = flow->startSnapshots([] { return QVariantMap(); }, false);
    EXPECT_FALSE(fresh->autoSave());
}

// Two screens share the store's context. One left a change pending (a rename
// the store refused); this editor's save then wrote over the same record, and
// the store refused that too. The writer's Discard takes back only what this
// attempt changed: the other screen's rename stays, for its own next save.
TEST_F(EditorSaveFlowTest, discardAfterARefusedSaveRevertsOnlyWhatThatAttemptChanged)
{
    ProjectItem* folder = storedCard(QStringLiteral("FOLDER"), QStringLiteral("Part One"));
    ProjectItem* card = storedCard(QStringLiteral("CARD"), QStringLiteral("Lighthouse"));
    ProjectItem* project = storedCard(QStringLiteral("STAMPED"), QStringLiteral("Harbour"));
    ASSERT_FALSE(store.context()->save());
    folder->setTitle(QStringLiteral("Part Two"));
    ASSERT_NO_FATAL_FAILURE(refuseNewCards());
    PendingRecords pending;
    ProjectItem* made = nullptr;
    const bool written = pending.watch(store.context(), [&] {
        card->setTitle(QStringLiteral("Lighthouse at night"));
        folder->setSummary(QStringLiteral("stamped by the card"));
        project->setSummary(QStringLiteral("stamped by the card"));
        made = storedCard(QStringLiteral("NEW"), QStringLiteral("Made by the save"));
        pending.track(made);
        // Only new records are the editor's to delete on a discard.
        pending.track(card);
        return true;
    });
    ASSERT_TRUE(written);
    ASSERT_TRUE(store.context()->save()) << "the store took what it should have refused";
    EXPECT_TRUE(pending.contains(made));
    EXPECT_FALSE(pending.contains(card));
    pending.discard(store.context(), {card}, nullptr);
    execute("DROP TRIGGER refuse");
    EXPECT_EQ(folder->title(), QStringLiteral("Part Two")) << "another screen's pending rename was undone";
    EXPECT_EQ(project->summary(), QString());
    // A second Discard has nothing of the attempt left to undo, nor to store.
    project->setSummary(QStringLiteral("another screen's"));
    pending.discard(store.context(), {}, nullptr);
    EXPECT_EQ(project->summary(), QStringLiteral("another screen's"));
    EXPECT_EQ(storedRows(store.path(), "SELECT title FROM ProjectItem WHERE uniqueIdentifier = 'FOLDER'"),
              QStringList{"Part One"});
    ASSERT_FALSE(store.context()->save());
    EXPECT_EQ(
        storedRows(store.path(), "SELECT uniqueIdentifier, title, summary FROM "
                                 "ProjectItem ORDER BY uniqueIdentifier"),
        QStringList({"CARD:Lighthouse:", "FOLDER:Part Two:stamped by the card", "STAMPED:Harbour:another screen's"}));
    // The card reverted is written by the next attempt; once that is stored, a
    // discard undoes nothing of it nor of what came after it.
    card->setTitle(QStringLiteral("Second try"));
    ASSERT_TRUE(pending.watch(store.context(), [&] {
        project->setSummary(QStringLiteral("stamped again"));
        pending.track(storedCard(QStringLiteral("COPY"), QStringLiteral("Saved copy")));
        return true;
    }));
    ASSERT_FALSE(store.context()->save());
    pending.forget();
    project->setSummary(QStringLiteral("then another screen's"));
    pending.discard(store.context(), {}, nullptr);
    EXPECT_EQ(project->summary(), QStringLiteral("then another screen's"));
    EXPECT_EQ(storedRows(store.path(), "SELECT title, summary FROM ProjectItem WHERE "
                                       "uniqueIdentifier IN ('CARD', 'COPY', 'STAMPED') "
                                       "ORDER BY uniqueIdentifier"),
              QStringList({"Second try:", "Saved copy:", "Harbour:stamped again"}));
    // A record of a failed attempt that another save stored meanwhile leaves the store file with the discard.
    ASSERT_TRUE(pending.watch(store.context(), [&] {
        pending.track(storedCard(QStringLiteral("LATE"), QStringLiteral("Stored by another save")));
        return true;
    }));
    ASSERT_FALSE(store.context()->save());
    pending.discard(store.context(), {}, nullptr);
    EXPECT_EQ(storedRows(store.path(), "SELECT count(*) FROM ProjectItem WHERE uniqueIdentifier = 'LATE'"),
              QStringList{"0"});
}
