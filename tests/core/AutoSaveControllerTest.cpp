#include "core/AutoSaveController.h"
#include "TestWait.h"
#include "core/AutoSaveSnapshot.h"
#include "platform/SerialQueue.h"
#include "platform/archive/ArchiveObject.h"
#include "platform/archive/KeyedArchiver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSemaphore>
#include <QStandardPaths>
#include <QTimeZone>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {

const QString ProjectId = QStringLiteral("5A0C7E0E-6D54-4C1F-9B61-1B2F3A4C5D6E");

void writeSnapshot(const QString& projectId, bool forSecondary, const QByteArray& bytes = "snapshot")
{
    ASSERT_TRUE(QDir().mkpath(AutoSaveController::autoSaveDirectory()));
    QFile file(*AutoSaveController::autoSavePath(projectId, forSecondary));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The archive of a snapshot the board would offer, holding words.
QByteArray offerable(const QString& words)
{
    return AutoSaveSnapshot::encode(
        {{AutoSaveController::kProjectIdKey, ProjectId}, {AutoSaveController::kContentKey, words.toUtf8()}});
}

// The bytes kept aside from the snapshot file of (projectId, forSecondary), the nth one kept (1 is the first).
QByteArray keptAside(bool forSecondary, int nth = 1)
{
    QFile file(*AutoSaveController::autoSavePath(ProjectId, forSecondary) + AutoSaveController::AsideSuffix +
               (nth == 1 ? QString() : QStringLiteral("-%1").arg(nth)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString wordsOf(const std::optional<QVariantMap>& snapshot)
{
    return snapshot ? QString::fromUtf8(snapshot->value(AutoSaveController::kContentKey).toByteArray()) : QString();
}

class AutoSaveControllerTest : public ::testing::Test {
protected:
    void SetUp() override { QDir(AutoSaveController::autoSaveDirectory()).removeRecursively(); }
    void TearDown() override { QDir(AutoSaveController::autoSaveDirectory()).removeRecursively(); }
};

} // namespace

TEST_F(AutoSaveControllerTest, snapshotFilesAreNamedByProjectAndEditor)
{
    EXPECT_TRUE(AutoSaveController::autoSaveDirectory().endsWith(QStringLiteral("/Documents")));
    EXPECT_EQ(QFileInfo(*AutoSaveController::autoSavePath(ProjectId, false)).fileName(), ProjectId + "_primary");
    EXPECT_EQ(QFileInfo(*AutoSaveController::autoSavePath(ProjectId, true)).fileName(), ProjectId + "_secondary");
}

TEST_F(AutoSaveControllerTest, missingOrUndecodableSnapshotGivesNothingAndIsKeptAside)
{
    EXPECT_EQ(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false), std::nullopt);
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(ProjectId, false, QByteArray("not an archive")));
    EXPECT_TRUE(AutoSaveController::autoSaveExists(ProjectId, false));
    EXPECT_EQ(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false), std::nullopt);
    // Never offered, it would be written over by the next editor: its bytes go to a name of their own.
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, false));
    EXPECT_EQ(keptAside(false), QByteArray("not an archive"));
    // A second one takes the next name; the first stays as it was.
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(ProjectId, false, QByteArray("cut sho")));
    EXPECT_EQ(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false), std::nullopt);
    EXPECT_EQ(keptAside(false), QByteArray("not an archive"));
    EXPECT_EQ(keptAside(false, 2), QByteArray("cut sho"));
}

TEST_F(AutoSaveControllerTest, primaryTakesOverAnOrphanedSecondarySnapshot)
{
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(ProjectId, true, offerable(QStringLiteral("Peeked words"))));
    EXPECT_EQ(wordsOf(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false)), QStringLiteral("Peeked words"));
    EXPECT_TRUE(AutoSaveController::autoSaveExists(ProjectId, false));
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, true));
}

