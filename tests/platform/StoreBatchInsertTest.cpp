// New records are written many to a statement: keys, history, values and failures must come out exactly as one
// record a statement would leave them, at the size of a batch, one past it and one short of two.
#include "StoreFixture.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentContainer.h"
#include "platform/store/RecordInserter.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

namespace {

const QString Item = QStringLiteral("Item");
constexpr int Batch = RecordInserter::BatchRows;

class StoreBatchInsertTest : public StoreFixture {
protected:
    QList<ManagedObject*> addItems(int count, const QString& prefix = QStringLiteral("U"))
    {
        QList<ManagedObject*> items;
        for (int i = 0; i < count; ++i) {
            ManagedObject* item = context()->insertNewObject(Item);
            item->setValue(QStringLiteral("uniqueIdentifier"), prefix + QString::number(i));
            item->setValue(QStringLiteral("displayOrder"), i);
            items.append(item);
        }
        return items;
    }

    // The key of every record in the file, by identifier, read over a connection of its own.
    QHash<QString, qint64> keysInFile(const QString& table = Item, const QString& column = {}) const
    {
        QHash<QString, qint64> keys;
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open(path().toUtf8().constData(), &db), SQLITE_OK);
        const QByteArray sql = QStringLiteral("SELECT pk, %1 FROM %2")
                                   .arg(column.isEmpty() ? QStringLiteral("uniqueIdentifier") : column, table)
                                   .toUtf8();
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr), SQLITE_OK);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            keys.insert(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1))),
                        sqlite3_column_int64(statement, 0));
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return keys;
    }

    // Every saved record's key is the one in the file, keys grow in the order the records were made, and the
    // save's history names the same records under the same keys in the same order.
    void expectKeysAndHistoryMatch(const QList<ManagedObject*>& items, qint64 since)
    {
        const QHash<QString, qint64> file = keysInFile();
        const auto history = context()->fetchHistoryAfterToken(since);
        ASSERT_FALSE(history.error);
        ASSERT_EQ(history.transactions.size(), 1);
        const QList<HistoryChange>& changes = history.transactions.first().changes;
        ASSERT_EQ(changes.size(), items.size());
        for (qsizetype i = 0; i < items.size(); ++i) {
            const QString uid = items[i]->value(QStringLiteral("uniqueIdentifier")).toString();
            EXPECT_EQ(items[i]->primaryKey(), file.value(uid, -1)) << uid.toStdString();
            if (i > 0)
                EXPECT_GT(items[i]->primaryKey(), items[i - 1]->primaryKey()) << i;
            EXPECT_EQ(changes[i].uniqueIdentifier, uid) << i;
            EXPECT_EQ(changes[i].primaryKey, items[i]->primaryKey()) << i;
            EXPECT_EQ(changes[i].changeType, HistoryChangeType::Insert) << i;
        }
    }
};

} // namespace

TEST_F(StoreBatchInsertTest, keysAndHistoryMatchTheFileAtABatchOnePastItAndOneShortOfTwo)
{
    for (const int count : {Batch, Batch + 1, 2 * Batch - 1}) {
        const qint64 since = context()->lastHistoryToken();
        const QList<ManagedObject*> items = addItems(count, QStringLiteral("N%1-").arg(count));
        ASSERT_FALSE(context()->save());
        ASSERT_NO_FATAL_FAILURE(expectKeysAndHistoryMatch(items, since)) << count;
    }
    EXPECT_EQ(keysInFile().size(), 4 * Batch);
}

