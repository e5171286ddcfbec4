#include "AutoSaveController.h"

#include "AutoSaveSnapshot.h"
#include "platform/Dispatch.h"
#include "platform/SerialQueue.h"

#include <QDebug>
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

// On the worker only: the file as it stands, without waiting for the queue it runs on.
bool isSnapshotFile(const QString& projectId, bool forSecondary)
{
    const std::optional<QString> path = AutoSaveController::autoSavePath(projectId, forSecondary);
    return path && QFileInfo(*path).isFile();
}

// Far more than a writer's crashes ever leave; past it the file stays where it is.
constexpr int MaxAsideFiles = 999;

std::optional<QString> asidePath(const QString& path)
{
    for (int n = 1; n <= MaxAsideFiles; ++n) {
        const QString candidate =
            path + AutoSaveController::AsideSuffix + (n == 1 ? QString() : QStringLiteral("-%1").arg(n));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
    return std::nullopt;
}

// On the worker only: the file at path goes to a name of its own beside it.
void moveAside(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return;
    const std::optional<QString> aside = asidePath(path);
    if (aside && QFile::rename(path, *aside))
        qInfo().noquote() << "Kept the autosave snapshot" << path << "aside as" << *aside;
    else
        qWarning().noquote() << "Could not keep the autosave snapshot" << path << "aside";
}

// On the worker only: the snapshot in the file when the board would offer it; any other file there is kept aside.
std::optional<QVariantMap> offerableSnapshot(const QString& path)
{
    std::optional<QVariantMap> snapshot = AutoSaveSnapshot::read(path);
    if (snapshot && AutoSaveSnapshot::isRecoverable(*snapshot))
        return snapshot;
    moveAside(path);
    return std::nullopt;
}

} // namespace

AutoSaveController::AutoSaveController(QObject* parent) : QObject(parent)
{
}

AutoSaveController::~AutoSaveController()
{
    stopSaveTimer();
}

void AutoSaveController::startSaveTimer(const QString& projectId, bool isSecondary, DataProvider getData)
{
    stopSaveTimer();
    // Only words the board can offer wait for the writer: a file it cannot read would otherwise keep every card of
    // the project from ever being snapshotted. Words this editor already adopted stay its own.
    if (!m_started)
        m_owns = m_owns || snapshotFileIsFree(projectId, isSecondary);
    else if (projectId != m_projectId || isSecondary != m_isSecondary)
        m_owns = snapshotFileIsFree(projectId, isSecondary);
    m_started = true;
    m_projectId = projectId;
    m_isSecondary = isSecondary;
    m_getData = std::move(getData);
    m_timer = new RepeatingTimer(m_saveInterval, this);
    m_timer->setEventHandler([this] { tick(); });
    m_timer->resume();
}

void AutoSaveController::stopSaveTimer()
{
    if (!m_timer)
        return;
    RepeatingTimer* timer = m_timer;
    m_timer = nullptr;
    timer->suspend();
    timer->cancel();
    // Later, as the stop may come from inside the timer's own firing.
    timer->deleteLater();
}

void AutoSaveController::teardown()
{
    stopSaveTimer();
}

void AutoSaveController::removeSnapshot()
{
    // What is on screen is now what the store holds: nothing is left to snapshot until the next change.
    m_autoSave = false;
    if (!m_owns)
        return;
    if (const std::optional<QString> path = autoSavePath(m_projectId, m_isSecondary))
        snapshotQueue().async([path = *path] { QFile::remove(path); });
}

void AutoSaveController::setSnapshotAside()
{
    const std::optional<QString> path = autoSavePath(m_projectId, m_isSecondary);
    if (m_owns || !path)
        return;
    // After every write already asked for, so what is kept aside is the file as the editor was handed it. Should
    // that fail, the card's own words still count for more than bytes no reader accepts.
    snapshotQueue().sync([&] { moveAside(*path); });
    m_owns = true;
}

bool AutoSaveController::writeSnapshotNow()
{
    m_autoSave = false;
    const QVariantMap snapshot = m_getData ? m_getData() : QVariantMap();
    const std::optional<QString> path = autoSavePath(m_projectId, m_isSecondary);
    if (!path || !AutoSaveSnapshot::isRecoverable(snapshot) || !claimSnapshot())
        return false;
    bool written = false;
    snapshotQueue().sync([&] { written = AutoSaveSnapshot::write(*path, snapshot); });
    return written;
}

void AutoSaveController::tick()
{
    if (!m_autoSave || !m_timer)
        return;
    // No further tick until this snapshot is on disk, so at most one is in flight per editor.
    m_timer->suspend();
    m_autoSave = false;
    const QVariantMap snapshot = m_getData ? m_getData() : QVariantMap();
    const std::optional<QString> path = autoSavePath(m_projectId, m_isSecondary);
    if (!path || !AutoSaveSnapshot::isRecoverable(snapshot)) {
        m_timer->resume();
        return;
    }
    if (!claimSnapshot()) {
        // Another card's words wait for the writer in that file: these are written once it is gone.
        m_autoSave = true;
        m_timer->resume();
        return;
    }
    // Archiving and writing leave the GUI thread; the timer is resumed back on it, if it still runs.
    snapshotQueue().async([path = *path, snapshot, timer = QPointer<RepeatingTimer>(m_timer)] {
        AutoSaveSnapshot::write(path, snapshot);
        Dispatch::main([timer] {
            if (timer)
                timer->resume();
        });
    });
}

bool AutoSaveController::claimSnapshot()
{
    if (!m_owns && !autoSaveExists(m_projectId, m_isSecondary))
        m_owns = true;
    return m_owns;
}

SerialQueue& AutoSaveController::snapshotQueue()
{
    static SerialQueue queue;
    return queue;
}

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
    bool exists = false;
    // After every write and delete already asked for: a save that just removed the snapshot is not answered
    // with the file the worker has yet to delete.
    snapshotQueue().sync([&] { exists = isSnapshotFile(projectId, forSecondary); });
    return exists;
}

bool AutoSaveController::snapshotFileIsFree(const QString& projectId, bool forSecondary)
{
    const std::optional<QString> path = autoSavePath(projectId, forSecondary);
    if (!path)
        return true;
    bool free = false;
    snapshotQueue().sync([&] { free = !offerableSnapshot(*path); });
    return free;
}

std::optional<QVariantMap> AutoSaveController::hasAutoSaveWithProjectId(const QString& projectId, bool forSecondary)
{
    const std::optional<QString> path = autoSavePath(projectId, forSecondary);
    if (!path)
        return std::nullopt;
    std::optional<QVariantMap> snapshot;
    // On the worker, after every write already asked for: the answer is the newest snapshot.
    snapshotQueue().sync([&] {
        // A file no one could offer would hide the secondary editor's words behind it and be written over by the
        // next editor: it is kept aside instead.
        snapshot = offerableSnapshot(*path);
        if (snapshot || forSecondary || QFileInfo::exists(*path))
            return;
        // The secondary editor's work outlived it: the full editor recovers it as its own.
        const QString secondary = *autoSavePath(projectId, true);
        std::optional<QVariantMap> orphan = offerableSnapshot(secondary);
        if (orphan && QFile::rename(secondary, *path))
            snapshot = std::move(orphan);
    });
    return snapshot;
}

void AutoSaveController::deleteAutoSaveWithProjectId(const QString& projectId, bool forSecondary)
{
    if (const std::optional<QString> path = autoSavePath(projectId, forSecondary))
        snapshotQueue().sync([&path] { QFile::remove(*path); });
}
