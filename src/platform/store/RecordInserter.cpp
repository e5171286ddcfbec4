#include "RecordInserter.h"

#include "EntityDescription.h"
#include "SqliteDatabase.h"
#include "SqliteStatement.h"

#include <QStringList>
#include <algorithm>
#include <sqlite3.h>

namespace {

// The statement writing rows records of the entity. One row names its key (?1); a batch leaves the key out, so
// SQLite numbers the records in the order of the rows. Naming the key in a batch, even as NULL, makes SQLite check
// it for every row and keep a statement journal of every page the batch touches, which spills to a temporary
// file once past 64 KiB: a save of thousands of cards wrote more to that file than to the store.
QString insertSql(const EntityDescription& entity, int rows)
{
    QStringList columns;
    if (rows == 1)
        columns.append(QStringLiteral("pk"));
    for (const AttributeDescription& attribute : entity.attributes())
        columns.append(SqliteDatabase::quotedName(attribute.name()));
    const QString row =
        QStringLiteral("(%1)").arg(QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(SqliteDatabase::quotedName(entity.name()), columns.join(QStringLiteral(", ")),
             QStringList(rows, row).join(QStringLiteral(", ")));
}

} // namespace

RecordInserter::RecordInserter(SqliteDatabase& database) : m_database(database)
{
}

RecordInserter::~RecordInserter() = default;

int RecordInserter::batchRows(qsizetype attributes) const
{
    const int limit = m_database.handle() ? sqlite3_limit(m_database.handle(), SQLITE_LIMIT_VARIABLE_NUMBER, -1) : 0;
    return std::clamp(int(limit / std::max<qsizetype>(attributes, 1)), 1, BatchRows);
}

bool RecordInserter::insert(const EntityDescription& entity, std::span<const std::vector<QVariant>* const> rows,
                            QList<qint64>& keys, StoreError* error)
{
    const size_t batch = size_t(batchRows(entity.attributes().size()));
    size_t done = 0;
    while (done < rows.size()) {
        // Whole batches first; what is left goes one record a statement.
        const size_t count = rows.size() - done >= batch ? batch : 1;
        if (!write(entity, rows.subspan(done, count), 0, error))
            return false;
        // SQLite gives a batch's records consecutive keys in the order of its rows, the last one reported.
        const qint64 last = m_database.lastInsertRowId();
        if (sqlite3_changes(m_database.handle()) != int(count)) {
            *error = StoreError{
                QStringLiteral("insert wrote %1 of %2 records").arg(sqlite3_changes(m_database.handle())).arg(count),
                SQLITE_ERROR};
            return false;
        }
        for (size_t i = 0; i < count; ++i)
            keys.append(last - qint64(count - 1 - i));
        done += count;
    }
    return true;
}

bool RecordInserter::insertWithKey(const EntityDescription& entity, const std::vector<QVariant>& values, qint64 key,
                                   StoreError* error)
{
    const std::vector<QVariant>* row = &values;
    return write(entity, std::span(&row, 1), key, error);
}

SqliteStatement* RecordInserter::statement(const EntityDescription& entity, int rows, StoreError* error)
{
    std::unique_ptr<SqliteStatement>& statement = m_statements[{&entity, rows}];
    if (!statement || !statement->isValid())
        statement = std::make_unique<SqliteStatement>(m_database, insertSql(entity, rows));
    if (statement->isValid())
        return statement.get();
    *error = statement->error().value_or(StoreError{QStringLiteral("insert failed"), SQLITE_ERROR});
    statement.reset();
    return nullptr;
}

bool RecordInserter::write(const EntityDescription& entity, std::span<const std::vector<QVariant>* const> rows,
                           qint64 key, StoreError* error)
{
    SqliteStatement* insert = statement(entity, int(rows.size()), error);
    if (!insert)
        return false;
    insert->reset();
    const int columns = int(entity.attributes().size());
    // One row binds its key first; a batch leaves its keys to SQLite.
    const int first = rows.size() == 1 ? 2 : 1;
    bool bound = rows.size() != 1 || insert->bind(1, key > 0 ? QVariant(key) : QVariant());
    for (size_t r = 0; bound && r < rows.size(); ++r) {
        const std::vector<QVariant>& values = *rows[r];
        // reset() left every position NULL: a card leaves most of its attributes unset.
        for (int i = 0; bound && i < columns && size_t(i) < values.size(); ++i) {
            if (values[size_t(i)].isValid())
                bound = insert->bind(first + int(r) * columns + i, values[size_t(i)]);
        }
    }
    if (bound)
        insert->step();
    if (!bound || insert->error()) {
        *error = insert->error().value_or(StoreError{QStringLiteral("insert failed"), SQLITE_ERROR});
        m_statements.erase({&entity, int(rows.size())});
        return false;
    }
    return true;
}
