#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <optional>

// The editors' unsaved-work snapshots: one file per project and editor ("<projectId>_primary" or
// "<projectId>_secondary") in the application's Documents folder under AppDataLocation.
class AutoSaveController {
public:
    // Keys of a snapshot dictionary.
    static inline const QString kProjectIdKey = QStringLiteral("projectId");
    static inline const QString kParentItemIdKey = QStringLiteral("parentItemId");
    static inline const QString kProjectItemIdKey = QStringLiteral("projectItemId");
    static inline const QString kTitleKey = QStringLiteral("title");
    static inline const QString kNotesKey = QStringLiteral("notes");
    static inline const QString kTagKey = QStringLiteral("tag");
    static inline const QString kContentKey = QStringLiteral("content");
    static inline const QString kMimeTypeKey = QStringLiteral("mimetype");
    static inline const QString kItemTypeKey = QStringLiteral("itemType");
    static inline const QString kItemFormatKey = QStringLiteral("itemFormat");
    static inline const QString kItemSaveDateKey = QStringLiteral("saveDate");

    static inline const QString PrimarySuffix = QStringLiteral("_primary");
    static inline const QString SecondarySuffix = QStringLiteral("_secondary");
    // A snapshot holds one card; anything larger is not one of ours and is not read into memory.
    static constexpr qint64 MaxSnapshotBytes = qint64(256) * 1024 * 1024;

    // The snapshot of the editor for the project, or nullopt when there is none or it cannot be read.
    // Asked for the primary snapshot while only the secondary exists, it takes the secondary over first.
    static std::optional<QVariantMap> hasAutoSaveWithProjectId(const QString& projectId, bool forSecondary);
    // Removes the editor's snapshot file for the project, if any.
    static void deleteAutoSaveWithProjectId(const QString& projectId, bool forSecondary);

    // The folder holding the snapshots.
    static QString autoSaveDirectory();
    // The snapshot file's path, or nullopt for an identifier that is not a plain file name.
    static std::optional<QString> autoSavePath(const QString& projectId, bool forSecondary);
    static bool autoSaveExists(const QString& projectId, bool forSecondary);

    // Snapshots of one editor every 10 s while autoSave is set; getData gathers on the GUI thread.
    void startSaveTimer(const QString& projectId, bool isSecondary, std::function<QVariantMap()> getData);
    // The editor sets it on every change.
    void setAutoSave(bool autoSave) { m_autoSave = autoSave; }
    bool autoSave() const { return m_autoSave; }
    // Stop the ticks; the snapshot file stays.
    void stopSaveTimer();
    void teardown();
    // Deletes this editor's snapshot, after any write already queued.
    void removeSnapshot();

private:
    static std::optional<QByteArray> readSnapshotBytes(const QString& path);
    static std::optional<QVariantMap> decodeSnapshot(const QByteArray& bytes);

    QString m_projectId;
    bool m_isSecondary = false;
    bool m_autoSave = false;
    std::function<QVariantMap()> m_getData;
};
