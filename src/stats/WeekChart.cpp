#include "WeekChart.h"

#include "StatisticsManager.h"

#include <algorithm>

namespace {

// 1 for Sunday to 7 for Saturday.
int sundayFirstWeekday(const QDate& day)
{
    return day.dayOfWeek() % 7 + 1;
}

// The words of the day in days (newest first); 0 when it has none.
qint64 wordsOn(const QDate& slot, const QList<DayStat>& days)
{
    for (const DayStat& day : days) {
        const QDate date = StatisticsManager::calendarDay(day.startTime());
        if (date == slot)
            return day.wordCount();
        if (date < slot)
            break;
    }
    return 0;
}

WeekChart::Tone toneOf(qint64 words, qint64 wordsPerDay)
{
    if (words == 0)
        return WeekChart::Tone::NoWords;
    if (words < 0)
        return WeekChart::Tone::Negative;
    return words < wordsPerDay ? WeekChart::Tone::BelowAverage : WeekChart::Tone::AtOrAboveAverage;
}

} // namespace

WeekChart::Data WeekChart::build(qint64 todaysWords, qint64 wordsPerDay, const QList<DayStat>& days, const QDate& today)
{
    Data data;
    const qint64 reference = wordsPerDay > MinimumAverageForReference ? wordsPerDay : SmallReference;
    const int weekday = sundayFirstWeekday(today);
    for (int i = 1; i <= 7; ++i) {
        Slot slot;
        slot.day = today.addDays(i - weekday);
        if (slot.day > today) {
            slot.tone = Tone::Future;
        } else {
            slot.words = slot.day == today ? todaysWords : wordsOn(slot.day, days);
            slot.tone = toneOf(slot.words, wordsPerDay);
            data.maximum = std::max(data.maximum, slot.words);
        }
        data.week.append(slot);
    }
    data.scale = 2 * reference;
    if (data.scale < data.maximum)
        data.scale = 2 * data.maximum;
    for (Slot& slot : data.week) {
        if (data.maximum >= 1 && slot.words >= 0)
            slot.height = float(double(slot.words) / double(data.scale));
    }
    data.midPoint = data.maximum < 1 ? 0.5f : float(double(reference) / double(data.scale));
    return data;
}
