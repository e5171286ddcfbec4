#include "StoreFixture.h"
#include "TestWait.h"
#include "platform/store/FetchedResultsController.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentContainer.h"
#include "platform/store/RemoteChangeWatcher.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

namespace {

const QString Item = QStringLiteral("Item");

class StoreContextTest : public StoreFixture {
protected:
    ManagedObject* addItem(const QString& uid, int order, const QString& project = QStringLiteral("P"))
    {
        ManagedObject* item = context()->insertNewObject(Item);
        item->setValue(QStringLiteral("uniqueIdentifier"), uid);
        item->setValue(QStringLiteral("projectId"), project);
        item->setValue(QStringLiteral("title"), QStringLiteral("Title ") + uid);
        item->setValue(QStringLiteral("displayOrder"), order);
        return item;
    }

    QStringList uids(const QList<ManagedObject*>& objects) const
    {
        QStringList result;
        for (ManagedObject* object : objects)
            result.append(object->value(QStringLiteral("uniqueIdentifier")).toString());
        return result;
    }

    QStringList fetchUids(const QString& format = {}, const QVariantList& args = {}, int limit = 0)
    {
        FetchRequest request(Item);
        if (!format.isEmpty())
            request.setPredicate(format, args);
        request.setSortDescriptors({{QStringLiteral("displayOrder"), true}});
        request.setFetchLimit(limit);
        return uids(context()->fetch(request));
    }

