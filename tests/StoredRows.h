#pragma once

#include <QString>
#include <QStringList>
#include <sqlite3.h>

// The rows a query answers from the store file at path, read through a connection of its own as another program
// would: each row's columns as text, joined by ':'. Empty when the file or the query cannot be read.
inline QStringList storedRows(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    QStringList rows;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW) {
                QStringList columns;
                for (int column = 0; column < sqlite3_column_count(statement); ++column)
                    columns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
                rows << columns.join(QLatin1Char(':'));
            }
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return rows;
}
