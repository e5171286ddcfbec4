#include "AutoSaveController.h"

#include "platform/archive/ArchiveObject.h"
#include "platform/archive/KeyedUnarchiver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QVariant>

namespace {

// Project identifiers are UUID strings; anything that could climb out of the snapshot folder or name a
// hidden file is refused rather than used as a path.
bool isPlainFileName(const QString& projectId)
{
    if (projectId.isEmpty() || projectId.startsWith(u'.'))
        return false;
    return !projectId.contains(u'/') && !projectId.contains(u'\\') && !projectId.contains(QChar(0));
}

// What a snapshot dictionary is made of: its values are texts, numbers, dates and the body's bytes.
QSet<QString> snapshotClasses()
{
    return {QStringLiteral("NSDictionary"), QStringLiteral("NSMutableDictionary"),
            QStringLiteral("NSString"),     QStringLiteral("NSMutableString"),
            QStringLiteral("NSNumber"),     QStringLiteral("NSDate"),
            QStringLiteral("NSData"),       QStringLiteral("NSMutableData")};
}

std::optional<QVariant> snapshotValue(const ArchiveObject& value)
{
    switch (value.kind()) {
    case ArchiveObject::Kind::Boolean:
        return QVariant(value.toBool());
    case ArchiveObject::Kind::Integer:
        return QVariant(value.toInteger());
    case ArchiveObject::Kind::Real:
        return QVariant(value.toReal());
    case ArchiveObject::Kind::String:
        return QVariant(value.toString());
    case ArchiveObject::Kind::Data:
        return QVariant(value.toData());
    case ArchiveObject::Kind::Date:
        return QVariant(value.toDate());
    default:
        return std::nullopt;
    }
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
    const UnarchiveResult result = KeyedUnarchiver::unarchive(bytes, snapshotClasses());
    if (!result.ok() || result.root->kind() != ArchiveObject::Kind::Dictionary)
        return std::nullopt;
    QVariantMap snapshot;
    for (const auto& [key, value] : result.root->entries()) {
        if (!key || key->kind() != ArchiveObject::Kind::String || !value)
            continue;
        // A value of a kind no reader of the snapshot asks for is left out rather than failing the snapshot.
        if (const std::optional<QVariant> converted = snapshotValue(*value))
            snapshot.insert(key->toString(), *converted);
    }
    return snapshot;
}

void AutoSaveController::startSaveTimer(const QString& projectId, bool isSecondary,
                                        std::function<QVariantMap()> getData)
{
    m_projectId = projectId;
    m_isSecondary = isSecondary;
    m_getData = std::move(getData);
}

void AutoSaveController::stopSaveTimer()
{
    m_getData = nullptr;
}

void AutoSaveController::teardown()
{
    stopSaveTimer();
}

void AutoSaveController::removeSnapshot()
{
    if (!m_projectId.isEmpty())
        deleteAutoSaveWithProjectId(m_projectId, m_isSecondary);
}
