#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>
#include <optional>

// One snapshot file: a keyed archive whose root is a dictionary from text keys to texts, numbers, dates and
// bytes. Reading never trusts the file (its size is capped and only those classes are accepted); writing
// replaces the file atomically, so a crash mid-write leaves the previous snapshot whole.
class AutoSaveSnapshot {
public:
    // A snapshot holds one card; anything larger is not one of ours and is not read into memory.
    static constexpr qint64 MaxSnapshotBytes = qint64(256) * 1024 * 1024;

    // The archive of the snapshot; values of kinds a snapshot never holds are left out. Empty on failure.
    static QByteArray encode(const QVariantMap& snapshot);
    // The dictionary of an archive, or nullopt when the bytes are no snapshot dictionary.
    static std::optional<QVariantMap> decode(const QByteArray& bytes);
    // Only a snapshot naming its project and holding a body can give a writer's words back.
    static bool isRecoverable(const QVariantMap& snapshot);

    // The snapshot in the file, or nullopt when it is missing, too large or unreadable.
    static std::optional<QVariantMap> read(const QString& path);
    // Writes the snapshot to a temporary file beside path and renames it over path; false when nothing changed.
    static bool write(const QString& path, const QVariantMap& snapshot);
};
