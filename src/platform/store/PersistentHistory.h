#pragma once

#include "StoreError.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <span>

class SqliteDatabase;
class SqliteStatement;

enum class HistoryChangeType { Insert = 0, Update = 1, Delete = 2 };

// One record changed by one saved transaction.
struct HistoryChange {
    QString entityName;
    qint64 primaryKey = 0;
    QString uniqueIdentifier; // empty for entities without one
    HistoryChangeType changeType = HistoryChangeType::Update;
};

// One save of any process, in commit order: tokens only grow.
struct HistoryTransaction {
    qint64 token = 0;
    QDateTime timestamp;
    QString author;
    QList<HistoryChange> changes;
};

// The persistent history of a store file: written inside every save, read after a token or a date.
class PersistentHistory {
public:
    explicit PersistentHistory(SqliteDatabase& database);
    ~PersistentHistory();
    PersistentHistory(const PersistentHistory&) = delete;
    PersistentHistory& operator=(const PersistentHistory&) = delete;

    // Creates the history tables when missing.
    std::optional<StoreError> createTables();
    // Appends one transaction and its changes; must run inside the save's own SQL transaction.
    std::optional<StoreError> record(const QString& author, const QList<HistoryChange>& changes, qint64* token);

    struct Result {
        QList<HistoryTransaction> transactions;
        std::optional<StoreError> error;
    };
    Result transactionsAfterToken(qint64 token) const;
    Result transactionsAfterDate(const QDateTime& date) const;
    // The newest token written so far, 0 for an empty history.
    qint64 lastToken() const;

    // Changes written by one statement of a save's history.
    static constexpr qsizetype ChangeBatch = 64;

private:
    Result transactions(const QString& condition, const QVariant& value) const;
    // Writes one change, or ChangeBatch of them, of the transaction token.
    std::optional<StoreError> recordChanges(qint64 token, std::span<const HistoryChange> changes);

    SqliteDatabase& m_database;
    // Kept prepared for the next save.
    std::unique_ptr<SqliteStatement> m_insertChange;
    std::unique_ptr<SqliteStatement> m_insertChanges;
};
