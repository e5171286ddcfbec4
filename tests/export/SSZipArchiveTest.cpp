#include "export/SSZipArchive.h"

#include "ExternalTools.h"
#include "RequiredTools.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <zip.h>

namespace {

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An archive written with minizip directly, so that names our wrapper would refuse can be stored.
void rawZip(const QString& path, const QList<std::pair<QByteArray, QByteArray>>& entries)
{
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    for (const auto& [name, data] : entries) {
        zip_fileinfo info{};
        ASSERT_EQ(zipOpenNewFileInZip64(zip, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                        Z_DEFAULT_COMPRESSION, 0),
                  ZIP_OK);
        zipWriteInFileInZip(zip, data.constData(), unsigned(data.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
}

QStringList pythonNames(const QString& archive)
{
    const auto run = ExternalTools::run(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import sys,zipfile\nz=zipfile.ZipFile(sys.argv[1])\nassert z.testzip() is None\n"
                        "print('\\n'.join(sorted(z.namelist())))"),
         archive});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return QString::fromUtf8(run.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// How many of this process's open files are the file at path.
int openHandlesOn(const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    const QDir handles(QStringLiteral("/proc/self/fd"));
    int count = 0;
    for (const QString& handle : handles.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        count += QFile::symLinkTarget(handles.filePath(handle)) == target;
    return count;
}

} // namespace

TEST(SSZipArchiveTest, packingAFolderKeepsItsTreeAndAnEmptyFolderGetsATrailingSlash)
{
    QTemporaryDir dir;
    ASSERT_NO_FATAL_FAILURE(writeFile(dir.filePath(QStringLiteral("pkg/word/document.xml")), "<a/>"));
    ASSERT_NO_FATAL_FAILURE(writeFile(dir.filePath(QStringLiteral("pkg/Ünïcode name.txt")), "x"));
    QDir().mkpath(dir.filePath(QStringLiteral("pkg/empty")));
    const QString archive = dir.filePath(QStringLiteral("out.zip"));
    ASSERT_TRUE(SSZipArchive::createZipFileAtPath(archive, {dir.filePath(QStringLiteral("pkg/"))}));
    REQUIRE_TOOL("python3");
    EXPECT_EQ(pythonNames(archive), (QStringList{QStringLiteral("pkg/empty/"), QStringLiteral("pkg/word/document.xml"),
                                                 QStringLiteral("pkg/Ünïcode name.txt")}));
}

TEST(SSZipArchiveTest, plainFilePathsAreStoredUnderTheirNamesAlone)
{
    QTemporaryDir dir;
    QStringList paths;
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) {
        paths << dir.filePath(QString::fromLatin1(name));
        ASSERT_NO_FATAL_FAILURE(writeFile(paths.last(), name));
    }
    const QString archive = dir.filePath(QStringLiteral("four.zip"));
    ASSERT_TRUE(SSZipArchive::createZipFileAtPath(archive, paths));
    const QString out = dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(SSZipArchive::unzipFileAtPath(archive, out));
    EXPECT_EQ(QDir(out).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt"),
                           QStringLiteral("d.txt")}));
    EXPECT_EQ(readFile(QDir(out).filePath(QStringLiteral("c.txt"))), "c.txt");
}

TEST(SSZipArchiveTest, entriesCarryTheFilesRealModificationTime)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("src/dated.txt"));
    ASSERT_NO_FATAL_FAILURE(writeFile(file, "dated"));
    const QDateTime when(QDate(2019, 6, 15), QTime(13, 45, 30), Qt::LocalTime);
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
    const QString archive = dir.filePath(QStringLiteral("dated.zip"));
    ASSERT_TRUE(SSZipArchive::createZipFileAtPath(archive, {file}));
    const QString out = dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(SSZipArchive::unzipFileAtPath(archive, out));
    EXPECT_EQ(QFileInfo(QDir(out).filePath(QStringLiteral("dated.txt"))).lastModified(), when);
}

