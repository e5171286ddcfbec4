#include "SSZipArchive.h"

#include "FilePaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <unzip.h>
#include <zip.h>
#include <zlib.h>

namespace {

constexpr qint64 PackChunk = 16384;
constexpr qint64 UnpackChunk = 4096;
constexpr int MemoryLevel = 8;
// Entry names are UTF-8: general-purpose flag bit 11 tells readers so.
constexpr uLong Utf8NameFlag = 1 << 11;
constexpr qint64 Zip64Threshold = 0xFFFFFFFFLL;
// Longest entry name read back; minizip needs a fixed buffer.
constexpr int MaxNameBytes = 4096;

zip_fileinfo fileInfo(const QDateTime& when)
{
    zip_fileinfo info{};
    if (when.isValid()) {
        const QDateTime local = when.toLocalTime();
        info.tmz_date.tm_sec = uInt(local.time().second());
        info.tmz_date.tm_min = uInt(local.time().minute());
        info.tmz_date.tm_hour = uInt(local.time().hour());
        info.tmz_date.tm_mday = uInt(local.date().day());
        info.tmz_date.tm_mon = uInt(local.date().month() - 1);
        info.tmz_date.tm_year = uInt(local.date().year());
    }
    return info;
}

QDateTime dateOf(const unz_file_info64& info)
{
    const tm_unz& d = info.tmu_date;
    const QDate date(int(d.tm_year), int(d.tm_mon) + 1, int(d.tm_mday));
    const QTime time(int(d.tm_hour), int(d.tm_min), int(d.tm_sec));
    return QDateTime(date, time, Qt::LocalTime);
}

void setError(SSZipArchive::Error* error, int code, const QString& description)
{
    if (error)
        *error = {SSZipArchive::ErrorDomain, code, description};
}

struct EntryInfo {
    QString name;
    unz_file_info64 info{};
};

bool readEntryInfo(unzFile zip, EntryInfo& entry)
{
    QByteArray name(MaxNameBytes, '\0');
    if (unzGetCurrentFileInfo64(zip, &entry.info, name.data(), uLong(name.size()), nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    name.truncate(qsizetype(qMin<quint64>(entry.info.size_filename, MaxNameBytes)));
    entry.name = QString::fromUtf8(name).replace(QLatin1Char('\\'), QLatin1Char('/'));
    return true;
}

// Every name is checked and the sizes the archive declares are summed before any file is written.
bool checkEntries(unzFile zip, SSZipArchive::Error* error, const SSZipArchive::Limits& limits)
{
    qint64 count = 0;
    quint64 total = 0;
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
        EntryInfo entry;
        if (!readEntryInfo(zip, entry))
            break;
        if (!SSZipArchive::isSafeEntryName(entry.name)) {
            setError(error, SSZipArchive::UnsafeEntryCode, SSZipArchive::UnsafeEntryMessage);
            return false;
        }
        total += entry.info.uncompressed_size;
        if (++count > limits.maxEntries || total > quint64(limits.maxTotalBytes)) {
            setError(error, SSZipArchive::TooLargeCode, SSZipArchive::TooLargeMessage);
            return false;
        }
    }
    return true;
}

// Copies the open entry into target; false when the entry's data cannot be read or passes the byte budget.
bool copyEntry(unzFile zip, const QString& target, qint64& budget)
{
    QSaveFile file(target);
    const bool writable = file.open(QIODevice::WriteOnly);
    QByteArray buffer(UnpackChunk, '\0');
    for (;;) {
        const int read = unzReadCurrentFile(zip, buffer.data(), unsigned(buffer.size()));
        if (read < 0)
            return false;
        if (read == 0)
            break;
        budget -= read;
        if (budget < 0)
            return false;
        if (writable)
            file.write(buffer.constData(), read);
    }
    // A file that cannot be created is skipped; the archive goes on.
    if (writable)
        file.commit();
    return true;
}

} // namespace

bool SSZipArchive::isSafeEntryName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
        return false;
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':'))
        return false;
    if (name.contains(QChar(0)))
        return false;
    const QStringList parts = QString(name).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'));
    for (const QString& part : parts) {
        if (part == QLatin1String(".."))
            return false;
    }
    return true;
}

