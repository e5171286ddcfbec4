#include "PersistentHistory.h"

#include "SqliteDatabase.h"
#include "SqliteStatement.h"

#include <QHash>
#include <QStringList>

PersistentHistory::PersistentHistory(SqliteDatabase& database) : m_database(database)
{
}

PersistentHistory::~PersistentHistory() = default;

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
    // Many changes to a statement, in their order: a save of thousands of records writes thousands of changes.
    for (qsizetype done = 0; done < changes.size();) {
        const qsizetype count = changes.size() - done >= ChangeBatch ? ChangeBatch : 1;
        if (auto error = recordChanges(newToken, std::span(changes).subspan(size_t(done), size_t(count))))
            return error;
        done += count;
    }
    if (token)
        *token = newToken;
    return std::nullopt;
}

std::optional<StoreError> PersistentHistory::recordChanges(qint64 token, std::span<const HistoryChange> changes)
{
    std::unique_ptr<SqliteStatement>& insert = changes.size() == 1 ? m_insertChange : m_insertChanges;
    if (!insert || !insert->isValid()) {
        const QString row = QStringLiteral("(?, ?, ?, ?, ?)");
        insert = std::make_unique<SqliteStatement>(
            m_database, QStringLiteral("INSERT INTO history_change (token, entity, pk, uniqueIdentifier, changeType) "
                                       "VALUES ") +
                            QStringList(qsizetype(changes.size()), row).join(QStringLiteral(", ")));
    }
    insert->reset();
    int position = 1;
    bool bound = true;
    for (const HistoryChange& change : changes) {
        // An entity without identifiers leaves the column NULL, as reset() left it.
        bound = bound && insert->bindInteger(position, token) && insert->bindText(position + 1, change.entityName) &&
                insert->bindInteger(position + 2, change.primaryKey) &&
                (change.uniqueIdentifier.isEmpty() || insert->bindText(position + 3, change.uniqueIdentifier)) &&
                insert->bindInteger(position + 4, int(change.changeType));
        position += 5;
    }
    if (bound)
        insert->step();
    std::optional<StoreError> error = insert->error();
    if (error)
        insert.reset();
    return error;
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