TEST_F(StoreBatchInsertTest, interleavedEntitiesKeepTheirOwnKeysAndTheirOrderInTheHistory)
{
    const qint64 since = context()->lastHistoryToken();
    QList<ManagedObject*> all;
    for (int i = 0; i < Batch + 3; ++i) {
        ManagedObject* item = context()->insertNewObject(Item);
        item->setValue(QStringLiteral("uniqueIdentifier"), QStringLiteral("I%1").arg(i));
        all.append(item);
        if (i % 20 == 0) {
            ManagedObject* state = context()->insertNewObject(QStringLiteral("State"));
            state->setValue(QStringLiteral("cardItemId"), QStringLiteral("S%1").arg(i));
            all.append(state);
        }
    }
    ASSERT_FALSE(context()->save());
    const QHash<QString, qint64> items = keysInFile();
    const QHash<QString, qint64> states = keysInFile(QStringLiteral("State"), QStringLiteral("cardItemId"));
    EXPECT_EQ(items.size(), Batch + 3);
    EXPECT_EQ(states.size(), 4);
    const auto history = context()->fetchHistoryAfterToken(since);
    ASSERT_EQ(history.transactions.size(), 1);
    const QList<HistoryChange>& changes = history.transactions.first().changes;
    ASSERT_EQ(changes.size(), all.size());
    for (qsizetype i = 0; i < all.size(); ++i) {
        const bool isItem = all[i]->entityName() == Item;
        const QString name =
            all[i]->value(isItem ? QStringLiteral("uniqueIdentifier") : QStringLiteral("cardItemId")).toString();
        EXPECT_EQ(all[i]->primaryKey(), (isItem ? items : states).value(name, -1)) << name.toStdString();
        EXPECT_EQ(changes[i].entityName, all[i]->entityName()) << i;
        EXPECT_EQ(changes[i].primaryKey, all[i]->primaryKey()) << i;
    }
}

TEST_F(StoreBatchInsertTest, keysOfDeletedRecordsAreNeverGivenAgain)
{
    const QList<ManagedObject*> first = addItems(Batch, QStringLiteral("A"));
    ASSERT_FALSE(context()->save());
    const qint64 highest = first.last()->primaryKey();
    for (qsizetype i = first.size() - 5; i < first.size(); ++i)
        context()->deleteObject(first[i]);
    ASSERT_FALSE(context()->save());
    const qint64 since = context()->lastHistoryToken();
    const QList<ManagedObject*> second = addItems(Batch, QStringLiteral("B"));
    ASSERT_FALSE(context()->save());
    EXPECT_EQ(second.first()->primaryKey(), highest + 1);
    ASSERT_NO_FATAL_FAILURE(expectKeysAndHistoryMatch(second, since));
}