TEST_F(AutoSaveControllerTest, secondaryIsLeftAloneWhilePrimaryExists)
{
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(ProjectId, false, offerable(QStringLiteral("primary"))));
    // Not even looked at: whatever it holds stays where it is for its own editor to ask after.
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(ProjectId, true, QByteArray("not an archive")));
    EXPECT_EQ(wordsOf(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false)), QStringLiteral("primary"));
    EXPECT_TRUE(AutoSaveController::autoSaveExists(ProjectId, true));
    EXPECT_EQ(keptAside(true), QByteArray());
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(ProjectId, true, offerable(QStringLiteral("secondary"))));
    EXPECT_EQ(wordsOf(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false)), QStringLiteral("primary"));
    EXPECT_EQ(wordsOf(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, true)), QStringLiteral("secondary"));
}

TEST_F(AutoSaveControllerTest, primaryNoOneCanReadIsKeptAsideAndHidesNoPeekedCardsWords)
{
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(ProjectId, false, QByteArray("bplist00 damaged")));
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(ProjectId, true, offerable(QStringLiteral("Peeked words"))));
    EXPECT_EQ(wordsOf(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false)), QStringLiteral("Peeked words"));
    EXPECT_EQ(keptAside(false), QByteArray("bplist00 damaged"));
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, true));

    // An orphaned secondary no one can read is kept aside in its turn, and taken over by nothing.
    AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, false);
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(ProjectId, true, QByteArray("bplist00 also damaged")));
    EXPECT_EQ(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false), std::nullopt);
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, false));
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, true));
    EXPECT_EQ(keptAside(true), QByteArray("bplist00 also damaged"));
}

TEST_F(AutoSaveControllerTest, deleteRemovesOnlyThatEditorsSnapshot)
{
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(ProjectId, false));
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(ProjectId, true));
    AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, true);
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, true));
    EXPECT_TRUE(AutoSaveController::autoSaveExists(ProjectId, false));
    AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, false);
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, false));
    AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, false);
}

TEST_F(AutoSaveControllerTest, identifiersThatAreNotFileNamesNeverReachOutsideTheFolder)
{
    // A victim file beside the snapshot folder that a crafted identifier would otherwise delete.
    const QString victim = QFileInfo(AutoSaveController::autoSaveDirectory()).absolutePath() + "/victim_primary";
    QDir().mkpath(QFileInfo(victim).absolutePath());
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    for (const QString& id :
         {QStringLiteral("../victim"), QStringLiteral(""), QStringLiteral(".hidden"), QStringLiteral("a\\b")}) {
        EXPECT_EQ(AutoSaveController::autoSavePath(id, false), std::nullopt);
        AutoSaveController::deleteAutoSaveWithProjectId(id, false);
        EXPECT_EQ(AutoSaveController::hasAutoSaveWithProjectId(id, false), std::nullopt);
    }
    EXPECT_TRUE(QFileInfo::exists(victim));
    QFile::remove(victim);
}

TEST_F(AutoSaveControllerTest, archivedSnapshotReadsBackItsValues)
{
    const QDateTime saved(QDate(2024, 5, 1), QTime(10, 30), QTimeZone::utc());
    const QByteArray body("archived body");
    const QByteArray bytes = KeyedArchiver::archive(ArchiveObject::dictionary(
        QList<std::pair<QString, ArchiveRef>>{
            {AutoSaveController::kProjectIdKey, ArchiveObject::string(ProjectId)},
            {AutoSaveController::kTitleKey, ArchiveObject::string(QStringLiteral("Draft"), "NSMutableString")},
            {AutoSaveController::kItemTypeKey, ArchiveObject::integer(3)},
            {AutoSaveController::kContentKey, ArchiveObject::data(body, "NSMutableData")},
            {AutoSaveController::kItemSaveDateKey, ArchiveObject::date(saved)},
        },
        QStringLiteral("NSMutableDictionary")));
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(ProjectId, false, bytes));

    const std::optional<QVariantMap> snapshot = AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false);
    ASSERT_TRUE(snapshot.has_value());
    EXPECT_EQ(snapshot->value(AutoSaveController::kProjectIdKey).toString(), ProjectId);
    EXPECT_EQ(snapshot->value(AutoSaveController::kTitleKey).toString(), QStringLiteral("Draft"));
    EXPECT_EQ(snapshot->value(AutoSaveController::kItemTypeKey).toLongLong(), 3);
    EXPECT_EQ(snapshot->value(AutoSaveController::kContentKey).toByteArray(), body);
    EXPECT_EQ(snapshot->value(AutoSaveController::kItemSaveDateKey).toDateTime(), saved);
}

