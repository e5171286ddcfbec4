#include "AutoSaveController.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Project identifiers are UUID strings; anything that could climb out of the snapshot folder or name a
// hidden file is refused rather than used as a path.
bool isPlainFileName(const QString& projectId)
{
    if (projectId.isEmpty() || projectId.startsWith(u'.'))
        return false;
    return !projectId.contains(u'/') && !projectId.contains(u'\\') && !projectId.contains(QChar(0));
}

} // namespace

QString AutoSaveController::autoSaveDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Documents");
}

std::optional<QString> AutoSaveController::autoSavePath(const QString& projectId, bool forSecondary)
{
    if (!isPlainFileName(projectId))
        return std::nullopt;
    return autoSaveDirectory() + u'/' + projectId + (forSecondary ? SecondarySuffix : PrimarySuffix);
}

bool AutoSaveController::autoSaveExists(const QString& projectId, bool forSecondary)
{
    const std::optional<QString> path = autoSavePath(projectId, forSecondary);
    return path && QFileInfo(*path).isFile();
}

std::optional<QVariantMap> AutoSaveController::hasAutoSaveWithProjectId(const QString& projectId, bool forSecondary)
{
    const std::optional<QString> path = autoSavePath(projectId, forSecondary);
    if (!path)
        return std::nullopt;
    if (!forSecondary && !QFileInfo::exists(*path) && autoSaveExists(projectId, true)) {
        // The secondary editor's work outlived it: the full editor recovers it as its own.
        QFile::rename(*autoSavePath(projectId, true), *path);
    }
    const std::optional<QByteArray> bytes = readSnapshotBytes(*path);
    if (!bytes)
        return std::nullopt;
    return decodeSnapshot(*bytes);
}

void AutoSaveController::deleteAutoSaveWithProjectId(const QString& projectId, bool forSecondary)
{
    if (const std::optional<QString> path = autoSavePath(projectId, forSecondary))
        QFile::remove(*path);
}

std::optional<QByteArray> AutoSaveController::readSnapshotBytes(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Read what the file held when opened, never more than the cap: a read of the cap itself would
    // reserve the whole cap in memory for every snapshot.
    const qint64 size = file.size();
    if (size > MaxSnapshotBytes)
        return std::nullopt;
    QByteArray bytes = file.read(size);
    if (bytes.size() != size)
        return std::nullopt;
    return bytes;
}

std::optional<QVariantMap> AutoSaveController::decodeSnapshot(const QByteArray& bytes)
{
    // Snapshots are keyed archives, whose reader is not part of this build yet; until it is linked in, every
    // snapshot reads as unreadable, which callers treat like no snapshot at all.
    Q_UNUSED(bytes);
    return std::nullopt;
}
