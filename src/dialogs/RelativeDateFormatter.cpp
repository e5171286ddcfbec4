#include "RelativeDateFormatter.h"

#include <QRegularExpression>

namespace {

// Whole calendar months from the earlier to the later moment.
qint64 monthsBetween(const QDateTime& earlier, const QDateTime& later)
{
    qint64 months =
        qint64(later.date().year() - earlier.date().year()) * 12 + (later.date().month() - earlier.date().month());
    if (months > 0 && earlier.addMonths(int(months)) > later)
        --months;
    return months;
}

} // namespace

QString RelativeDateFormatter::mediumDateShortTime(const QDateTime& date, const QLocale& locale)
{
    const QString timeText = locale.toString(date.time(), locale.timeFormat(QLocale::ShortFormat));
    return QStringLiteral("%1, %2").arg(mediumDate(date.date(), locale), timeText);
}

QString RelativeDateFormatter::mediumDateMediumTime(const QDateTime& date, const QLocale& locale)
{
    return QStringLiteral("%1, %2").arg(mediumDate(date.date(), locale), mediumTime(date.time(), locale));
}

QString RelativeDateFormatter::mediumTime(const QTime& time, const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    // The zone goes, with the brackets some locales put around it.
    static const QRegularExpression zone(QStringLiteral("\\s*\\(?\\bt+\\b\\)?"));
    format.remove(zone);
    return locale.toString(time, format.trimmed());
}

QString RelativeDateFormatter::mediumDate(const QDate& date, const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::LongFormat);
    // The weekday and whatever joins it to the rest go; full month names shrink to their short form.
    static const QRegularExpression weekday(QStringLiteral("d{4}[,.\\s]*|[,\\s]*d{4}"));
    format.remove(weekday);
    format.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    return locale.toString(date, format.trimmed());
}

QString RelativeDateFormatter::localizedString(const QDateTime& date, const QDateTime& reference)
{
    const bool future = date > reference;
    const QDateTime earlier = future ? reference : date;
    const QDateTime later = future ? date : reference;
    const qint64 months = monthsBetween(earlier, later);
    if (months >= 12)
        return phrase(months / 12, QStringLiteral("year"), future);
    if (months >= 1)
        return phrase(months, QStringLiteral("month"), future);
    const qint64 seconds = earlier.secsTo(later);
    constexpr qint64 minute = 60;
    constexpr qint64 hour = 60 * minute;
    constexpr qint64 day = 24 * hour;
    constexpr qint64 week = 7 * day;
    if (seconds >= week)
        return phrase(seconds / week, QStringLiteral("week"), future);
    if (seconds >= day)
        return phrase(seconds / day, QStringLiteral("day"), future);
    if (seconds >= hour)
        return phrase(seconds / hour, QStringLiteral("hour"), future);
    if (seconds >= minute)
        return phrase(seconds / minute, QStringLiteral("minute"), future);
    return phrase(seconds, QStringLiteral("second"), future);
}

QString RelativeDateFormatter::phrase(qint64 count, const QString& unit, bool future)
{
    const QString amount = QStringLiteral("%1 %2%3").arg(count).arg(unit, count == 1 ? QString() : QStringLiteral("s"));
    return future ? QStringLiteral("in %1").arg(amount) : QStringLiteral("%1 ago").arg(amount);
}