bool SSZipArchive::unzipFileAtPath(const QString& path, const QString& destination)
{
    return unzipFileAtPath(path, destination, true, QString(), nullptr);
}

bool SSZipArchive::unzipFileAtPath(const QString& path, const QString& destination, bool overwrite,
                                   const QString& password, Error* error)
{
    return unzipFileAtPath(path, destination, overwrite, password, error, Limits());
}

bool SSZipArchive::unzipFileAtPath(const QString& path, const QString& destination, bool overwrite,
                                   const QString& password, Error* error, const Limits& limits)
{
    unzFile zip = unzOpen64(QFile::encodeName(path).constData());
    if (!zip) {
        setError(error, OpenFailedCode, OpenFailedMessage);
        return false;
    }
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(zip, &global) != UNZ_OK || unzGoToFirstFile(zip) != UNZ_OK) {
        setError(error, FirstFileFailedCode, FirstFileFailedMessage);
        unzClose(zip);
        return false;
    }
    if (!checkEntries(zip, error, limits)) {
        unzClose(zip);
        return false;
    }
    const QByteArray passwordBytes = password.toLatin1();
    qint64 budget = limits.maxTotalBytes;
    bool success = true;
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
        const int opened = passwordBytes.isEmpty() ? unzOpenCurrentFile(zip)
                                                   : unzOpenCurrentFilePassword(zip, passwordBytes.constData());
        EntryInfo entry;
        if (opened != UNZ_OK || !readEntryInfo(zip, entry)) {
            if (opened == UNZ_OK)
                unzCloseCurrentFile(zip);
            success = false;
            break;
        }
        const bool isFolder = entry.name.endsWith(QLatin1Char('/'));
        const QString target = FilePaths::child(destination, entry.name);
        QDir().mkpath(isFolder ? target : QFileInfo(target).path());
        if (!isFolder && (overwrite || !QFileInfo::exists(target))) {
            if (!copyEntry(zip, target, budget) || unzCloseCurrentFile(zip) != UNZ_OK) {
                unzCloseCurrentFile(zip);
                success = false;
                break;
            }
            const QDateTime modified = dateOf(entry.info);
            if (entry.info.dosDate != 0 && modified.isValid()) {
                QFile written(target);
                if (!written.open(QIODevice::ReadWrite) ||
                    !written.setFileTime(modified, QFileDevice::FileModificationTime))
                    qWarning("Failed to set attributes");
            }
        }
        unzCloseCurrentFile(zip);
    }
    unzClose(zip);
    return success;
}

bool SSZipArchive::extractEntries(const QString& path, const QStringList& names, const QString& destination,
                                  const Limits& limits, Error* error)
{
    unzFile zip = unzOpen64(QFile::encodeName(path).constData());
    if (!zip) {
        setError(error, OpenFailedCode, OpenFailedMessage);
        return false;
    }
    const auto fail = [&](int code, const QString& message, const QStringList& written) {
        setError(error, code, message);
        for (const QString& file : written)
            QFile::remove(file);
        unzClose(zip);
        return false;
    };
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(zip, &global) != UNZ_OK || unzGoToFirstFile(zip) != UNZ_OK)
        return fail(FirstFileFailedCode, FirstFileFailedMessage, {});
    if (global.number_entry > quint64(limits.maxEntries))
        return fail(TooLargeCode, TooLargeMessage, {});
    if (!checkEntries(zip, error, limits)) {
        unzClose(zip);
        return false;
    }
    qint64 budget = limits.maxTotalBytes;
    QStringList written;
    for (const QString& name : names) {
        if (!isSafeEntryName(name) || name.contains(QLatin1Char('/')) ||
            unzLocateFile(zip, name.toUtf8().constData(), 1) != UNZ_OK)
            return fail(MissingEntryCode, MissingEntryMessage, written);
        if (unzOpenCurrentFile(zip) != UNZ_OK)
            return fail(DamagedEntryCode, DamagedEntryMessage, written);
        const QString target = FilePaths::child(destination, name);
        written.append(target);
        const bool copied = copyEntry(zip, target, budget);
        // Closing after the last byte is where the CRC is compared.
        const int closed = unzCloseCurrentFile(zip);
        if (budget < 0)
            return fail(TooLargeCode, TooLargeMessage, written);
        if (!copied || closed != UNZ_OK || !QFileInfo::exists(target))
            return fail(DamagedEntryCode, DamagedEntryMessage, written);
    }
    unzClose(zip);
    return true;
}