    qint64 countOf(const QString& format = {}, const QVariantList& args = {})
    {
        FetchRequest request(Item);
        if (!format.isEmpty())
            request.setPredicate(format, args);
        return context()->count(request);
    }
};

TEST_F(StoreContextTest, everyKindOfValueSurvivesSaveAndReopen)
{
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(1760000000123);
    ManagedObject* item = addItem(QStringLiteral("A"), 7);
    // A number given as text keeps its whole part; beyond a double's 53 bits an integer stays exact.
    item->setValue(QStringLiteral("displayOrder"), QStringLiteral("7.5"));
    EXPECT_EQ(item->value(QStringLiteral("displayOrder")), QVariant::fromValue(qint64(7)));
    const qint64 huge = (qint64(1) << 53) + 1;
    item->setValue(QStringLiteral("displayOrder"), QVariant::fromValue(huge));
    item->setValue(QStringLiteral("score"), 2.5);
    item->setValue(QStringLiteral("lastModified"), when);
    // Bytes that are no UTF-8 text: a card's body is an archive, never text.
    const QByteArray bytes("\x00\x01\xff\xfe bytes", 10);
    item->setValue(QStringLiteral("content"), bytes);
    ASSERT_FALSE(context()->save());
    EXPECT_GT(item->primaryKey(), 0);
    ASSERT_NO_FATAL_FAILURE(open());

    const QList<ManagedObject*> found = context()->fetch(FetchRequest(Item));
    ASSERT_EQ(found.size(), 1);
    ManagedObject* read = found.first();
    EXPECT_EQ(read->value(QStringLiteral("title")).toString(), QStringLiteral("Title A"));
    EXPECT_EQ(read->value(QStringLiteral("displayOrder")).toLongLong(), huge);
    EXPECT_DOUBLE_EQ(read->value(QStringLiteral("score")).toDouble(), 2.5);
    EXPECT_EQ(read->value(QStringLiteral("lastModified")).toDateTime(), when);
    EXPECT_EQ(read->value(QStringLiteral("content")).toByteArray(), bytes);
    EXPECT_TRUE(read->value(QStringLiteral("notes")).isNull());
}

TEST_F(StoreContextTest, nilAndEmptyTextStayApart)
{
    addItem(QStringLiteral("nil"), 1)->setValue(QStringLiteral("title"), QVariant());
    addItem(QStringLiteral("empty"), 2)->setValue(QStringLiteral("title"), QString(""));
    // A null pointer is nil too, never the empty text.
    addItem(QStringLiteral("pointer"), 3)->setValue(QStringLiteral("title"), QVariant::fromValue(nullptr));
    ASSERT_FALSE(context()->save());
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(fetchUids(QStringLiteral("title == nil")),
              (QStringList{QStringLiteral("nil"), QStringLiteral("pointer")}));
    EXPECT_EQ(fetchUids(QStringLiteral("title == ''")), QStringList{QStringLiteral("empty")});
}

TEST_F(StoreContextTest, fetchAndCountSeeUnsavedInsertsChangesAndDeletes)
{
    ManagedObject* a = addItem(QStringLiteral("A"), 1);
    ManagedObject* b = addItem(QStringLiteral("B"), 2);
    ManagedObject* c = addItem(QStringLiteral("C"), 3);
    ASSERT_FALSE(context()->save());

    a->setValue(QStringLiteral("title"), QStringLiteral("changed, then deleted"));
    context()->deleteObject(a);
    b->setValue(QStringLiteral("displayOrder"), 10);
    b->setValue(QStringLiteral("projectId"), QStringLiteral("Q"));
    ManagedObject* d = addItem(QStringLiteral("D"), 0);
    c->setValue(QStringLiteral("title"), QStringLiteral("changed"));

    EXPECT_EQ(fetchUids(), (QStringList{QStringLiteral("D"), QStringLiteral("C"), QStringLiteral("B")}));
    EXPECT_EQ(fetchUids(QStringLiteral("projectId == 'P'")), (QStringList{QStringLiteral("D"), QStringLiteral("C")}));
    EXPECT_EQ(fetchUids({}, {}, 2), (QStringList{QStringLiteral("D"), QStringLiteral("C")}));
    EXPECT_EQ(countOf(), 3);
    EXPECT_EQ(countOf(QStringLiteral("projectId == %@"), {QStringLiteral("Q")}), 1);

    // Reverting some objects drops only their updates: the delete, the insert and the other update stay.
    context()->revertObjects({a, c, d});
    EXPECT_FALSE(c->isUpdated());
    EXPECT_EQ(c->value(QStringLiteral("title")).toString(), QStringLiteral("Title C"));
    EXPECT_EQ(context()->updatedObjects(), QList<ManagedObject*>{b});
    EXPECT_TRUE(a->isDeleted());
    EXPECT_TRUE(d->isInserted());
    EXPECT_EQ(fetchUids(), (QStringList{QStringLiteral("D"), QStringLiteral("C"), QStringLiteral("B")}));
    EXPECT_EQ(countOf(QStringLiteral("projectId == %@"), {QStringLiteral("Q")}), 1);
    // A reverted object is an ordinary stored one again: its next change is pending like any other.
    c->setValue(QStringLiteral("title"), QStringLiteral("changed again"));
    EXPECT_EQ(context()->updatedObjects(), (QList<ManagedObject*>{b, c}));

    context()->rollback();
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_EQ(fetchUids(), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    EXPECT_EQ(b->value(QStringLiteral("displayOrder")).toLongLong(), 2);
    EXPECT_EQ(a->value(QStringLiteral("title")).toString(), QStringLiteral("Title A"));
    EXPECT_FALSE(a->isUpdated());
}

TEST_F(StoreContextTest, deletedObjectStaysReadableAfterSave)
{
    ManagedObject* a = addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    context()->deleteObject(a);
    ASSERT_FALSE(context()->save());
    // A screen may still hold the pointer: reading it must not touch freed memory.
    EXPECT_TRUE(a->isDeleted());
    EXPECT_EQ(a->value(QStringLiteral("uniqueIdentifier")).toString(), QStringLiteral("A"));
    EXPECT_EQ(countOf(), 0);
}

TEST_F(StoreContextTest, failedSaveWritesNothingAndKeepsChangesForTheNextSave)
{
    ManagedObject* a = addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    rawExecute(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Item WHEN NEW.title = 'boom' "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END;"));

    a->setValue(QStringLiteral("title"), QStringLiteral("changed"));
    addItem(QStringLiteral("B"), 2)->setValue(QStringLiteral("title"), QStringLiteral("boom"));
    const auto error = context()->save();
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->description().contains(QStringLiteral("refused")));
    EXPECT_TRUE(context()->hasChanges());