TEST_F(AutoSaveControllerTest, entryUnderAKeyThatIsNoTextIsLeftOut)
{
    const QByteArray bytes = KeyedArchiver::archive(ArchiveObject::dictionary(ArchiveObject::Entries{
        {ArchiveObject::string(AutoSaveController::kProjectIdKey), ArchiveObject::string(ProjectId)},
        {ArchiveObject::integer(7), ArchiveObject::string(QStringLiteral("stray"))}}));
    const std::optional<QVariantMap> snapshot = AutoSaveSnapshot::decode(bytes);
    ASSERT_TRUE(snapshot.has_value());
    EXPECT_EQ(snapshot->keys(), QStringList{AutoSaveController::kProjectIdKey});
}

TEST_F(AutoSaveControllerTest, snapshotThatCannotBeWrittenInPlaceReportsFailure)
{
    // Something that is not a file stands where the snapshot goes.
    const QString path = *AutoSaveController::autoSavePath(ProjectId, false);
    ASSERT_TRUE(QDir().mkpath(path));
    const QVariantMap snapshot{{AutoSaveController::kProjectIdKey, ProjectId},
                               {AutoSaveController::kContentKey, QByteArray("words")}};
    EXPECT_FALSE(AutoSaveSnapshot::write(path, snapshot));
}

TEST_F(AutoSaveControllerTest, snapshotNamingAForeignClassIsRefused)
{
    const QByteArray bytes = KeyedArchiver::archive(ArchiveObject::dictionary(QList<std::pair<QString, ArchiveRef>>{
        {AutoSaveController::kTitleKey, ArchiveObject::instance(QStringLiteral("NSURL"), {})}}));
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(ProjectId, false, bytes));
    EXPECT_EQ(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false), std::nullopt);
}

namespace {

// Short enough that a test sees several ticks in a fraction of a second.
constexpr double TestInterval = 0.02;
constexpr int TestIntervalMs = 20;
const QString Words = QStringLiteral("She opened the door — and the sea came in. «Ünïcode» “quotes”");

QVariantMap cardSnapshot(const QString& words, const QString& projectItemId = QStringLiteral("CARD-1"))
{
    return {{AutoSaveController::kProjectIdKey, ProjectId},
            {AutoSaveController::kParentItemIdKey, QStringLiteral("_top")},
            {AutoSaveController::kProjectItemIdKey, projectItemId},
            {AutoSaveController::kTitleKey, words.left(20)},
            {AutoSaveController::kNotesKey, QString()},
            {AutoSaveController::kTagKey, QString()},
            {AutoSaveController::kContentKey, words.toUtf8()},
            {AutoSaveController::kMimeTypeKey, QStringLiteral("application/x-vornquil-apple-bin")},
            {AutoSaveController::kItemTypeKey, 1},
            {AutoSaveController::kItemFormatKey, 0},
            {AutoSaveController::kItemSaveDateKey, QDateTime(QDate(2024, 5, 1), QTime(10, 30), QTimeZone::utc())}};
}

// Holds the snapshot worker until released, so a test can put work behind a write that is still in flight.
// The worker shares the semaphore: a gate released as it goes out of scope must not leave the worker waking
// on memory the test's stack has already reused.
class WorkerGate {
public:
    WorkerGate()
    {
        AutoSaveController::snapshotQueue().async([gate = m_gate] { gate->acquire(); });
    }
    ~WorkerGate() { release(); }
    void release()
    {
        if (!m_released.exchange(true))
            m_gate->release();
    }

private:
    std::shared_ptr<QSemaphore> m_gate = std::make_shared<QSemaphore>();
    std::atomic<bool> m_released = false;
};

class AutoSaveTimerTest : public AutoSaveControllerTest {
protected:
    void SetUp() override
    {
        AutoSaveControllerTest::SetUp();
        controller.setSaveInterval(TestInterval);
    }
    void TearDown() override
    {
        controller.stopSaveTimer();
        ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(10000));
        AutoSaveControllerTest::TearDown();
    }

