#include "export/SSZipArchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray sampleArchive(const QString& folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("seed.zip"));
    SSZipArchive archive(path);
    EXPECT_TRUE(archive.open());
    archive.writeData("first file with some text to deflate, repeated repeated repeated", QStringLiteral("a.txt"));
    archive.writeData(QByteArray(3000, 'z'), QStringLiteral("folder/b.bin"));
    archive.writeData("x", QStringLiteral("folder/deeper/c.txt"));
    archive.close();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray mutated(QByteArray bytes, QRandomGenerator& random)
{
    const int edits = 1 + random.bounded(8);
    for (int i = 0; i < edits && !bytes.isEmpty(); ++i) {
        const int at = random.bounded(int(bytes.size()));
        switch (random.bounded(4)) {
        case 0:
            bytes[at] = char(random.bounded(256));
            break;
        case 1:
            bytes.truncate(at);
            break;
        case 2:
            bytes.insert(at, random.bounded(2) ? "../" : ":");
            break;
        default:
            bytes[at] = char(0xFF);
            break;
        }
    }
    return bytes;
}

} // namespace

// Damaged archives, whatever they claim, never crash the unpacker and never put a file outside its destination.
TEST(SSZipArchiveFuzzTest, damagedArchivesStayInsideTheirDestination)
{
    QTemporaryDir dir;
    const QByteArray seed = sampleArchive(dir.path());
    ASSERT_FALSE(seed.isEmpty());
    QRandomGenerator random(19);
    const QString outer = dir.filePath(QStringLiteral("outer"));
    // A working folder of its own, which must stay empty: a name taken as a path of its own would land there.
    const QString previous = QDir::currentPath();
    QTemporaryDir working;
    ASSERT_TRUE(QDir::setCurrent(working.path()));
    for (int round = 0; round < 400; ++round) {
        const QString input = dir.filePath(QStringLiteral("input.zip"));
        {
            QFile file(input);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(mutated(seed, random));
        }
        QDir(outer).removeRecursively();
        const QString destination = QDir(outer).filePath(QStringLiteral("inside"));
        ASSERT_TRUE(QDir().mkpath(destination));
        SSZipArchive::Error error;
        SSZipArchive::unzipFileAtPath(input, destination, true, QString(), &error);
        QDirIterator it(outer, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString found = it.next();
            ASSERT_TRUE(found == destination || found.startsWith(destination + QLatin1Char('/')))
                << "round " << round << " wrote " << found.toStdString();
        }
    }
    EXPECT_EQ(QDir(working.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList())
        << "nothing lands in the working folder";
    QDir::setCurrent(previous);
}