TEST(SSZipArchiveTest, writeDataRefusesUnsafeNamesAndEmptyBytes)
{
    QTemporaryDir dir;
    SSZipArchive archive(dir.filePath(QStringLiteral("w.zip")));
    EXPECT_FALSE(archive.writeData("x", QStringLiteral("a.txt"))) << "no archive is open yet";
    ASSERT_TRUE(archive.open());
    EXPECT_FALSE(archive.writeData("x", QStringLiteral("/etc/passwd")));
    EXPECT_FALSE(archive.writeData("x", QStringLiteral("../escape.txt")));
    EXPECT_FALSE(archive.writeData("x", QStringLiteral("a/../../escape.txt")));
    EXPECT_FALSE(archive.writeData("x", QStringLiteral("C:\\escape.txt")));
    EXPECT_FALSE(archive.writeData(QByteArray(), QStringLiteral("empty.txt")));
    // Cut short at its NUL, the name would be "..".
    EXPECT_FALSE(archive.writeData("x", QStringLiteral("..") + QChar(0) + QStringLiteral("/name.txt")));
    EXPECT_TRUE(archive.writeData("x", QStringLiteral("fine/..name.txt")));
    // The format keeps a name's length in two bytes: a longer name cannot be written.
    EXPECT_FALSE(archive.writeData("x", QString(70000, QLatin1Char('n'))));
    EXPECT_TRUE(archive.close());
}

TEST(SSZipArchiveTest, aFileThatCannotBeReadFailsTheWrite)
{
    // A backup whose outline went missing must never be reported as made.
    QTemporaryDir dir;
    SSZipArchive archive(dir.filePath(QStringLiteral("w.zip")));
    ASSERT_TRUE(archive.open());
    EXPECT_FALSE(archive.writeFile(QStringLiteral("content.opml"), dir.path()));
    ASSERT_NO_FATAL_FAILURE(writeFile(dir.filePath(QStringLiteral("content.opml")), "<opml/>"));
    EXPECT_TRUE(archive.writeFile(QStringLiteral("content.opml"), dir.path()));
    EXPECT_TRUE(archive.close());
}

TEST(SSZipArchiveTest, aFileTheArchiveCannotTakeFailsTheWrite)
{
    // A full disk must not pass for a backup made.
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full here";
    QTemporaryDir dir;
    // Bytes deflate cannot shrink, more than the writer holds before it hands them to the file.
    QByteArray noise(256 * 1024, '\0');
    quint32 state = 12345;
    for (char& byte : noise) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 24);
    }
    ASSERT_NO_FATAL_FAILURE(writeFile(dir.filePath(QStringLiteral("noise.bin")), noise));
    SSZipArchive archive(QStringLiteral("/dev/full"));
    ASSERT_TRUE(archive.open());
    EXPECT_FALSE(archive.writeFile(QStringLiteral("noise.bin"), dir.path()));
    archive.close();
}

TEST(SSZipArchiveTest, unpackingRefusesAnArchiveWithAnEscapingNameBeforeWritingAnything)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("evil.zip"));
    ASSERT_NO_FATAL_FAILURE(rawZip(archive, {{"first.txt", "ok"}, {"../outside.txt", "evil"}, {"/abs.txt", "evil"}}));
    const QString out = dir.filePath(QStringLiteral("out/inner"));
    SSZipArchive::Error error;
    EXPECT_FALSE(SSZipArchive::unzipFileAtPath(archive, out, true, QString(), &error));
    EXPECT_EQ(error.code, SSZipArchive::UnsafeEntryCode);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("out/outside.txt"))));
    EXPECT_FALSE(QFileInfo::exists(QDir(out).filePath(QStringLiteral("first.txt"))));
}

TEST(SSZipArchiveTest, backslashNamesUnpackLikeSlashNames)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("win.zip"));
    ASSERT_NO_FATAL_FAILURE(rawZip(archive, {{"folder\\sub\\file.txt", "deep"}}));
    const QString out = dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(SSZipArchive::unzipFileAtPath(archive, out));
    EXPECT_EQ(readFile(QDir(out).filePath(QStringLiteral("folder/sub/file.txt"))), "deep");
}

TEST(SSZipArchiveTest, unpackingWithoutOverwriteKeepsAnExistingFileAndGoesOn)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("two.zip"));
    ASSERT_NO_FATAL_FAILURE(rawZip(archive, {{"keep.txt", "new"}, {"add.txt", "added"}}));
    const QString out = dir.filePath(QStringLiteral("out"));
    ASSERT_NO_FATAL_FAILURE(writeFile(QDir(out).filePath(QStringLiteral("keep.txt")), "old"));
    ASSERT_TRUE(SSZipArchive::unzipFileAtPath(archive, out, false, QString(), nullptr));
    EXPECT_EQ(readFile(QDir(out).filePath(QStringLiteral("keep.txt"))), "old");
    EXPECT_EQ(readFile(QDir(out).filePath(QStringLiteral("add.txt"))), "added");
}

