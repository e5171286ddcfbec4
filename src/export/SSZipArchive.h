#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

// A zip archive over minizip (64-bit calls, deflate at zlib's default level). Packing never writes an entry
// name that is absolute or climbs out with "..", and walks folders with a visited set so that a link cycle
// ends. Unpacking checks every entry name before it writes anything, so a hostile archive cannot place a file
// outside its destination, and bounds the number of entries and the bytes it will write.
class SSZipArchive {
public:
    static inline const QString ErrorDomain = QStringLiteral("SSZipArchiveErrorDomain");
    static constexpr int OpenFailedCode = -1;
    static constexpr int FirstFileFailedCode = -2;
    static constexpr int UnsafeEntryCode = -3;
    static constexpr int TooLargeCode = -4;
    static inline const QString OpenFailedMessage = QStringLiteral("failed to open zip file");
    static inline const QString FirstFileFailedMessage = QStringLiteral("failed to open first file in zip file");
    static inline const QString UnsafeEntryMessage = QStringLiteral("zip entry name leads outside the destination");
    static inline const QString TooLargeMessage = QStringLiteral("zip file holds more than can be unpacked");
    static constexpr int MissingEntryCode = -5;
    static constexpr int DamagedEntryCode = -6;
    static inline const QString MissingEntryMessage = QStringLiteral("zip file lacks an entry it must hold");
    static inline const QString DamagedEntryMessage = QStringLiteral("zip entry is damaged");

    struct Error {
        QString domain;
        int code = 0;
        QString description;
    };

    // Limits of one unpacking; an archive beyond them is refused before anything is written.
    struct Limits {
        qint64 maxEntries = 100000;
        qint64 maxTotalBytes = qint64(8) * 1024 * 1024 * 1024;
    };

    static bool unzipFileAtPath(const QString& path, const QString& destination);
    // True when every entry was processed. error (when given) is set for the archive-level failures.
    static bool unzipFileAtPath(const QString& path, const QString& destination, bool overwrite,
                                const QString& password, Error* error);
    static bool unzipFileAtPath(const QString& path, const QString& destination, bool overwrite,
                                const QString& password, Error* error, const Limits& limits);
    // Unpacks only the named top-level entries, each into destination under its own name, after the whole
    // archive passed the checks of unzipFileAtPath. Bytes are counted as they are inflated (sizes the archive
    // declares are not trusted) and every entry's CRC is checked. False, with error set, when a named entry is
    // missing, damaged or past the limits; files already written are then removed.
    static bool extractEntries(const QString& path, const QStringList& names, const QString& destination,
                               const Limits& limits, Error* error);
    // Each path is stored under its last component, folders with their whole contents.
    static bool createZipFileAtPath(const QString& path, const QStringList& paths);

    // Whether an entry name is relative, non-empty and never climbs above its root.
    static bool isSafeEntryName(const QString& name);

    explicit SSZipArchive(const QString& path);
    ~SSZipArchive();
    SSZipArchive(const SSZipArchive&) = delete;
    SSZipArchive& operator=(const SSZipArchive&) = delete;

    // Creates the archive file (an existing file at the path is replaced).
    bool open();
    // Adds the file or folder tree at basePath/relativePath under relativePath; true when every file was read.
    bool writeFile(const QString& relativePath, const QString& basePath);
    // zlib's default level; FastestLevel suits bytes already compressed (PNG), which deflate cannot shrink, and
    // StoredLevel copies them as they are.
    static constexpr int DefaultLevel = -1;
    static constexpr int FastestLevel = 1;
    static constexpr int StoredLevel = 0;

    // Adds one entry from memory, dated now; false without an archive, without bytes or with an unsafe name.
    bool writeData(const QByteArray& data, const QString& filename, int level = DefaultLevel);
    bool close();

private:
    bool writeFolder(const QString& relativePath, const QString& fullPath);
    bool openEntry(const QString& name, const QDateTime& modified, bool large = false, int level = DefaultLevel);
    bool writeRegularFile(const QString& relativePath, const QString& fullPath);

    QString m_path;
    void* m_zip = nullptr;
    // Canonical paths of the folders entered by the current walk.
    QSet<QString> m_visited;
};