bool SSZipArchive::createZipFileAtPath(const QString& path, const QStringList& paths)
{
    SSZipArchive archive(path);
    if (!archive.open())
        return false;
    for (QString item : paths) {
        if (item.endsWith(QLatin1Char('/')))
            item.chop(1);
        const QFileInfo info(item);
        archive.writeFile(info.fileName(), info.path());
    }
    return archive.close();
}

SSZipArchive::SSZipArchive(const QString& path) : m_path(path)
{
}

SSZipArchive::~SSZipArchive()
{
    close();
}

bool SSZipArchive::open()
{
    m_zip = zipOpen64(QFile::encodeName(m_path).constData(), APPEND_STATUS_CREATE);
    return m_zip != nullptr;
}

bool SSZipArchive::writeFile(const QString& relativePath, const QString& basePath)
{
    if (!m_zip || !isSafeEntryName(relativePath))
        return false;
    const QString fullPath = FilePaths::child(basePath, relativePath);
    const QFileInfo info(fullPath);
    if (info.isDir())
        return writeFolder(relativePath, fullPath);
    return writeRegularFile(relativePath, fullPath);
}

bool SSZipArchive::writeFolder(const QString& relativePath, const QString& fullPath)
{
    const QString canonical = QFileInfo(fullPath).canonicalFilePath();
    if (m_visited.contains(canonical))
        return true;
    m_visited.insert(canonical);
    const QStringList names =
        QDir(fullPath).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (names.isEmpty()) {
        const bool added = openEntry(relativePath + QLatin1Char('/'), QFileInfo(fullPath).lastModified());
        if (added)
            zipCloseFileInZip(m_zip);
        return added;
    }
    bool result = true;
    for (const QString& name : names) {
        const QString childRelative = relativePath + QLatin1Char('/') + name;
        const QString childFull = FilePaths::child(fullPath, name);
        result = QFileInfo(childFull).isDir() ? writeFolder(childRelative, childFull)
                                              : writeRegularFile(childRelative, childFull);
        if (!result)
            return false;
    }
    return result;
}

bool SSZipArchive::openEntry(const QString& name, const QDateTime& modified, bool large, int level)
{
    // Only entries that need it get the 64-bit record; smaller ones keep the plain header every reader knows.
    const zip_fileinfo info = fileInfo(modified);
    return zipOpenNewFileInZip4_64(m_zip, name.toUtf8().constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                   level, 0, -MAX_WBITS, MemoryLevel, Z_DEFAULT_STRATEGY, nullptr, 0, 0, Utf8NameFlag,
                                   large ? 1 : 0) == ZIP_OK;
}

bool SSZipArchive::writeRegularFile(const QString& relativePath, const QString& fullPath)
{
    QFile file(fullPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (!openEntry(relativePath, QFileInfo(fullPath).lastModified(), file.size() >= Zip64Threshold))
        return false;
    QByteArray buffer(PackChunk, '\0');
    bool complete = true;
    for (;;) {
        const qint64 read = file.read(buffer.data(), buffer.size());
        if (read < 0)
            complete = false;
        if (read <= 0)
            break;
        if (zipWriteInFileInZip(m_zip, buffer.constData(), unsigned(read)) != ZIP_OK) {
            complete = false;
            break;
        }
    }
    zipCloseFileInZip(m_zip);
    return complete;
}

bool SSZipArchive::writeData(const QByteArray& data, const QString& filename, int level)
{
    if (!m_zip || data.isEmpty() || !isSafeEntryName(filename))
        return false;
    if (!openEntry(filename, QDateTime::currentDateTime(), false, level))
        return false;
    const bool written = zipWriteInFileInZip(m_zip, data.constData(), unsigned(data.size())) == ZIP_OK;
    zipCloseFileInZip(m_zip);
    return written;
}

bool SSZipArchive::close()
{
    if (!m_zip)
        return true;
    const bool closed = zipClose(m_zip, nullptr) == ZIP_OK;
    m_zip = nullptr;
    return closed;
}