TEST(SSZipArchiveTest, aFileThatIsNoArchiveFailsWithCodeMinusOne)
{
    QTemporaryDir dir;
    const QString notZip = dir.filePath(QStringLiteral("plain.zip"));
    ASSERT_NO_FATAL_FAILURE(writeFile(notZip, "this is not a zip archive at all"));
    SSZipArchive::Error error;
    EXPECT_FALSE(SSZipArchive::unzipFileAtPath(notZip, dir.filePath(QStringLiteral("out")), true, QString(), &error));
    EXPECT_EQ(error.code, SSZipArchive::OpenFailedCode);
    EXPECT_EQ(error.domain, SSZipArchive::ErrorDomain);
}

TEST(SSZipArchiveTest, anArchiveWhoseFirstEntryHeaderIsDamagedFailsWithTheFirstFileCode)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("damaged.zip"));
    ASSERT_NO_FATAL_FAILURE(rawZip(archive, {{"a.txt", "alpha"}}));
    // The end record still opens the archive; the central header it points at is no header.
    QByteArray bytes = readFile(archive);
    const qsizetype header = bytes.indexOf(QByteArray("PK\x01\x02", 4));
    ASSERT_GT(header, 0);
    bytes[header + 2] = '\x09';
    ASSERT_NO_FATAL_FAILURE(writeFile(archive, bytes));
    SSZipArchive::Error error;
    EXPECT_FALSE(SSZipArchive::unzipFileAtPath(archive, dir.filePath(QStringLiteral("out")), true, QString(), &error));
    EXPECT_EQ(error.code, SSZipArchive::FirstFileFailedCode);
    EXPECT_EQ(error.domain, SSZipArchive::ErrorDomain);
    error = {};
    EXPECT_FALSE(SSZipArchive::extractEntries(archive, {QStringLiteral("a.txt")}, dir.path(), {}, &error));
    EXPECT_EQ(error.code, SSZipArchive::FirstFileFailedCode);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("a.txt"))));
}

TEST(SSZipArchiveTest, anArchiveBeyondTheByteLimitIsRefused)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("big.zip"));
    ASSERT_NO_FATAL_FAILURE(rawZip(archive, {{"zeros.bin", QByteArray(100000, '\0')}}));
    SSZipArchive::Limits limits;
    limits.maxTotalBytes = 99999;
    SSZipArchive::Error error;
    EXPECT_FALSE(
        SSZipArchive::unzipFileAtPath(archive, dir.filePath(QStringLiteral("out")), true, QString(), &error, limits));
    EXPECT_EQ(error.code, SSZipArchive::TooLargeCode);
    limits.maxTotalBytes = 100000;
    EXPECT_TRUE(
        SSZipArchive::unzipFileAtPath(archive, dir.filePath(QStringLiteral("out")), true, QString(), &error, limits));
}

TEST(SSZipArchiveTest, namedEntriesAddingUpToExactlyTheByteLimitAreExtracted)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("two.zip"));
    ASSERT_NO_FATAL_FAILURE(rawZip(archive, {{"a.bin", QByteArray(60000, 'a')}, {"b.bin", QByteArray(40000, 'b')}}));
    const QStringList names = {QStringLiteral("a.bin"), QStringLiteral("b.bin")};
    SSZipArchive::Limits limits;
    limits.maxTotalBytes = 100000;
    SSZipArchive::Error error;
    EXPECT_TRUE(SSZipArchive::extractEntries(archive, names, dir.path(), limits, &error)) << error.code;
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("b.bin"))), QByteArray(40000, 'b'));
    limits.maxTotalBytes = 99999;
    const QString refused = dir.filePath(QStringLiteral("refused"));
    QDir().mkpath(refused);
    EXPECT_FALSE(SSZipArchive::extractEntries(archive, names, refused, limits, &error));
    EXPECT_EQ(error.code, SSZipArchive::TooLargeCode);
    EXPECT_TRUE(QDir(refused).isEmpty());
}