    void start(const QString& words = Words)
    {
        controller.startSaveTimer(ProjectId, false, [this, words] {
            ++gathered;
            return provided ? *provided : cardSnapshot(words);
        });
    }
    bool written() const { return AutoSaveController::autoSaveExists(ProjectId, false); }
    static bool workerIdle() { return AutoSaveController::snapshotQueue().waitForDone(0); }
    static QString savedContent()
    {
        const auto snapshot = AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false);
        return snapshot ? QString::fromUtf8(snapshot->value(AutoSaveController::kContentKey).toByteArray()) : QString();
    }

    AutoSaveController controller;
    int gathered = 0;
    std::optional<QVariantMap> provided;
};

} // namespace

TEST_F(AutoSaveTimerTest, editorClosedWithoutAChangeWritesNoFile)
{
    start();
    runEventsFor(8 * TestIntervalMs);
    controller.stopSaveTimer();
    ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(10000));
    EXPECT_EQ(gathered, 0);
    EXPECT_FALSE(written());
}

TEST_F(AutoSaveTimerTest, cleanCloseKeepsRecoveredWordsUntilSaveOrDiscard)
{
    // A snapshot left by a crash that the writer chose to restore: closing the editor must not take it away.
    ASSERT_TRUE(AutoSaveSnapshot::write(*AutoSaveController::autoSavePath(ProjectId, false), cardSnapshot(Words)));
    start();
    runEventsFor(4 * TestIntervalMs);
    controller.teardown();
    EXPECT_EQ(controller.timer(), nullptr);
    ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(10000));
    EXPECT_EQ(savedContent(), Words);

    // Until the editor shows those words, a save or a discard of its own card leaves them where they are.
    controller.removeSnapshot();
    ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(10000));
    EXPECT_EQ(savedContent(), Words);
    controller.adoptSnapshot();
    controller.removeSnapshot();
    ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(10000));
    EXPECT_FALSE(written());
}

TEST_F(AutoSaveTimerTest, anotherCardsWaitingWordsAreNeitherWrittenOverNorRemoved)
{
    const QString path = *AutoSaveController::autoSavePath(ProjectId, false);
    ASSERT_TRUE(AutoSaveSnapshot::write(path, cardSnapshot(Words, QStringLiteral("CARD-X"))));
    start(QStringLiteral("Another card's words"));
    EXPECT_FALSE(controller.ownsSnapshot());
    controller.setAutoSave(true);
    ASSERT_TRUE(waitFor([this] { return gathered >= 1 && workerIdle(); }));
    EXPECT_EQ(savedContent(), Words);
    EXPECT_TRUE(controller.autoSave()) << "the change must still be written once the file is free";
    // And the timer goes on looking for that moment, without waiting for another change.
    ASSERT_TRUE(waitFor([this] { return gathered >= 3 && workerIdle(); }));
    EXPECT_EQ(savedContent(), Words);
    EXPECT_FALSE(controller.writeSnapshotNow());
    controller.removeSnapshot();
    // Started again (the editor shown again), it still knows whose file that is.
    start(QStringLiteral("Another card's words"));
    EXPECT_FALSE(controller.ownsSnapshot());
    ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(10000));
    EXPECT_EQ(savedContent(), Words);

    // The writer decided on the waiting words: the file is free, and the next look writes this card's.
    AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, false);
    controller.setAutoSave(true);
    ASSERT_TRUE(waitFor([this] { return savedContent() == QStringLiteral("Another card's words"); }));
    EXPECT_TRUE(controller.ownsSnapshot());
    start(QStringLiteral("Another card's words"));
    EXPECT_TRUE(controller.ownsSnapshot()) << "its own file stays its own when the editor shows again";
    controller.removeSnapshot();
    ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(10000));
    EXPECT_FALSE(written());

    // For another project's file the question is asked anew.
    ASSERT_TRUE(AutoSaveSnapshot::write(*AutoSaveController::autoSavePath(QStringLiteral("P-2"), false),
                                        cardSnapshot(Words, QStringLiteral("CARD-X"))));
    controller.startSaveTimer(QStringLiteral("P-2"), false, [] { return cardSnapshot(Words); });
    EXPECT_FALSE(controller.ownsSnapshot());
    controller.startSaveTimer(QStringLiteral("P-2"), true, [] { return cardSnapshot(Words); });
    EXPECT_TRUE(controller.ownsSnapshot());
    controller.stopSaveTimer();
    AutoSaveController::deleteAutoSaveWithProjectId(QStringLiteral("P-2"), false);
}

