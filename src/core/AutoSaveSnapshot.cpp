#include "AutoSaveSnapshot.h"

#include "AutoSaveController.h"
#include "platform/archive/ArchiveObject.h"
#include "platform/archive/KeyedArchiver.h"
#include "platform/archive/KeyedUnarchiver.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QVariant>

namespace {

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

ArchiveRef archiveValue(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return ArchiveObject::string(value.toString());
    case QMetaType::QByteArray:
        return ArchiveObject::data(value.toByteArray());
    case QMetaType::Bool:
        return ArchiveObject::boolean(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return ArchiveObject::integer(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return ArchiveObject::real(value.toDouble());
    case QMetaType::QDateTime:
        return ArchiveObject::date(value.toDateTime());
    default:
        return nullptr;
    }
}

} // namespace

QByteArray AutoSaveSnapshot::encode(const QVariantMap& snapshot)
{
    QList<std::pair<QString, ArchiveRef>> entries;
    for (auto it = snapshot.cbegin(); it != snapshot.cend(); ++it) {
        if (ArchiveRef value = archiveValue(it.value()))
            entries.append({it.key(), std::move(value)});
    }
    return KeyedArchiver::archive(ArchiveObject::dictionary(entries));
}

std::optional<QVariantMap> AutoSaveSnapshot::decode(const QByteArray& bytes)
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

bool AutoSaveSnapshot::isRecoverable(const QVariantMap& snapshot)
{
    const QVariant projectId = snapshot.value(AutoSaveController::kProjectIdKey);
    const QVariant content = snapshot.value(AutoSaveController::kContentKey);
    return projectId.typeId() == QMetaType::QString && !projectId.toString().isEmpty() &&
           content.typeId() == QMetaType::QByteArray && !content.toByteArray().isEmpty();
}

std::optional<QVariantMap> AutoSaveSnapshot::read(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Read what the file held when opened, never more than the cap: a read of the cap itself would
    // reserve the whole cap in memory for every snapshot.
    const qint64 size = file.size();
    if (size > MaxSnapshotBytes)
        return std::nullopt;
    const QByteArray bytes = file.read(size);
    if (bytes.size() != size)
        return std::nullopt;
    return decode(bytes);
}

bool AutoSaveSnapshot::write(const QString& path, const QVariantMap& snapshot)
{
    const QByteArray bytes = encode(snapshot);
    if (bytes.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath())) {
        qWarning().noquote() << "Could not write the autosave snapshot" << path;
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        qWarning().noquote() << "Could not write the autosave snapshot" << path << file.errorString();
        return false;
    }
    return true;
}