TEST(SSZipArchiveTest, anArchiveWithExactlyTheAllowedNumberOfEntriesUnpacksAndOneMoreIsRefused)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("three.zip"));
    ASSERT_NO_FATAL_FAILURE(rawZip(archive, {{"a.txt", "alpha"}, {"b.txt", "beta"}, {"c.txt", "gamma"}}));
    const QStringList names = {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")};
    SSZipArchive::Limits limits;
    limits.maxEntries = 3;
    SSZipArchive::Error error;
    const QString whole = dir.filePath(QStringLiteral("whole"));
    EXPECT_TRUE(SSZipArchive::unzipFileAtPath(archive, whole, true, QString(), &error, limits));
    EXPECT_EQ(readFile(whole + QStringLiteral("/c.txt")), QByteArray("gamma"));
    const QString named = dir.filePath(QStringLiteral("named"));
    QDir().mkpath(named);
    EXPECT_TRUE(SSZipArchive::extractEntries(archive, names, named, limits, &error));
    EXPECT_EQ(readFile(named + QStringLiteral("/a.txt")), QByteArray("alpha"));

    limits.maxEntries = 2;
    const QString refused = dir.filePath(QStringLiteral("refused"));
    EXPECT_FALSE(SSZipArchive::unzipFileAtPath(archive, refused, true, QString(), &error, limits));
    EXPECT_EQ(error.code, SSZipArchive::TooLargeCode);
    EXPECT_FALSE(QFileInfo::exists(refused + QStringLiteral("/a.txt")));
    error = {};
    QDir().mkpath(refused);
    EXPECT_FALSE(SSZipArchive::extractEntries(archive, {QStringLiteral("a.txt")}, refused, limits, &error));
    EXPECT_EQ(error.code, SSZipArchive::TooLargeCode);
    EXPECT_TRUE(QDir(refused).isEmpty());
}

TEST(SSZipArchiveTest, aLinkCycleInAPackedFolderEndsTheWalk)
{
    QTemporaryDir dir;
    ASSERT_NO_FATAL_FAILURE(writeFile(dir.filePath(QStringLiteral("loop/a.txt")), "a"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("loop")), dir.filePath(QStringLiteral("loop/again"))));
    const QString archive = dir.filePath(QStringLiteral("loop.zip"));
    ASSERT_TRUE(SSZipArchive::createZipFileAtPath(archive, {dir.filePath(QStringLiteral("loop"))}));
    // Every file of the folder could be read: the folder met again is no failure.
    SSZipArchive direct(dir.filePath(QStringLiteral("direct.zip")));
    ASSERT_TRUE(direct.open());
    EXPECT_TRUE(direct.writeFile(QStringLiteral("loop"), dir.path()));
    EXPECT_TRUE(direct.close());
    REQUIRE_TOOL("unzip");
    const auto test = ExternalTools::run(QStringLiteral("unzip"), {QStringLiteral("-t"), archive});
    EXPECT_EQ(test.exitCode, 0) << test.out.toStdString();
}

TEST(SSZipArchiveTest, aNameThatLooksLikeAResourcePathStaysInsideTheDestination)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("colon.zip"));
    ASSERT_NO_FATAL_FAILURE(rawZip(archive, {{":escape.txt", "inside"}}));
    const QString out = dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(SSZipArchive::unzipFileAtPath(archive, out));
    EXPECT_EQ(readFile(out + QStringLiteral("/:escape.txt")), "inside");
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral(":escape.txt")));
    QFile::remove(QStringLiteral(":escape.txt"));
}

TEST(SSZipArchiveTest, extractingNamedEntriesWritesOnlyThemAndRefusesAMissingOne)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    ASSERT_NO_FATAL_FAILURE(rawZip(archive, {{"a.txt", "alpha"}, {"b.txt", "beta"}, {"dir/c.txt", "gamma"}}));
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    SSZipArchive::Error error;
    ASSERT_TRUE(
        SSZipArchive::extractEntries(archive, {QStringLiteral("a.txt"), QStringLiteral("b.txt")}, out, {}, &error));
    EXPECT_EQ(readFile(out + QStringLiteral("/a.txt")), QByteArray("alpha"));
    EXPECT_EQ(readFile(out + QStringLiteral("/b.txt")), QByteArray("beta"));
    EXPECT_EQ(QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2);

    const QString second = dir.filePath(QStringLiteral("second"));
    QDir().mkpath(second);
    EXPECT_FALSE(SSZipArchive::extractEntries(archive, {QStringLiteral("a.txt"), QStringLiteral("missing.txt")}, second,
                                              {}, &error));
    EXPECT_EQ(error.code, SSZipArchive::MissingEntryCode);
    EXPECT_TRUE(QDir(second).isEmpty());
}

