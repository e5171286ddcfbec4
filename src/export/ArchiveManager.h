#pragma once

#include "OpmlReader.h"
#include "SSZipArchive.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class ManagedObjectContext;
class QWidget;

// Backs a project up into a zip of four members and restores such a zip as a new project. A backup is built
// in a private folder and copied to the path the writer chose and confirmed in the save panel, through a
// temporary file beside it that is renamed over it only once whole, so a failed copy leaves their file as it
// was; it reports failure when any part fails. A restore reads only its four members by name into its
// own temporary folder, parses and checks everything, inserts it and saves once: on any failure nothing of it
// stays in the store.
class ArchiveManager : public QObject {
    Q_OBJECT

public:
    static inline const QString ProjectMember = QStringLiteral("project.json");
    static inline const QString SettingsMember = QStringLiteral("settings.json");
    static inline const QString StatsMember = QStringLiteral("stats.json");
    static inline const QString ContentMember = QStringLiteral("content.opml");
    static inline const QString BackupInfix = QStringLiteral("-Backup-");
    static inline const QString BackupDatePattern = QStringLiteral("MMM-d-yyyy");
    static inline const QString ZipExtension = QStringLiteral("zip");
    static inline const QString ErrorTitle = QStringLiteral("Error");
    static inline const QString OkTitle = QStringLiteral("OK");
    static inline const QString BackupErrorMessage =
        QStringLiteral("Unable to backup project. Please ensure you have sufficient space on your device.");
    static inline const QString BackupDoneTitle = QStringLiteral("Project Backup");
    static inline const QString BackupDoneMessage = QStringLiteral("Backup complete.");
    static inline const QString RestoreErrorMessage = QStringLiteral(
        "Unable to restore project. Please ensure that the selected file is a valid Plot Vane zip backup file.");
    // Followed directly by the file system's description of what went wrong.
    static inline const QString RestoreSpaceErrorMessage =
        QStringLiteral("Unable to restore project. Please ensure you have sufficient space on your device.\r\n");
    static inline const QString RestorePanelTitle = QStringLiteral("Restore");
    static inline const QString ZipNameFilter = QStringLiteral("Zip archives (*.zip)");
    static constexpr int RestoreDelayMs = 400;

    struct RestoreLimits {
        SSZipArchive::Limits zip{64, qint64(1) << 31};
        OpmlReader::Limits opml;
        // The three records are small; a larger member is not a backup of ours.
        qint64 maxRecordBytes = qint64(256) << 20;
    };

    explicit ArchiveManager(QObject* parent = nullptr);

    // The archive's name without extension: the sanitised title, "-Backup-" and the date in the locale.
    static QString backupBaseName(const QString& title, const QDate& date, const QLocale& locale);

    // Builds the backup and offers it in the save panel over viewController; the outcome is an alert there.
    // Dismisses the progress indicator the caller showed.
    void archiveWithContext(ManagedObjectContext* context, QWidget* viewController, const QString& projectId,
                            const QString& title);
    // Builds the archive at zipPath (staged, renamed into place when whole); false when any part failed.
    bool performArchive(ManagedObjectContext* context, const QString& projectId, const QString& title,
                        const QString& zipPath) const;

    // Asks for a zip, then restores it after the indicator's delay; completion runs after a successful restore.
    void unarchiveWithContext(ManagedObjectContext* context, QWidget* viewController, qint64 displayOrder,
                              std::function<void()> completion);
    // Restores the archive as a new project titled after the file; the new project's identifier, or nullopt
    // when the archive was refused (then nothing of it is in the store). When the file itself could not be read
    // or no work folder could be made, fileError receives the file system's description of it.
    std::optional<QString> importArchive(ManagedObjectContext* context, const QString& path, qint64 displayOrder,
                                         QString* fileError = nullptr) const;
    // The alert's text for a refused restore: the file system's error when there was one, else the archive's.
    static QString restoreErrorText(const QString& fileError);

    void setRestoreLimits(const RestoreLimits& limits) { m_limits = limits; }

signals:
    // After every backup or restore attempt, with its outcome (for the screen and for tests).
    void backupFinished(bool succeeded);
    void restoreFinished(bool succeeded);

private:
    static void showAlert(QWidget* parent, const QString& title, const QString& message);
    void offerBackup(QWidget* parent, const QString& folder, const QString& zipPath);

    RestoreLimits m_limits;
};
