#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <optional>

// How the backup records write their values and read them back. Every value is a JSON string. A reader
// never trusts a value: a number must be all digits, a date a finite decimal within the calendar's range,
// and anything else falls back as the record format says instead of being guessed at.
class ArchiveValues {
public:
    // Seconds since 1970 that a date may stand at: the years 1 to 9999.
    static constexpr double EarliestSeconds = -62135596800.0;
    static constexpr double LatestSeconds = 253402300799.0;

    // Seconds since 1970 as the shortest decimal that reads back to the same number, with a digit after the point.
    static QString dateText(const QDateTime& date);
    // Absent: now. Present: the date it stands for, or 1970 itself when the text is no such number.
    static QDateTime date(const QJsonObject& object, const QString& key, const QDateTime& now);
    // A base-10 integer (optional sign, digits only) that fits; 0 otherwise.
    static qint64 integer(const QJsonObject& object, const QString& key);
    // The text under key, or nullopt when it is absent or not a string.
    static std::optional<QString> string(const QJsonObject& object, const QString& key);
    // Strict standard base64, or nullopt.
    static std::optional<QByteArray> base64(const QString& text);
    // The text, or an empty (not null) one: a missing store value is written as "".
    static QString orEmpty(const QString& text) { return text.isNull() ? QString(QLatin1String("")) : text; }
    // Whether every value of the object is a string, as the record format writes them.
    static bool allStrings(const QJsonObject& object);

private:
    static std::optional<double> decimal(const QString& text);
};
