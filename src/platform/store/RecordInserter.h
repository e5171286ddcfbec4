#pragma once

#include "StoreError.h"

#include <QList>
#include <QVariant>
#include <map>
#include <memory>
#include <span>
#include <utility>
#include <vector>

class EntityDescription;
class SqliteDatabase;
class SqliteStatement;

// Writes new records over one store connection, many to a statement: a save of thousands of cards then pays
// SQLite's work per statement (opening the table and its indexes, advancing the key sequence) once a batch
// rather than once a record. Prepared statements are kept for the next save.
class RecordInserter {
public:
    // Records written by one statement at most; fewer when the entity has so many attributes that a batch would
    // pass SQLite's limit on bound values.
    static constexpr int BatchRows = 64;

    explicit RecordInserter(SqliteDatabase& database);
    ~RecordInserter();
    RecordInserter(const RecordInserter&) = delete;
    RecordInserter& operator=(const RecordInserter&) = delete;

    // Inserts the rows (each the entity's attribute values in their order) under new keys given in the same
    // order, which keys receives. False with *error set when a statement fails; the caller rolls back.
    bool insert(const EntityDescription& entity, std::span<const std::vector<QVariant>* const> rows,
                QList<qint64>& keys, StoreError* error);
    // Inserts one row under the given key: a record deleted elsewhere written back whole.
    bool insertWithKey(const EntityDescription& entity, const std::vector<QVariant>& values, qint64 key,
                       StoreError* error);

    // The rows one statement writes for an entity of that many attributes.
    int batchRows(qsizetype attributes) const;

private:
    SqliteStatement* statement(const EntityDescription& entity, int rows, StoreError* error);
    bool write(const EntityDescription& entity, std::span<const std::vector<QVariant>* const> rows, qint64 key,
               StoreError* error);

    SqliteDatabase& m_database;
    std::map<std::pair<const EntityDescription*, int>, std::unique_ptr<SqliteStatement>> m_statements;
};
