#include "SqliteDatabase.h"

#include "SqliteStatement.h"

#include <sqlite3.h>

SqliteDatabase::~SqliteDatabase()
{
    close();
}

std::optional<StoreError> SqliteDatabase::open(const QString& path)
{
    close();
    m_path = path;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        StoreError error =
            m_handle ? lastError(QStringLiteral("open")) : StoreError{QStringLiteral("Cannot open %1").arg(path), rc};
        close();
        return error;
    }
    sqlite3_extended_result_codes(m_handle, 1);
    // Another process may hold the write lock for a moment; wait rather than fail a writer's save.
    sqlite3_busy_timeout(m_handle, 5000);
    return std::nullopt;
}

void SqliteDatabase::close()
{
    if (m_handle) {
        sqlite3_close_v2(m_handle);
        m_handle = nullptr;
    }
}

std::optional<StoreError> SqliteDatabase::execute(const QString& sql)
{
    if (!m_handle)
        return StoreError{QStringLiteral("The store is not open."), SQLITE_MISUSE};
    char* message = nullptr;
    const int rc = sqlite3_exec(m_handle, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK)
        return std::nullopt;
    StoreError error{QString::fromUtf8(message ? message : sqlite3_errstr(rc)), rc};
    sqlite3_free(message);
    return error;
}

std::optional<StoreError> SqliteDatabase::execute(const QString& sql, const QVariantList& bindings)
{
    SqliteStatement statement(*this, sql);
    if (!statement.isValid() || !statement.bind(bindings))
        return statement.error();
    while (statement.step()) {
    }
    return statement.error();
}

QVariant SqliteDatabase::scalar(const QString& sql, const QVariantList& bindings, StoreError* error) const
{
    SqliteStatement statement(*this, sql);
    QVariant result;
    if (statement.isValid() && statement.bind(bindings) && statement.step())
        result = statement.column(0);
    if (statement.error() && error)
        *error = *statement.error();
    return result;
}

std::optional<StoreError> SqliteDatabase::begin()
{
    // Take the write lock up front, so a save never fails half-way on a lock another process holds.
    return execute(QStringLiteral("BEGIN IMMEDIATE"));
}

std::optional<StoreError> SqliteDatabase::commit()
{
    return execute(QStringLiteral("COMMIT"));
}

void SqliteDatabase::rollback()
{
    if (m_handle && !sqlite3_get_autocommit(m_handle))
        execute(QStringLiteral("ROLLBACK"));
}

qint64 SqliteDatabase::lastInsertRowId() const
{
    return m_handle ? sqlite3_last_insert_rowid(m_handle) : 0;
}

qint64 SqliteDatabase::dataVersion() const
{
    return scalar(QStringLiteral("PRAGMA data_version")).toLongLong();
}

StoreError SqliteDatabase::lastError(const QString& context) const
{
    if (!m_handle)
        return StoreError{context + QStringLiteral(": the store is not open."), SQLITE_MISUSE};
    return StoreError{context + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(m_handle)),
                      sqlite3_extended_errcode(m_handle)};
}

QString SqliteDatabase::quotedName(const QString& name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}
