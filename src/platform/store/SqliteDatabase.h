#pragma once

#include "StoreError.h"

#include <QString>
#include <QVariantList>
#include <optional>

struct sqlite3;

// One SQLite connection, closed when this object ends.
class SqliteDatabase {
public:
    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Opens an existing file or creates a new one; never truncates or rewrites what is there.
    std::optional<StoreError> open(const QString& path);
    void close();
    bool isOpen() const { return m_handle != nullptr; }
    sqlite3* handle() const { return m_handle; }
    const QString& path() const { return m_path; }

    // Runs statements that take no values and return no rows.
    std::optional<StoreError> execute(const QString& sql);
    // Runs one statement with bound values, discarding rows.
    std::optional<StoreError> execute(const QString& sql, const QVariantList& bindings);
    // The first column of the first row, or a null QVariant.
    QVariant scalar(const QString& sql, const QVariantList& bindings = {}, StoreError* error = nullptr) const;

    std::optional<StoreError> begin();
    std::optional<StoreError> commit();
    void rollback();

    qint64 lastInsertRowId() const;
    // Changes whenever another connection commits to the same file.
    qint64 dataVersion() const;

    StoreError lastError(const QString& context) const;

    // A table or column name as an SQL identifier, so no name can end the quoting.
    static QString quotedName(const QString& name);

private:
    sqlite3* m_handle = nullptr;
    QString m_path;
};