    auto other = openSecond();
    const QList<ManagedObject*> stored = other->viewContext()->fetch(FetchRequest(Item));
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored.first()->value(QStringLiteral("title")).toString(), QStringLiteral("Title A"));
    EXPECT_TRUE(other->viewContext()->fetchHistoryAfterToken(0).transactions.size() == 1);

    ASSERT_NO_FATAL_FAILURE(rawExecute(QStringLiteral("DROP TRIGGER refuse")));
    ASSERT_FALSE(context()->save());
    EXPECT_FALSE(context()->hasChanges());
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(countOf(QStringLiteral("title == 'changed' OR title == 'boom'")), 2);
}

TEST_F(StoreContextTest, saveWritesOnlyChangedAttributes)
{
    addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    auto other = openSecond();
    ManagedObject* mine = context()->fetch(FetchRequest(Item)).first();
    ManagedObject* theirs = other->viewContext()->fetch(FetchRequest(Item)).first();

    mine->setValue(QStringLiteral("title"), QStringLiteral("mine"));
    theirs->setValue(QStringLiteral("displayOrder"), 42);
    ASSERT_FALSE(other->viewContext()->save());
    ASSERT_FALSE(context()->save());
    // Once saved, the record's next change is pending and saved like its first.
    mine->setValue(QStringLiteral("title"), QStringLiteral("mine again"));
    EXPECT_TRUE(context()->hasChanges());
    ASSERT_FALSE(context()->save());

    ASSERT_NO_FATAL_FAILURE(open());
    ManagedObject* merged = context()->fetch(FetchRequest(Item)).first();
    EXPECT_EQ(merged->value(QStringLiteral("title")).toString(), QStringLiteral("mine again"));
    EXPECT_EQ(merged->value(QStringLiteral("displayOrder")).toLongLong(), 42);
}

TEST_F(StoreContextTest, remoteChangeNeverOverwritesAnUnsavedEdit)
{
    addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    ManagedObject* mine = context()->fetch(FetchRequest(Item)).first();
    mine->setValue(QStringLiteral("title"), QStringLiteral("typed here"));

    auto other = openSecond();
    ManagedObject* theirs = other->viewContext()->fetch(FetchRequest(Item)).first();
    theirs->setValue(QStringLiteral("title"), QStringLiteral("typed there"));
    theirs->setValue(QStringLiteral("displayOrder"), 5);
    ASSERT_FALSE(other->viewContext()->save());

    context()->mergeRemoteChanges();
    EXPECT_EQ(mine->value(QStringLiteral("title")).toString(), QStringLiteral("typed here"));
    EXPECT_EQ(mine->value(QStringLiteral("displayOrder")).toLongLong(), 5);
}

TEST_F(StoreContextTest, editOfRecordDeletedElsewhereIsWrittenBack)
{
    addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    ManagedObject* mine = context()->fetch(FetchRequest(Item)).first();
    mine->setValue(QStringLiteral("title"), QStringLiteral("words worth keeping"));

    auto other = openSecond();
    other->viewContext()->deleteObject(other->viewContext()->fetch(FetchRequest(Item)).first());
    ASSERT_FALSE(other->viewContext()->save());
    context()->mergeRemoteChanges();

    ASSERT_FALSE(context()->save());
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(countOf(QStringLiteral("title == 'words worth keeping'")), 1);
}

TEST_F(StoreContextTest, pinnedContextHoldsBackMergesUntilUnpinned)
{
    addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    ManagedObject* mine = context()->fetch(FetchRequest(Item)).first();
    context()->setQueryGenerationFromToken(context()->currentQueryGenerationToken());

    auto other = openSecond();
    other->viewContext()->fetch(FetchRequest(Item)).first()->setValue(QStringLiteral("title"), QStringLiteral("new"));
    ASSERT_FALSE(other->viewContext()->save());
    context()->mergeRemoteChanges();
    EXPECT_EQ(mine->value(QStringLiteral("title")).toString(), QStringLiteral("Title A"));

    context()->setQueryGenerationFromToken(std::nullopt);
    EXPECT_EQ(mine->value(QStringLiteral("title")).toString(), QStringLiteral("new"));
}

