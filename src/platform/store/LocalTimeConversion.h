#pragma once

#include <QtGlobal>
#include <optional>

class QDateTime;

// The moment a local-time date names, found from the offsets localtime_r() gives rather than by mktime(): QDateTime
// asks mktime(), which reads the zone file's status again on every call, and a save of thousands of cards spent
// more time in that than in writing them. Only dates far from any change of the zone's offset are answered here;
// near one (a clock gone forward or back, where a wall-clock time may name no moment or two) QDateTime decides.
class LocalTimeConversion {
public:
    // Milliseconds since 1970 UTC of a valid date in local time; nothing when the zone's offset is not the same
    // for two days either side of it, or the C library cannot place it.
    static std::optional<qint64> msecsSinceEpoch(const QDateTime& local);
};
