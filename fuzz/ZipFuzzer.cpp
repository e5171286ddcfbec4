// Unpacks arbitrary bytes as a zip archive into a fresh folder; crashes, leaks past the destination and
// sanitizer reports are the findings.
#include "export/SSZipArchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("input.zip"));
    {
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const QString destination = dir.filePath(QStringLiteral("inside/out"));
    QDir().mkpath(destination);
    SSZipArchive::Limits limits;
    limits.maxTotalBytes = 16 * 1024 * 1024;
    SSZipArchive::unzipFileAtPath(input, destination, true, QString(), nullptr, limits);
    QDirIterator it(dir.filePath(QStringLiteral("inside")), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString found = it.next();
        if (found != destination && !found.startsWith(destination + QLatin1Char('/')))
            std::abort();
    }
    return 0;
}