TEST_F(StoreContextTest, historyRecordsEveryChangeWithItsIdentifier)
{
    const qint64 start = context()->currentQueryGenerationToken().historyToken;
    ManagedObject* a = addItem(QStringLiteral("A"), 1);
    ManagedObject* b = addItem(QStringLiteral("B"), 2);
    ASSERT_FALSE(context()->save());
    a->setValue(QStringLiteral("title"), QStringLiteral("x"));
    context()->deleteObject(b);
    ManagedObject* state = context()->insertNewObject(QStringLiteral("State"));
    state->setValue(QStringLiteral("cardItemId"), QStringLiteral("A"));
    ASSERT_FALSE(context()->save());

    const auto history = context()->fetchHistoryAfterToken(start);
    ASSERT_FALSE(history.error);
    ASSERT_EQ(history.transactions.size(), 2);
    EXPECT_LT(history.transactions[0].token, history.transactions[1].token);
    EXPECT_EQ(history.transactions[0].changes.size(), 2);
    const auto& second = history.transactions[1].changes;
    ASSERT_EQ(second.size(), 3);
    EXPECT_EQ(second[0].changeType, HistoryChangeType::Insert);
    EXPECT_EQ(second[0].entityName, QStringLiteral("State"));
    EXPECT_EQ(second[1].changeType, HistoryChangeType::Update);
    EXPECT_EQ(second[1].uniqueIdentifier, QStringLiteral("A"));
    EXPECT_EQ(second[2].changeType, HistoryChangeType::Delete);
    EXPECT_EQ(second[2].uniqueIdentifier, QStringLiteral("B"));

    const auto later = context()->fetchHistoryAfterDate(QDateTime::currentDateTime().addSecs(60));
    EXPECT_TRUE(later.transactions.isEmpty());
    const auto earlier = context()->fetchHistoryAfterDate(QDateTime::currentDateTime().addSecs(-60));
    EXPECT_EQ(earlier.transactions.size(), 2);
}

TEST_F(StoreContextTest, historyAfterARealSaveHoldsOnlyTheLaterSaves)
{
    addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    const qint64 afterA = context()->currentQueryGenerationToken().historyToken;
    const auto first = context()->fetchHistoryAfterToken(afterA - 1);
    ASSERT_EQ(first.transactions.size(), 1);
    ASSERT_EQ(first.transactions[0].token, afterA);
    const QDateTime savedA = first.transactions[0].timestamp;
    // The next save must carry a later time for the date query to tell the two apart.
    ASSERT_TRUE(waitFor([&] { return QDateTime::currentDateTime() > savedA; }));
    addItem(QStringLiteral("B"), 2);
    ASSERT_FALSE(context()->save());
    const qint64 afterB = context()->currentQueryGenerationToken().historyToken;
    ASSERT_GT(afterB, afterA);

    const auto sinceA = context()->fetchHistoryAfterToken(afterA);
    ASSERT_FALSE(sinceA.error);
    ASSERT_EQ(sinceA.transactions.size(), 1);
    EXPECT_EQ(sinceA.transactions[0].token, afterB);
    ASSERT_EQ(sinceA.transactions[0].changes.size(), 1);
    EXPECT_EQ(sinceA.transactions[0].changes[0].uniqueIdentifier, QStringLiteral("B"));
    EXPECT_TRUE(context()->fetchHistoryAfterToken(afterB).transactions.isEmpty());

    const auto sinceDateOfA = context()->fetchHistoryAfterDate(savedA);
    ASSERT_EQ(sinceDateOfA.transactions.size(), 1);
    EXPECT_EQ(sinceDateOfA.transactions[0].token, afterB);
}

