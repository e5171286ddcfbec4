#pragma once

#include "platform/RepeatingTimer.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <optional>

class SerialQueue;

// The editors' unsaved-work snapshots: one file per project and editor ("<projectId>_primary" or
// "<projectId>_secondary") in the application's private Documents folder under AppDataLocation.
//
// An editor owns one controller while it is on screen. Every interval in which the editor changed, the
// controller asks the editor for its snapshot on the GUI thread and hands the write to one process-wide serial
// worker. Every write and delete of a snapshot file, also the board's, runs on that worker in the order it was
// asked for, so a snapshot gathered before a save can never land after the save removed it.
//
// Stopping never deletes a snapshot: the file goes only when the editor reports a successful save or an
// explicit "Discard" through removeSnapshot(), so words recovered from a crash stay protected until then. A
// deferred save keeps it: its opener deletes it once the saved records are in the store file.
//
// A controller writes over or removes only a file that is its editor's: one it found free and wrote itself, or
// one whose words its editor recovered and shows (adoptSnapshot()). A file another card left waiting for the
// writer's word is never touched; this controller's words wait until that file is gone.
//
// Nothing is destroyed that may hold a writer's words: a file the board cannot offer (it cannot be read, or names
// no project or body), or one whose words the editor it was handed to could not show, is kept aside under its name
// followed by AsideSuffix, which the board never offers, and the snapshot's name is free again.
class AutoSaveController : public QObject {
    Q_OBJECT

public:
    using DataProvider = std::function<QVariantMap()>;

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
    // Follows the name of a snapshot file kept aside; a second one kept aside takes "-2", and so on.
    static inline const QString AsideSuffix = QStringLiteral(".unreadable");
    // Seconds between two looks at the editor.
    static constexpr double SaveIntervalSeconds = 10.0;

    explicit AutoSaveController(QObject* parent = nullptr);
    // Stops the ticks; a snapshot already handed to the worker is still written.
    ~AutoSaveController() override;

    // Starts looking at the editor every interval; a tick after a change writes getData()'s snapshot to the
    // file of (projectId, isSecondary). A snapshot without a project or a body is not written. A file found there
    // at the first start for that file is not this controller's; a restart keeps what it knew.
    void startSaveTimer(const QString& projectId, bool isSecondary, DataProvider getData);
    // Stops the ticks and deletes nothing.
    void stopSaveTimer();
    // The same as stopSaveTimer().
    void teardown();
    // Deletes this controller's snapshot file after every write already asked for; the editor calls it after
    // a successful save or an explicit "Discard". Until the next change no further snapshot is written. A file
    // that is not this controller's stays.
    void removeSnapshot();
    // The editor shows the words of the snapshot found on disk: from now on that file is its own.
    void adoptSnapshot() { m_owns = true; }
    // The editor was handed the snapshot on disk and could not show its words: the file is kept aside, so it waits
    // for no one, and from now on the snapshot file is this controller's, as for any card. Only once started.
    void setSnapshotAside();
    // The snapshot file, when there is one, is this controller's to write over and to remove.
    bool ownsSnapshot() const { return m_owns; }
    // Writes the editor's snapshot now and returns once it is on disk, after every write already asked for: a
    // deferred save keeps its words guarded until its opener stores them. False when there is no recoverable
    // snapshot to write or the write failed.
    bool writeSnapshotNow();

    // The editor changed since the last snapshot; set by the editor on every change, cleared by a tick.
    bool autoSave() const { return m_autoSave; }
    void setAutoSave(bool changed) { m_autoSave = changed; }

    QString projectId() const { return m_projectId; }
    bool isSecondary() const { return m_isSecondary; }
    // The running timer, or nullptr when stopped.
    RepeatingTimer* timer() const { return m_timer; }
    // Seconds between ticks for the next start; SaveIntervalSeconds unless a test shortens it.
    double saveInterval() const { return m_saveInterval; }
    void setSaveInterval(double seconds) { m_saveInterval = seconds; }

    // The snapshot of the editor for the project, or nullopt when there is none, it cannot be read, or it names
    // no project or holds no body; a file of the last kind is kept aside. Asked for the primary snapshot while only
    // the secondary exists, it takes the secondary over first.
    static std::optional<QVariantMap> hasAutoSaveWithProjectId(const QString& projectId, bool forSecondary);
    // Removes the editor's snapshot file for the project, if any, after every snapshot write already asked for.
    static void deleteAutoSaveWithProjectId(const QString& projectId, bool forSecondary);

    // The folder holding the snapshots.
    static QString autoSaveDirectory();
    // The snapshot file's path, or nullopt for an identifier that is not a plain file name.
    static std::optional<QString> autoSavePath(const QString& projectId, bool forSecondary);
    static bool autoSaveExists(const QString& projectId, bool forSecondary);
    // The one worker that writes and deletes snapshot files, in order. The static members wait on it, so they
    // must be called from the GUI thread, never from work queued on it.
    static SerialQueue& snapshotQueue();

private:
    void tick();
    // Whether the file may be written: it is ours, or it is free and becomes ours.
    bool claimSnapshot();
    // After every write and delete already asked for: no snapshot the board would offer waits in the file, which
    // holds nothing or has been kept aside.
    static bool snapshotFileIsFree(const QString& projectId, bool forSecondary);

    QPointer<RepeatingTimer> m_timer;
    bool m_autoSave = false;
    QString m_projectId;
    bool m_isSecondary = false;
    DataProvider m_getData;
    double m_saveInterval = SaveIntervalSeconds;
    bool m_started = false;
    bool m_owns = false;
};