TEST_F(AutoSaveTimerTest, aFileTheBoardCannotOfferHoldsNoEditorBack)
{
    // Never offered, such a file would never be decided on: were it taken for waiting words, no card of the
    // project would ever be snapshotted again.
    const QString path = *AutoSaveController::autoSavePath(ProjectId, false);
    ASSERT_TRUE(QDir().mkpath(AutoSaveController::autoSaveDirectory()));
    QFile damaged(path);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("bplist00 cut short");
    damaged.close();
    start();
    EXPECT_TRUE(controller.ownsSnapshot());
    EXPECT_TRUE(controller.writeSnapshotNow());
    EXPECT_EQ(savedContent(), Words);
    EXPECT_EQ(keptAside(false), QByteArray("bplist00 cut short")) << "the damaged bytes were written over";
    controller.stopSaveTimer();

    // Words the editor recovered before its timer first started stay its own.
    AutoSaveController recovered;
    recovered.adoptSnapshot();
    recovered.startSaveTimer(ProjectId, false, [] { return cardSnapshot(QStringLiteral("Recovered")); });
    EXPECT_TRUE(recovered.ownsSnapshot());
    recovered.stopSaveTimer();
}

TEST_F(AutoSaveTimerTest, wordsTheEditorCouldNotShowAreKeptAsideAndItsOwnAreWrittenAtTheNextLook)
{
    // The board offered the file and the writer chose Recover; the editor could not show its words.
    const QByteArray handed = offerable(QStringLiteral("Words from a newer version"));
    ASSERT_NO_FATAL_FAILURE(writeSnapshot(ProjectId, false, handed));
    start();
    ASSERT_FALSE(controller.ownsSnapshot());
    controller.setSnapshotAside();
    EXPECT_TRUE(controller.ownsSnapshot());
    EXPECT_FALSE(written()) << "the file still waits under the name the board offers";
    EXPECT_EQ(keptAside(false), handed);
    controller.setAutoSave(true);
    ASSERT_TRUE(waitFor([this] { return gathered == 1 && workerIdle(); }));
    EXPECT_EQ(savedContent(), Words);
    // Kept aside once: the file is the editor's own now, and a second call keeps none of its words aside.
    controller.setSnapshotAside();
    EXPECT_EQ(savedContent(), Words);
    EXPECT_EQ(keptAside(false, 2), QByteArray());
}

TEST_F(AutoSaveTimerTest, aChangeIsWrittenWithinOneIntervalWithEveryKey)
{
    start();
    controller.setAutoSave(true);
    ASSERT_TRUE(waitFor([this] { return gathered == 1 && workerIdle(); }));
    EXPECT_FALSE(controller.autoSave());
    const auto snapshot = AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false);
    ASSERT_TRUE(snapshot.has_value());
    const QVariantMap expected = cardSnapshot(Words);
    EXPECT_EQ(snapshot->keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        EXPECT_EQ(snapshot->value(it.key()).toString(), it.value().toString()) << it.key().toStdString();
    EXPECT_EQ(snapshot->value(AutoSaveController::kItemSaveDateKey).toDateTime(),
              expected.value(AutoSaveController::kItemSaveDateKey).toDateTime());
}

TEST_F(AutoSaveTimerTest, defaultIntervalIsTenSeconds)
{
    AutoSaveController fresh;
    EXPECT_EQ(fresh.saveInterval(), 10.0);
    fresh.startSaveTimer(ProjectId, true, [] { return QVariantMap(); });
    ASSERT_NE(fresh.timer(), nullptr);
    EXPECT_EQ(fresh.timer()->timeInterval(), 10.0);
    EXPECT_EQ(fresh.timer()->state(), RepeatingTimer::State::Resumed);
    EXPECT_TRUE(fresh.isSecondary());
    fresh.stopSaveTimer();
    EXPECT_EQ(fresh.timer(), nullptr);
}