TEST_F(StoreContextTest, ownSaveIsAnnouncedAsRemoteChange)
{
    QSignalSpy spy(m_container.get(), &PersistentContainer::remoteChange);
    addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    EXPECT_TRUE(spy.wait(30000));

    // The notice of our own save merges nothing back: what was saved is already what the context holds, and a
    // refresh would tell every observer to fetch again after each save.
    QSignalSpy changed(context(), &ManagedObjectContext::objectsDidChange);
    QCoreApplication::processEvents();
    changed.clear();
    context()->mergeRemoteChanges();
    QCoreApplication::processEvents();
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(StoreContextTest, countTheFileRefusesIsAnErrorAndCountsNothing)
{
    addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    // A pending insert that matches would otherwise be counted on top of whatever the file answered.
    addItem(QStringLiteral("B"), 2);
    rawExecute(QStringLiteral("DROP TABLE Item"));
    StoreError error;
    EXPECT_EQ(context()->count(FetchRequest(Item), &error), 0);
    EXPECT_FALSE(error.message.isEmpty());
}

TEST_F(StoreContextTest, contextThatDoesNotMergeKeepsWhatItReadWhenAnotherConnectionCommits)
{
    addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    ManagedObject* mine = context()->fetch(FetchRequest(Item)).first();
    context()->setAutomaticallyMergesChangesFromParent(false);
    // The container hears of the commit before the spy does: it was connected first.
    QSignalSpy noticed(m_container->remoteChangeWatcher(), &RemoteChangeWatcher::remoteCommitDetected);

    auto other = openSecond();
    other->viewContext()->fetch(FetchRequest(Item)).first()->setValue(QStringLiteral("title"), QStringLiteral("new"));
    ASSERT_FALSE(other->viewContext()->save());
    ASSERT_TRUE(waitFor([&noticed] { return noticed.count() > 0; }));
    EXPECT_EQ(mine->value(QStringLiteral("title")).toString(), QStringLiteral("Title A"));
    context()->mergeRemoteChanges();
    EXPECT_EQ(mine->value(QStringLiteral("title")).toString(), QStringLiteral("new"));
}

// Every open window watches the file for commits; another program merely opening the store must not look like one.
TEST_F(StoreContextTest, openingAnUpToDateStoreElsewhereWritesNothingToIt)
{
    addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path().toUtf8().constData(), &db), SQLITE_OK);
    const auto dataVersion = [db] {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &statement, nullptr);
        const qint64 version = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
        sqlite3_finalize(statement);
        return version;
    };
    const qint64 before = dataVersion();
    ASSERT_GE(before, 0);

    auto other = openSecond();
    EXPECT_EQ(dataVersion(), before);
    other->viewContext()->insertNewObject(Item)->setValue(QStringLiteral("title"), QStringLiteral("B"));
    ASSERT_FALSE(other->viewContext()->save());
    EXPECT_NE(dataVersion(), before) << "a commit there is seen here";
    sqlite3_close(db);
}

TEST_F(StoreContextTest, hostileQueryTextNeverCrossesProjects)
{
    addItem(QStringLiteral("mine"), 1, QStringLiteral("P"));
    addItem(QStringLiteral("theirs"), 2, QStringLiteral("Other"));
    ASSERT_FALSE(context()->save());
    const QStringList hostile{QStringLiteral("' OR '1'='1"), QStringLiteral("\\"), QStringLiteral("\""),
                              QStringLiteral("x\" OR projectId != \"z"), QStringLiteral("'); DROP TABLE Item; --")};
    for (const QString& text : hostile) {
        EXPECT_TRUE(
            fetchUids(QStringLiteral("projectId == %@ AND title == %@"), {QStringLiteral("P"), text}).isEmpty());
        // Pasted into the text (which callers must never do) it may change the meaning, but never crash.
        fetchUids(QStringLiteral("projectId == 'P' AND title == '") + text + "'");
    }
    EXPECT_EQ(countOf(), 2);
}

TEST_F(StoreContextTest, malformedPredicateIsAnErrorNotACrash)
{
    addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    for (const QString& text : {QStringLiteral("(title == "), QStringLiteral("title === 'x'"),
                                QStringLiteral("nosuchkey == 1"), QStringLiteral("title == %@")}) {
        FetchRequest request(Item);
        request.setPredicate(text);
        StoreError error;
        EXPECT_TRUE(context()->fetch(request, &error).isEmpty()) << text.toStdString();
        EXPECT_FALSE(error.message.isEmpty()) << text.toStdString();
        StoreError countError;
        EXPECT_EQ(context()->count(request, &countError), 0);
        EXPECT_FALSE(countError.message.isEmpty());
    }
    FetchRequest unknown(QStringLiteral("NoSuchEntity"));
    StoreError error;
    EXPECT_TRUE(context()->fetch(unknown, &error).isEmpty());
    EXPECT_FALSE(error.message.isEmpty());
}

