#pragma once

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>

#include <cstdint>

// Whether this kernel can give transparent huge pages at all; without them advice is refused and only the
// arithmetic can be tested.
inline bool kernelHasHugePages()
{
    return QFileInfo::exists(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
}

// Whether the mapping that holds the address carries huge-page advice ("hg" among its flags in
// /proc/self/smaps).
inline bool hasHugePageAdvice(const void* address)
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return false;
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    bool inside = false;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        // A mapping begins with its range ("start-end perms ..."); its details follow as "Name: value" lines.
        const qsizetype dash = line.indexOf('-');
        const qsizetype space = line.indexOf(' ');
        if (dash > 0 && space > dash && !line.first(space).endsWith(':')) {
            bool ok = false;
            const quint64 start = line.first(dash).toULongLong(&ok, 16);
            const quint64 end = line.sliced(dash + 1, space - dash - 1).toULongLong(&ok, 16);
            inside = ok && at >= start && at < end;
        } else if (inside && line.startsWith("VmFlags:")) {
            return line.split(' ').contains("hg");
        }
    }
    return false;
}