TEST_F(AutoSaveTimerTest, twoChangesBeforeATickGiveOneWrite)
{
    start();
    controller.setAutoSave(true);
    controller.setAutoSave(true);
    ASSERT_TRUE(waitFor([this] { return gathered == 1 && workerIdle(); }));
    runEventsFor(8 * TestIntervalMs);
    EXPECT_EQ(gathered, 1);
}

TEST_F(AutoSaveTimerTest, noSecondSnapshotStartsWhileOneIsStillBeingWritten)
{
    start();
    WorkerGate gate;
    controller.setAutoSave(true);
    ASSERT_TRUE(waitFor([this] { return gathered == 1; }));
    EXPECT_EQ(controller.timer()->state(), RepeatingTimer::State::Suspended);
    controller.setAutoSave(true);
    runEventsFor(8 * TestIntervalMs);
    EXPECT_EQ(gathered, 1);

    gate.release();
    ASSERT_TRUE(waitFor([this] { return gathered == 2; }));
}

TEST_F(AutoSaveTimerTest, saveAfterAStopWithAWriteInFlightLeavesNoSnapshot)
{
    start();
    WorkerGate gate;
    controller.setAutoSave(true);
    ASSERT_TRUE(waitFor([this] { return gathered == 1; }));
    // The editor closes and saves while its last snapshot still waits for the worker.
    controller.stopSaveTimer();
    controller.removeSnapshot();
    gate.release();
    ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(10000));
    EXPECT_FALSE(written());
}

TEST_F(AutoSaveTimerTest, existsAnswersAfterTheDeleteAlreadyAskedFor)
{
    start();
    controller.setAutoSave(true);
    ASSERT_TRUE(waitFor([this] { return written(); }));
    WorkerGate gate;
    controller.stopSaveTimer();
    controller.removeSnapshot();
    // The question comes from a thread of its own, so this one can release the worker it waits behind.
    std::atomic<bool> answered = false;
    std::atomic<bool> exists = true;
    std::thread asker([&] {
        exists = AutoSaveController::autoSaveExists(ProjectId, false);
        answered = true;
    });
    const bool answeredEarly = waitFor([&answered] { return answered.load(); }, 20 * TestIntervalMs);
    gate.release();
    asker.join();
    EXPECT_FALSE(answeredEarly) << "the answer did not wait for the delete already asked for";
    EXPECT_FALSE(exists);
}

TEST_F(AutoSaveTimerTest, closeWithAWriteInFlightStillWritesTheSnapshot)
{
    start();
    WorkerGate gate;
    controller.setAutoSave(true);
    ASSERT_TRUE(waitFor([this] { return gathered == 1; }));
    controller.stopSaveTimer();
    gate.release();
    ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(10000));
    EXPECT_EQ(savedContent(), Words);
    // Nothing more arrives once stopped, also after the write reported back.
    controller.setAutoSave(true);
    runEventsFor(8 * TestIntervalMs);
    EXPECT_EQ(gathered, 1);
}

TEST_F(AutoSaveTimerTest, boardDeleteWaitsForAWriteAlreadyAskedFor)
{
    start();
    WorkerGate gate;
    controller.setAutoSave(true);
    ASSERT_TRUE(waitFor([this] { return gathered == 1; }));
    controller.stopSaveTimer();
    // The board deletes from a thread of its own here, so this one can watch it wait behind the held write.
    std::atomic<bool> deleted = false;
    std::thread board([&deleted] {
        AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, false);
        deleted = true;
    });
    const bool returnedEarly = waitFor([&deleted] { return deleted.load(); }, 20 * TestIntervalMs);
    gate.release();
    board.join();
    EXPECT_FALSE(returnedEarly) << "the delete did not wait for the write already asked for";
    ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(10000));
    EXPECT_FALSE(written());
}

TEST_F(AutoSaveTimerTest, savedEditorWritesNoSnapshotUntilItsNextChange)
{
    start();
    controller.setAutoSave(true);
    ASSERT_TRUE(waitFor([this] { return gathered == 1 && workerIdle(); }));
    controller.setAutoSave(true);
    controller.removeSnapshot();
    runEventsFor(8 * TestIntervalMs);
    ASSERT_TRUE(AutoSaveController::snapshotQueue().waitForDone(10000));
    EXPECT_EQ(gathered, 1);
    EXPECT_FALSE(written());
}

