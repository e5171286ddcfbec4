#pragma once

#include "StoreError.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <optional>
#include <vector>

struct sqlite3_stmt;
class SqliteDatabase;

// One prepared statement, finalized when this object ends.
class SqliteStatement {
public:
    SqliteStatement(const SqliteDatabase& database, const QString& sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool isValid() const { return m_statement != nullptr; }
    const std::optional<StoreError>& error() const { return m_error; }

    // Binds the values to ?1, ?2 ...; QVariant types map to SQLite's (dates as seconds since 1970).
    bool bind(const QVariantList& values);
    bool bind(int position, const QVariant& value);
    // The same for values whose type is known, without a QVariant; a null text binds as NULL.
    bool bindText(int position, const QString& text);
    bool bindInteger(int position, qint64 value);
    // True while a row is available; false at the end or on error (see error()).
    bool step();
    // Readies the statement to run again, with every position bound to NULL.
    void reset();

    int columnCount() const;
    QVariant column(int index) const;
    qint64 columnInt64(int index) const;
    // The column as a number; NaN when it is NULL.
    double columnNumber(int index) const;

private:
    // Binds a value already in one of the forms StoreValue::toSql gives; an SQLite result code.
    int bindConverted(int position, const QVariant& value);
    int bindUtf8(int position, const QString& text);
    bool succeeded(int resultCode);
    void fail(const QString& context);

    const SqliteDatabase& m_database;
    sqlite3_stmt* m_statement = nullptr;
    std::optional<StoreError> m_error;
    // The UTF-8 of each text bound, by position, for as long as SQLite may read it.
    std::vector<QByteArray> m_texts;
};