TEST(SSZipArchiveTest, extractingAnEntryWhoseBytesNoLongerMatchItsCrcFails)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("stored.zip"));
    zipFile zip = zipOpen64(QFile::encodeName(archive).constData(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    zip_fileinfo info{};
    // Stored without compression, so one byte of the entry can be changed in place.
    ASSERT_EQ(zipOpenNewFileInZip64(zip, "member.txt", &info, nullptr, 0, nullptr, 0, nullptr, 0, 0, 0), ZIP_OK);
    zipWriteInFileInZip(zip, "UNIQUE-PAYLOAD-0123456789", 25);
    zipCloseFileInZip(zip);
    zipClose(zip, nullptr);
    QByteArray bytes = readFile(archive);
    const qsizetype at = bytes.indexOf("PAYLOAD");
    ASSERT_GT(at, 0);
    bytes[at] = 'X';
    QFile file(archive);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    SSZipArchive::Error error;
    EXPECT_FALSE(SSZipArchive::extractEntries(archive, {QStringLiteral("member.txt")}, dir.path(), {}, &error));
    EXPECT_EQ(error.code, SSZipArchive::DamagedEntryCode);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("member.txt"))));
}

TEST(SSZipArchiveTest, aRefusedExtractionLeavesTheArchiveClosed)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    ASSERT_NO_FATAL_FAILURE(rawZip(archive, {{"a.txt", "alpha"}}));
    ASSERT_EQ(openHandlesOn(archive), 0);
    SSZipArchive::Error error;
    EXPECT_FALSE(SSZipArchive::extractEntries(archive, {QStringLiteral("missing.txt")}, dir.path(), {}, &error));
    EXPECT_EQ(error.code, SSZipArchive::MissingEntryCode);
    EXPECT_EQ(openHandlesOn(archive), 0) << "a refused archive must not stay open until the program ends";
    SSZipArchive::Limits none;
    none.maxEntries = 0;
    EXPECT_FALSE(
        SSZipArchive::unzipFileAtPath(archive, dir.filePath(QStringLiteral("out")), true, QString(), &error, none));
    EXPECT_EQ(error.code, SSZipArchive::TooLargeCode);
    EXPECT_EQ(openHandlesOn(archive), 0);
}

TEST(SSZipArchiveTest, unpackingStopsAtAnEntryThatCannotBeOpenedAfterWritingThoseBeforeIt)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("three.zip"));
    ASSERT_NO_FATAL_FAILURE(rawZip(archive, {{"a.txt", "alpha"}, {"b.txt", "beta"}, {"c.txt", "gamma"}}));
    // The second entry's own header is no header; the directory at the end still lists it.
    QByteArray bytes = readFile(archive);
    const qsizetype second = bytes.indexOf(QByteArray("PK\x03\x04", 4), 1);
    ASSERT_GT(second, 0);
    bytes[second + 2] = '\x09';
    ASSERT_NO_FATAL_FAILURE(writeFile(archive, bytes));
    for (const bool overwrite : {true, false}) {
        const QString out = dir.filePath(overwrite ? QStringLiteral("over") : QStringLiteral("kept"));
        EXPECT_FALSE(SSZipArchive::unzipFileAtPath(archive, out, overwrite, QString(), nullptr));
        EXPECT_EQ(readFile(out + QStringLiteral("/a.txt")), QByteArray("alpha"));
        EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/b.txt")));
        EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/c.txt"))) << overwrite;
    }
}

TEST(SSZipArchiveTest, anEntryWhoseNameRunsPastTheFilesEndStopsTheUnpackingWithoutAnError)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("cut.zip"));
    ASSERT_NO_FATAL_FAILURE(rawZip(archive, {{"a.txt", "alpha"}, {"b.txt", "beta"}}));
    // The last directory entry claims a name longer than the bytes left in the file.
    QByteArray bytes = readFile(archive);
    const qsizetype last = bytes.lastIndexOf(QByteArray("PK\x01\x02", 4));
    ASSERT_GT(last, 0);
    bytes[last + 28] = '\xA0';
    bytes[last + 29] = '\x0F';
    ASSERT_NO_FATAL_FAILURE(writeFile(archive, bytes));
    const QString out = dir.filePath(QStringLiteral("out"));
    SSZipArchive::Error error;
    EXPECT_FALSE(SSZipArchive::unzipFileAtPath(archive, out, true, QString(), &error));
    EXPECT_EQ(readFile(out + QStringLiteral("/a.txt")), QByteArray("alpha"));
    EXPECT_EQ(error.code, 0);
    EXPECT_TRUE(error.description.isEmpty());
}