TEST_F(AutoSaveTimerTest, snapshotWithoutProjectOrBodyIsNeitherWrittenNorOffered)
{
    start();
    QVariantMap noBody = cardSnapshot(Words);
    noBody.remove(AutoSaveController::kContentKey);
    QVariantMap emptyBody = cardSnapshot(Words);
    emptyBody.insert(AutoSaveController::kContentKey, QByteArray());
    QVariantMap noProject = cardSnapshot(Words);
    noProject.insert(AutoSaveController::kProjectIdKey, QString());
    for (const QVariantMap& snapshot : {QVariantMap(), noBody, emptyBody, noProject}) {
        provided = snapshot;
        const int before = gathered;
        controller.setAutoSave(true);
        ASSERT_TRUE(waitFor([&] { return gathered == before + 1 && workerIdle(); }));
        EXPECT_FALSE(written());
    }
    // Such a file, written by an older build, is not offered for recovery either.
    for (const QVariantMap& snapshot : {noBody, emptyBody, noProject}) {
        ASSERT_TRUE(AutoSaveSnapshot::write(*AutoSaveController::autoSavePath(ProjectId, false), snapshot));
        EXPECT_EQ(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false), std::nullopt);
    }
    // One byte of body is enough to be worth offering.
    QVariantMap oneByte = cardSnapshot(Words);
    oneByte.insert(AutoSaveController::kContentKey, QByteArray("x"));
    ASSERT_TRUE(AutoSaveSnapshot::write(*AutoSaveController::autoSavePath(ProjectId, false), oneByte));
    EXPECT_NE(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false), std::nullopt);
}

TEST_F(AutoSaveTimerTest, unsavedCardCarriesAnEmptyProjectItemId)
{
    provided = cardSnapshot(Words, QString());
    start();
    controller.setAutoSave(true);
    ASSERT_TRUE(waitFor([this] { return gathered == 1 && workerIdle(); }));
    const auto snapshot = AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false);
    ASSERT_TRUE(snapshot.has_value());
    ASSERT_TRUE(snapshot->contains(AutoSaveController::kProjectItemIdKey));
    EXPECT_EQ(snapshot->value(AutoSaveController::kProjectItemIdKey).toString(), QString());
}

TEST_F(AutoSaveTimerTest, secondarySnapshotIsTakenOverByThePrimaryOnlyWhenAskedForIt)
{
    ASSERT_TRUE(AutoSaveSnapshot::write(*AutoSaveController::autoSavePath(ProjectId, true), cardSnapshot(Words)));
    const auto secondary = AutoSaveController::hasAutoSaveWithProjectId(ProjectId, true);
    ASSERT_TRUE(secondary.has_value());
    EXPECT_TRUE(AutoSaveController::autoSaveExists(ProjectId, true));
    EXPECT_FALSE(written());

    EXPECT_EQ(savedContent(), Words);
    EXPECT_TRUE(written());
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, true));
}

TEST_F(AutoSaveTimerTest, snapshotsStayInThePrivateDataFolder)
{
    start();
    controller.setAutoSave(true);
    ASSERT_TRUE(waitFor([this] { return gathered == 1 && workerIdle(); }));
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // Cleaned rather than resolved: the writer's Documents folder need not exist to be left alone.
    const QString file = QDir::cleanPath(*AutoSaveController::autoSavePath(ProjectId, false));
    ASSERT_FALSE(appData.isEmpty());
    ASSERT_FALSE(documents.isEmpty());
    EXPECT_TRUE(file.startsWith(QDir::cleanPath(appData) + u'/'));
    EXPECT_FALSE(file.startsWith(QDir::cleanPath(documents) + u'/'));
    // Written through a temporary file that is renamed into place: nothing else is left beside it.
    EXPECT_EQ(QDir(AutoSaveController::autoSaveDirectory()).entryList(QDir::Files | QDir::Hidden),
              QStringList{ProjectId + AutoSaveController::PrimarySuffix});
}