TEST_F(StoreContextTest, fetchedResultsFollowSaves)
{
    FetchRequest request(Item);
    request.setSortDescriptors({{QStringLiteral("displayOrder"), true}});
    FetchedResultsController controller(request, context());
    ASSERT_FALSE(controller.performFetch());
    EXPECT_EQ(controller.count(), 0);
    QSignalSpy spy(&controller, &FetchedResultsController::didChangeContent);
    addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    EXPECT_EQ(controller.count(), 1);
    EXPECT_GE(spy.count(), 1);
    EXPECT_EQ(controller.objectAt(5), nullptr);
}

TEST_F(StoreContextTest, fetchedRowsEndAtTheCountAndCountsStopAtTheLimit)
{
    for (int order = 1; order <= 3; ++order)
        addItem(QStringLiteral("U%1").arg(order), order);
    ASSERT_FALSE(context()->save());
    FetchRequest request(Item);
    request.setSortDescriptors({{QStringLiteral("displayOrder"), true}});
    FetchedResultsController controller(request, context());
    ASSERT_FALSE(controller.performFetch());
    ASSERT_EQ(controller.count(), 3);
    ASSERT_NE(controller.objectAt(2), nullptr);
    EXPECT_EQ(controller.objectAt(2)->value(QStringLiteral("uniqueIdentifier")).toString(), QStringLiteral("U3"));
    EXPECT_EQ(controller.objectAt(3), nullptr);
    EXPECT_EQ(controller.objectAt(-1), nullptr);

    // A limit below, at and above the number of matches; one more unsaved match counts too.
    const auto countWithLimit = [this](int limit) {
        FetchRequest limited(Item);
        limited.setFetchLimit(limit);
        return context()->count(limited);
    };
    EXPECT_EQ(countWithLimit(2), 2);
    EXPECT_EQ(countWithLimit(3), 3);
    EXPECT_EQ(countWithLimit(4), 3);
    addItem(QStringLiteral("U4"), 4);
    EXPECT_EQ(countWithLimit(3), 3);
    EXPECT_EQ(countWithLimit(4), 4);
    EXPECT_EQ(fetchUids({}, {}, 4), QStringList({"U1", "U2", "U3", "U4"}));
    EXPECT_EQ(fetchUids({}, {}, 3), QStringList({"U1", "U2", "U3"}));
}

class StoreFileTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("CardStore.sqlite")); }
    QTemporaryDir m_dir;
};

TEST_F(StoreFileTest, fileThatIsNotAStoreIsRefusedAndLeftUntouched)
{
    const QByteArray garbage = QByteArray("This is a novel, not a database.\n").repeated(200);
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(garbage);
    file.close();

    PersistentContainer container(QStringLiteral("CardStore"), storeTestModel());
    EXPECT_TRUE(container.loadPersistentStores(path()));
    EXPECT_EQ(container.viewContext(), nullptr);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), garbage);
    EXPECT_FALSE(QFile::exists(path() + QStringLiteral("-wal")));
}

TEST_F(StoreFileTest, storeOfANewerVersionIsRefused)
{
    {
        PersistentContainer newer(QStringLiteral("CardStore"), storeTestModel(2));
        ASSERT_FALSE(newer.loadPersistentStores(path()));
    }
    PersistentContainer older(QStringLiteral("CardStore"), storeTestModel(1));
    const auto error = older.loadPersistentStores(path());
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->description().contains(QStringLiteral("newer")));
}

TEST_F(StoreFileTest, olderStoreMigratesForwardKeepingItsRecords)
{
    {
        PersistentContainer v1(QStringLiteral("CardStore"), storeTestModel(1));
        ASSERT_FALSE(v1.loadPersistentStores(path()));
        ManagedObject* item = v1.viewContext()->insertNewObject(Item);
        item->setValue(QStringLiteral("title"), QStringLiteral("kept"));
        ASSERT_FALSE(v1.viewContext()->save());
    }
    PersistentContainer v2(QStringLiteral("CardStore"), storeTestModel(2));
    ASSERT_FALSE(v2.loadPersistentStores(path()));
    ManagedObject* item = v2.viewContext()->fetch(FetchRequest(Item)).value(0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->value(QStringLiteral("title")).toString(), QStringLiteral("kept"));
    item->setValue(QStringLiteral("notes"), QStringLiteral("new column"));
    EXPECT_FALSE(v2.viewContext()->save());
}

