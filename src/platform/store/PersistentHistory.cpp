#include "PersistentHistory.h"

#include "SqliteDatabase.h"
#include "SqliteStatement.h"

#include <QHash>

PersistentHistory::PersistentHistory(SqliteDatabase& database) : m_database(database) {}

std::optional<StoreError> PersistentHistory::createTables()
{
    return m_database.execute(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS history_transaction ("
        " token INTEGER PRIMARY KEY AUTOINCREMENT, timestamp REAL NOT NULL, author TEXT);"
        "CREATE TABLE IF NOT EXISTS history_change ("
        " id INTEGER PRIMARY KEY, token INTEGER NOT NULL, entity TEXT NOT NULL,"
        " pk INTEGER NOT NULL, uniqueIdentifier TEXT, changeType INTEGER NOT NULL);"
        "CREATE INDEX IF NOT EXISTS idx_history_change_token ON history_change (token);"
        "CREATE INDEX IF NOT EXISTS idx_history_transaction_timestamp ON history_transaction (timestamp);"));
}

std::optional<StoreError> PersistentHistory::record(const QString& author, const QList<HistoryChange>& changes,
                                                    qint64* token)
{
    const double now = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    if (auto error = m_database.execute(
            QStringLiteral("INSERT INTO history_transaction (timestamp, author) VALUES (?1, ?2)"), {now, author}))
        return error;
    const qint64 newToken = m_database.lastInsertRowId();
    SqliteStatement insert(m_database, QStringLiteral("INSERT INTO history_change (token, entity, pk, "
                                                      "uniqueIdentifier, changeType) VALUES (?1, ?2, ?3, ?4, ?5)"));
    for (const HistoryChange& change : changes) {
        insert.reset();
        const QVariant identifier = change.uniqueIdentifier.isEmpty() ? QVariant() : QVariant(change.uniqueIdentifier);
        insert.bind({newToken, change.entityName, change.primaryKey, identifier, int(change.changeType)});
        insert.step();
        if (insert.error())
            return insert.error();
    }
    if (token)
        *token = newToken;
    return std::nullopt;
}

PersistentHistory::Result PersistentHistory::transactionsAfterToken(qint64 token) const
{
    return transactions(QStringLiteral("t.token > ?1"), token);
}

PersistentHistory::Result PersistentHistory::transactionsAfterDate(const QDateTime& date) const
{
    return transactions(QStringLiteral("t.timestamp > ?1"), double(date.toMSecsSinceEpoch()) / 1000.0);
}

qint64 PersistentHistory::lastToken() const
{
    return m_database.scalar(QStringLiteral("SELECT COALESCE(MAX(token), 0) FROM history_transaction")).toLongLong();
}

PersistentHistory::Result PersistentHistory::transactions(const QString& condition, const QVariant& value) const
{
    Result result;
    SqliteStatement statement(
        m_database, QStringLiteral("SELECT t.token, t.timestamp, t.author, c.entity, c.pk, c.uniqueIdentifier, "
                                   "c.changeType FROM history_transaction t LEFT JOIN history_change c "
                                   "ON c.token = t.token WHERE %1 ORDER BY t.token, c.id")
                       .arg(condition));
    statement.bind({value});
    while (statement.step()) {
        const qint64 token = statement.columnInt64(0);
        if (result.transactions.isEmpty() || result.transactions.last().token != token) {
            HistoryTransaction transaction;
            transaction.token = token;
            transaction.timestamp = QDateTime::fromMSecsSinceEpoch(qint64(statement.column(1).toDouble() * 1000.0));
            transaction.author = statement.column(2).toString();
            result.transactions.append(transaction);
        }
        if (statement.column(3).isNull())
            continue;
        HistoryChange change;
        change.entityName = statement.column(3).toString();
        change.primaryKey = statement.columnInt64(4);
        change.uniqueIdentifier = statement.column(5).toString();
        change.changeType = HistoryChangeType(statement.columnInt64(6));
        result.transactions.last().changes.append(change);
    }
    result.error = statement.error();
    if (result.error)
        result.transactions.clear();
    return result;
}
