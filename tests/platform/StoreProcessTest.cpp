#include "StoreTestModel.h"
#include "TestWait.h"
#include "platform/NotificationCenter.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentContainer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const QString Item = QStringLiteral("Item");
constexpr int BulkRows = 20000;

// The last saves the bulk writer said were writing ("saving N", said from inside the save's transaction) and
// stored ("saved N"); -1 before any.
struct WriterReports {
    int lastSaving = -1;
    int lastSaved = -1;

    void read(QProcess& writer)
    {
        while (writer.canReadLine()) {
            const QList<QByteArray> words = writer.readLine().trimmed().split(' ');
            if (words.size() != 2)
                continue;
            if (words.first() == "saving")
                lastSaving = words.last().toInt();
            else if (words.first() == "saved")
                lastSaved = words.last().toInt();
        }
    }
};

class StoreProcessTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("CardStore.sqlite")); }

    static QString integrityCheck(const QString& store)
    {
        sqlite3* db = nullptr;
        sqlite3_open_v2(store.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr);
        QString result;
        if (sqlite3_step(statement) == SQLITE_ROW)
            result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return result;
    }

    QTemporaryDir m_dir;
};

TEST_F(StoreProcessTest, commitOfAnotherProcessIsNoticedAndInTheHistory)
{
    PersistentContainer container(QStringLiteral("CardStore"), storeTestModel());
    ASSERT_FALSE(container.loadPersistentStores(path()));
    ManagedObjectContext* context = container.viewContext();
    const qint64 before = context->currentQueryGenerationToken().historyToken;

    int notices = 0;
    const int observer = NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(PersistentContainer::RemoteChangeNotification), &container,
        [&notices](const Notification&) { ++notices; });

    QProcess writer;
    writer.start(QStringLiteral(STORE_WRITER_PATH), {path(), QStringLiteral("insert"), QStringLiteral("FROM-CHILD")});
    ASSERT_TRUE(writer.waitForFinished(30000));
    ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();

    const bool noticed = waitFor([&notices] { return notices > 0; });
    NotificationCenter::defaultCenter().removeObserver(observer);
    EXPECT_TRUE(noticed) << "the other process's commit was never noticed";

    const auto history = context->fetchHistoryAfterToken(before);
    ASSERT_EQ(history.transactions.size(), 1);
    EXPECT_TRUE(history.transactions.first().author.startsWith(QStringLiteral("store_writer")));
    ASSERT_EQ(history.transactions.first().changes.size(), 1);
    EXPECT_EQ(history.transactions.first().changes.first().uniqueIdentifier, QStringLiteral("FROM-CHILD"));

    FetchRequest request(Item);
    request.setPredicate(QStringLiteral("uniqueIdentifier == %@"), {QStringLiteral("FROM-CHILD")});
    EXPECT_EQ(context->count(request), 1);
}

TEST_F(StoreProcessTest, processKilledMidSaveLeavesTheStoreWhole)
{
    // Each writer is killed as soon as it says save `target` is writing, into a store of its own: the saves it
    // reported stored are all there, the one it was in is there whole or not at all, and none beyond it.
    int killedInsideASave = 0;
    for (int target : {0, 1, 2}) {
        const QString store = m_dir.filePath(QStringLiteral("Killed%1.sqlite").arg(target));
        QProcess writer;
        writer.start(QStringLiteral(STORE_WRITER_PATH), {store, QStringLiteral("bulk"), QString::number(BulkRows)});
        WriterReports reports;
        const bool began = waitFor(
            [&] {
                reports.read(writer);
                return reports.lastSaving >= target || writer.state() == QProcess::NotRunning;
            },
            60000);
        writer.kill(); // SIGKILL
        writer.waitForFinished(10000);
        reports.read(writer);
        ASSERT_TRUE(began && reports.lastSaving >= target) << writer.readAllStandardError().toStdString();

        EXPECT_EQ(integrityCheck(store), QStringLiteral("ok"));
        PersistentContainer container(QStringLiteral("CardStore"), storeTestModel());
        ASSERT_FALSE(container.loadPersistentStores(store));
        const qint64 rows = container.viewContext()->count(FetchRequest(Item));
        EXPECT_EQ(rows % BulkRows, 0) << "a save was half written: " << rows << " rows";
        EXPECT_GE(rows, qint64(reports.lastSaved + 1) * BulkRows) << "a save reported stored is missing";
        EXPECT_LE(rows, qint64(reports.lastSaving + 1) * BulkRows) << "rows of a save never begun";
        // Writing and not stored: the kill came inside the save's transaction, before its commit.
        if (reports.lastSaved < reports.lastSaving && rows == qint64(reports.lastSaving) * BulkRows)
            ++killedInsideASave;
        const auto history = container.viewContext()->fetchHistoryAfterToken(0);
        qint64 recorded = 0;
        for (const HistoryTransaction& transaction : history.transactions)
            recorded += transaction.changes.size();
        EXPECT_EQ(recorded, rows);
    }
    EXPECT_GT(killedInsideASave, 0) << "every kill came after the save it was meant to interrupt was stored";
}

} // namespace