TEST_F(StoreBatchInsertTest, recordRefusedInsideABatchFailsTheWholeSaveAndALaterSaveWritesEveryRecord)
{
    rawExecute(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Item WHEN NEW.uniqueIdentifier = 'U%1' "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                   .arg(Batch + 2));
    const QList<ManagedObject*> items = addItems(2 * Batch);
    EXPECT_TRUE(context()->save());
    EXPECT_TRUE(keysInFile().isEmpty());
    EXPECT_EQ(context()->insertedObjects().size(), 2 * Batch);
    EXPECT_EQ(items.first()->primaryKey(), 0);

    rawExecute(QStringLiteral("DROP TRIGGER refuse"));
    const qint64 since = context()->lastHistoryToken();
    ASSERT_FALSE(context()->save());
    ASSERT_NO_FATAL_FAILURE(expectKeysAndHistoryMatch(items, since));
}

TEST_F(StoreBatchInsertTest, valuesOfEveryKindKeepTheirPlaceInABatch)
{
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(1760000000123);
    const QList<ManagedObject*> items = addItems(Batch);
    items[0]->setValue(QStringLiteral("title"), QVariant());
    items[1]->setValue(QStringLiteral("title"), QString(""));
    items[2]->setValue(QStringLiteral("title"), QStringLiteral("caf\u00e9 \U0001F600"));
    items[Batch - 1]->setValue(QStringLiteral("title"), QStringLiteral("last"));
    items[Batch - 1]->setValue(QStringLiteral("lastModified"), when);
    items[Batch - 1]->setValue(QStringLiteral("score"), 2.5);
    items[Batch - 1]->setValue(QStringLiteral("content"), QByteArray("\x00\x01", 2));
    items[Batch - 2]->setValue(QStringLiteral("lastModified"), QDateTime());
    ASSERT_FALSE(context()->save());

    ASSERT_NO_FATAL_FAILURE(open());
    FetchRequest request(Item);
    request.setSortDescriptors({{QStringLiteral("displayOrder"), true}});
    const QList<ManagedObject*> read = context()->fetch(request);
    ASSERT_EQ(read.size(), Batch);
    EXPECT_TRUE(read[0]->value(QStringLiteral("title")).isNull());
    EXPECT_FALSE(read[1]->value(QStringLiteral("title")).isNull());
    EXPECT_EQ(read[1]->value(QStringLiteral("title")).toString(), QString());
    EXPECT_EQ(read[2]->value(QStringLiteral("title")).toString(), QStringLiteral("caf\u00e9 \U0001F600"));
    EXPECT_EQ(read[Batch - 1]->value(QStringLiteral("title")).toString(), QStringLiteral("last"));
    EXPECT_EQ(read[Batch - 1]->value(QStringLiteral("lastModified")).toDateTime(), when);
    EXPECT_DOUBLE_EQ(read[Batch - 1]->value(QStringLiteral("score")).toDouble(), 2.5);
    EXPECT_EQ(read[Batch - 1]->value(QStringLiteral("content")).toByteArray(), QByteArray("\x00\x01", 2));
    EXPECT_TRUE(read[Batch - 2]->value(QStringLiteral("lastModified")).isNull());
    EXPECT_EQ(read[Batch - 3]->value(QStringLiteral("displayOrder")).toLongLong(), Batch - 3);
}

TEST_F(StoreBatchInsertTest, attributesLeftUnsetAreNullEvenWhereTheBatchBeforeSetThem)
{
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(1760000000123, Qt::UTC);
    for (ManagedObject* item : addItems(Batch, QStringLiteral("Set"))) {
        item->setValue(QStringLiteral("title"), QStringLiteral("a title"));
        item->setValue(QStringLiteral("lastModified"), when);
        item->setValue(QStringLiteral("content"), QByteArray("bytes"));
    }
    ASSERT_FALSE(context()->save());
    addItems(Batch, QStringLiteral("Unset"));
    ASSERT_FALSE(context()->save());

    ASSERT_NO_FATAL_FAILURE(open());
    FetchRequest request(Item);
    request.setPredicate(QStringLiteral("uniqueIdentifier BEGINSWITH %@"), {QStringLiteral("Unset")});
    const QList<ManagedObject*> unset = context()->fetch(request);
    ASSERT_EQ(unset.size(), Batch);
    for (ManagedObject* item : unset) {
        for (const char* key : {"title", "lastModified", "content"})
            EXPECT_FALSE(item->value(QString::fromLatin1(key)).isValid()) << key;
    }
    request.setPredicate(QStringLiteral("title == %@"), {QStringLiteral("a title")});
    EXPECT_EQ(context()->count(request), Batch);
}

TEST_F(StoreBatchInsertTest, batchThatWritesFewerRecordsThanItWasGivenFailsTheSave)
{
    // A record skipped without an error would shift every key after it onto another record.
    rawExecute(QStringLiteral("CREATE TRIGGER skip BEFORE INSERT ON Item WHEN NEW.uniqueIdentifier = 'U3' "
                              "BEGIN SELECT RAISE(IGNORE); END"));
    const QList<ManagedObject*> items = addItems(Batch);
    const std::optional<StoreError> error = context()->save();
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message.contains(QStringLiteral("%1 of %2").arg(Batch - 1).arg(Batch)))
        << error->message.toStdString();
    EXPECT_TRUE(keysInFile().isEmpty());
    EXPECT_EQ(context()->insertedObjects().size(), Batch);
}
