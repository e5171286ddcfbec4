#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// How every file written for the writer reaches its place: built under a temporary name beside the target (or
// in a private temporary folder) and renamed into place only once complete, so a failed or interrupted export
// leaves whatever was there before untouched. The user's Documents and Downloads folders are never used as
// work folders.
class ExportStaging {
public:
    // How many names a copy tries before giving up on a folder that holds them all.
    static constexpr int MaxFreeNameAttempts = 10000;

    // Writes data to target through a temporary file beside it.
    static bool writeFile(const QString& target, const QByteArray& data);
    // Lets produce write a file at the staged path it is given, then renames that file onto target.
    static bool produceFile(const QString& target, const std::function<bool(const QString& staged)>& produce);
    // Lets fill build a folder at the staged path it is given, then puts that folder at target (replacing a
    // folder the caller chose to replace only once the new one is whole).
    static bool produceFolder(const QString& target, const std::function<bool(const QString& staged)>& fill);

    // Copies the file or folder at source to target through a staged copy beside target.
    static bool copyInto(const QString& source, const QString& target);

    // Puts a copy of the file or folder at source into folder under the first free name freeFileName gives,
    // never over a file that appeared meanwhile; answers the path, or nullopt when nothing could be placed.
    static std::optional<QString> placeUnderFreeName(const QString& source, const QString& folder,
                                                     const QString& baseName, const QString& extension);

    // folder/baseName.extension, or "baseName 2.extension", "baseName 3.extension"... when that name is taken,
    // up to "baseName <MaxFreeNameAttempts - 1>.extension", which it answers even when taken.
    static QString freeFileName(const QString& folder, const QString& baseName, const QString& extension);
    // A new private folder for one export's files, under the application's data folder; empty on failure.
    static QString privateExportFolder();
    // The user's Downloads folder, created when missing; nullopt when there is none.
    static std::optional<QString> downloadsFolder();

private:
    static QString stagedPathBeside(const QString& target);
    static bool copyFile(const QString& source, const QString& target);
    static bool copyFolder(const QString& source, const QString& target);
};