ManagedObjectModel modelIndexing(const QStringList& columns)
{
    ManagedObjectModel model(1);
    model.addEntity(QStringLiteral("Item"))
        .addAttribute(QStringLiteral("projectId"), AttributeType::String)
        .addAttribute(QStringLiteral("title"), AttributeType::String)
        .addAttribute(QStringLiteral("displayOrder"), AttributeType::Integer)
        .addIndex(columns);
    return model;
}

QStringList indexesOf(const QString& path)
{
    sqlite3* db = nullptr;
    QStringList names;
    if (sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK) {
        sqlite3_exec(
            db, "SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name",
            [](void* list, int, char** values, char**) {
                static_cast<QStringList*>(list)->append(QString::fromUtf8(values[0]));
                return 0;
            },
            &names, nullptr);
    }
    sqlite3_close(db);
    return names;
}

// A store keeps only the indexes the model declares, so a retired one costs no time on writes; an index someone
// made by hand on the file is left alone.
TEST_F(StoreFileTest, indexTheModelNoLongerDeclaresIsDroppedButAHandMadeOneStays)
{
    {
        PersistentContainer before(QStringLiteral("CardStore"), modelIndexing({"projectId", "title"}));
        ASSERT_FALSE(before.loadPersistentStores(path()));
        before.viewContext()->insertNewObject(Item)->setValue(QStringLiteral("title"), "kept");
        ASSERT_FALSE(before.viewContext()->save());
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path().toUtf8().constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "CREATE INDEX by_hand ON Item (displayOrder)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    ASSERT_TRUE(indexesOf(path()).contains(QStringLiteral("idx_Item_projectId_title")));

    PersistentContainer after(QStringLiteral("CardStore"), modelIndexing({"projectId", "displayOrder"}));
    ASSERT_FALSE(after.loadPersistentStores(path()));
    const QStringList indexes = indexesOf(path());
    EXPECT_FALSE(indexes.contains(QStringLiteral("idx_Item_projectId_title")));
    EXPECT_TRUE(indexes.contains(QStringLiteral("idx_Item_projectId_displayOrder")));
    EXPECT_TRUE(indexes.contains(QStringLiteral("by_hand")));
    EXPECT_EQ(after.viewContext()->fetch(FetchRequest(Item)).size(), 1);
}

// A migration that fails part way leaves the file as the older version wrote it: no half-added columns, and the
// version it had.
TEST_F(StoreFileTest, migrationThatFailsPartWayChangesNothingInTheFile)
{
    {
        PersistentContainer v1(QStringLiteral("CardStore"), storeTestModel(1));
        ASSERT_FALSE(v1.loadPersistentStores(path()));
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path().toUtf8().constData(), &db), SQLITE_OK);
    // The second table's name taken by an index: the new column for the first table is added before that fails.
    EXPECT_EQ(sqlite3_exec(db, "DROP TABLE State; CREATE INDEX State ON Item (title)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    PersistentContainer v2(QStringLiteral("CardStore"), storeTestModel(2));
    ASSERT_TRUE(v2.loadPersistentStores(path()));
    ASSERT_EQ(sqlite3_open(path().toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, "SELECT notes FROM Item", -1, &statement, nullptr), SQLITE_ERROR)
        << "the new column was taken back";
    sqlite3_finalize(statement);
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(statement, 0), 1);
    sqlite3_finalize(statement);
    sqlite3_close(db);
}

TEST_F(StoreFileTest, folderThatCannotBeMadeIsNamedInTheError)
{
    QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    PersistentContainer container(QStringLiteral("CardStore"), storeTestModel());
    const auto error = container.loadPersistentStores(m_dir.filePath(QStringLiteral("blocker/store/CardStore.sqlite")));
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->description().startsWith(QStringLiteral("Cannot create the folder of ")))
        << error->description().toStdString();
    EXPECT_FALSE(container.isLoaded());
}

TEST_F(StoreFileTest, defaultPathLivesInTheApplicationDataFolder)
{
    PersistentContainer container(QStringLiteral("CardStore"), storeTestModel());
    EXPECT_TRUE(container.defaultStorePath().endsWith(QStringLiteral("/CardStore.sqlite")));
}

} // namespace
