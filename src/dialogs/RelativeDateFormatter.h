#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Dates as the information texts show them: a medium date with a short time, and the distance to the
// present in words ("3 days ago", "in 2 hours"), counted in the largest whole unit that fits.
class RelativeDateFormatter {
public:
    // "Jan 5, 2024, 3:04 PM" in English: the locale's long date without the weekday and with short month
    // names, then its short time.
    static QString mediumDateShortTime(const QDateTime& date, const QLocale& locale = QLocale());
    // "Jan 5, 2024, 3:04:05 PM" in English: the medium date, then the locale's time with seconds and without
    // the time zone.
    static QString mediumDateMediumTime(const QDateTime& date, const QLocale& locale = QLocale());
    // "Jan 5, 2024" in English: the date part of mediumDateShortTime().
    static QString mediumDate(const QDate& date, const QLocale& locale = QLocale());
    // "3:04:05 PM" in English: the locale's long time without the time zone.
    static QString mediumTime(const QTime& time, const QLocale& locale = QLocale());
    // date against reference in years, months, weeks, days, hours, minutes or seconds.
    static QString localizedString(const QDateTime& date, const QDateTime& reference);

private:
    static QString phrase(qint64 count, const QString& unit, bool future);
};
