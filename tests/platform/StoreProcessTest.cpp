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

class StoreProcessTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("CardStore.sqlite")); }

    QString integrityCheck() const
    {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
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
    // Several kills at different moments; each must leave whole saves only.
    for (int delay : {5, 60, 250}) {
        QProcess writer;
        writer.start(QStringLiteral(STORE_WRITER_PATH), {path(), QStringLiteral("bulk"), QString::number(BulkRows)});
        ASSERT_TRUE(writer.waitForReadyRead(60000)) << writer.readAllStandardError().toStdString();
        runEventsFor(delay);
        writer.kill(); // SIGKILL
        writer.waitForFinished(10000);

        EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
        PersistentContainer container(QStringLiteral("CardStore"), storeTestModel());
        ASSERT_FALSE(container.loadPersistentStores(path()));
        const qint64 rows = container.viewContext()->count(FetchRequest(Item));
        EXPECT_EQ(rows % BulkRows, 0) << "a save was half written: " << rows << " rows";
        const auto history = container.viewContext()->fetchHistoryAfterToken(0);
        qint64 recorded = 0;
        for (const HistoryTransaction& transaction : history.transactions)
            recorded += transaction.changes.size();
        EXPECT_EQ(recorded, rows);
    }
}

} // namespace