namespace {

class AutoSaveCrashTest : public AutoSaveControllerTest {
protected:
    // Starts the child editor and waits for the line it prints when its snapshot has reached the disk.
    bool startChild(QProcess& child, const QString& mode, const QByteArray& expectedLine)
    {
        child.start(QStringLiteral(AUTOSAVE_CHILD_PATH), {ProjectId, mode, Words});
        if (!child.waitForStarted(60000))
            return false;
        QByteArray seen;
        QDeadlineTimer deadline(120000);
        while (!deadline.hasExpired()) {
            if (child.canReadLine() || child.waitForReadyRead(200)) {
                while (child.canReadLine()) {
                    seen = child.readLine().trimmed();
                    if (seen == expectedLine)
                        return true;
                }
            }
            if (child.state() == QProcess::NotRunning)
                break;
        }
        ADD_FAILURE() << "child said " << seen.constData() << "; " << child.readAllStandardError().constData();
        return false;
    }

    static void killAndReap(QProcess& child)
    {
        child.kill();
        ASSERT_TRUE(child.waitForFinished(60000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    }
};

} // namespace

TEST_F(AutoSaveCrashTest, wordsOfAnEditorKilledBeforeSavingComeBackExactly)
{
    QProcess child;
    ASSERT_TRUE(startChild(child, QStringLiteral("once"), "written"));
    ASSERT_NO_FATAL_FAILURE(killAndReap(child));

    const auto snapshot = AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false);
    ASSERT_TRUE(snapshot.has_value());
    EXPECT_EQ(QString::fromUtf8(snapshot->value(AutoSaveController::kContentKey).toByteArray()), Words);
    EXPECT_EQ(snapshot->value(AutoSaveController::kTitleKey).toString(), Words);
    EXPECT_EQ(snapshot->value(AutoSaveController::kProjectIdKey).toString(), ProjectId);
}

TEST_F(AutoSaveCrashTest, killDuringRepeatedSnapshotsLeavesOneWholeSnapshot)
{
    // Killed at different moments while it keeps writing, the file must always hold one whole snapshot.
    for (int gatheredBeforeKill : {2, 7, 15}) {
        QProcess child;
        ASSERT_TRUE(startChild(child, QStringLiteral("stream"), "gathered " + QByteArray::number(gatheredBeforeKill)));
        ASSERT_NO_FATAL_FAILURE(killAndReap(child));

        const auto snapshot = AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false);
        ASSERT_TRUE(snapshot.has_value()) << "after " << gatheredBeforeKill;
        const QString content = QString::fromUtf8(snapshot->value(AutoSaveController::kContentKey).toByteArray());
        EXPECT_TRUE(content.startsWith(Words + QStringLiteral(" #"))) << content.toStdString();
        const int number = content.mid(Words.size() + 2).toInt();
        EXPECT_GE(number, 1);
        EXPECT_LE(number, gatheredBeforeKill);
        EXPECT_EQ(snapshot->value(AutoSaveController::kTitleKey).toString(), content);
        AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, false);
    }
}

TEST_F(AutoSaveTimerTest, snapshotNowIsWrittenAtOnceOnlyWhenThereIsSomethingToRecover)
{
    start();
    ASSERT_TRUE(controller.writeSnapshotNow());
    EXPECT_EQ(savedContent(), Words);
    EXPECT_EQ(gathered, 1);

    controller.removeSnapshot();
    provided = cardSnapshot(QString());
    EXPECT_FALSE(controller.writeSnapshotNow()) << "an empty body is nothing to recover";
    EXPECT_FALSE(written());
}

TEST_F(AutoSaveTimerTest, restartingLeavesOneTimerSoAWriteInFlightHoldsEveryTick)
{
    int gatheredByFirst = 0;
    controller.startSaveTimer(QStringLiteral("OTHER-PROJECT"), false, [&gatheredByFirst] {
        ++gatheredByFirst;
        return cardSnapshot(Words);
    });
    start();
    WorkerGate gate;
    controller.setAutoSave(true);
    ASSERT_TRUE(waitFor([this] { return gathered == 1; }));
    // A timer left over from the first start would tick on regardless of the write in flight.
    controller.setAutoSave(true);
    runEventsFor(8 * TestIntervalMs);
    EXPECT_EQ(gathered, 1);
    EXPECT_EQ(gatheredByFirst, 0);
}
