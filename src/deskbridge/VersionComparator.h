#pragma once

#include <QString>

namespace Deskbridge {

// Orders version texts the way people read them: "1.10" after "1.9", "1.0" after "1.0b2", "1.0.1" after
// "1.0". Numbers of any length compare by value without overflow.
class VersionComparator {
public:
    // Negative when a is older than b, zero when equal, positive when a is newer.
    static int compare(const QString& a, const QString& b);
};

} // namespace Deskbridge
