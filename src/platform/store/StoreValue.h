#pragma once

#include <QVariant>

// How stored values compare and travel to SQLite, shared by queries run in SQL and the same queries run
// over objects in memory, so that both give one answer.
class StoreValue {
public:
    // SQLite's ordering: null < numbers (integers, reals, booleans, dates as seconds) < text < bytes.
    // Returns <0, 0 or >0.
    static int compare(const QVariant& a, const QVariant& b);
    // Equality as a query sees it: null equals only null; numbers by value; text by exact code units.
    static bool equals(const QVariant& a, const QVariant& b);
    // The value as SQLite stores it: dates become seconds since 1970 (a double), booleans 0/1.
    static QVariant toSql(const QVariant& value);
    static bool isNumeric(const QVariant& value);
    static double toDouble(const QVariant& value);
};
