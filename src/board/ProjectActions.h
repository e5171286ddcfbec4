#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class ArchiveManager;
class MacProjectRename;
class ManagedObjectContext;
class Project;
class ProjectDelete;
class ProjectViewController;
class QMenu;

// What the project list offers on a project (the menu behind each tile's gear) and on the list itself
// (restoring a backup). The list owns one of these; it keeps the backup manager and the dialogs alive while
// their panels and alerts are open.
class ProjectActions : public QObject {
    Q_OBJECT

public:
    static inline const QString TitleAction = QStringLiteral("Title");
    static inline const QString SetCoverAction = QStringLiteral("Set Cover");
    static inline const QString ResetCoverAction = QStringLiteral("Reset Cover");
    static inline const QString StatisticsAction = QStringLiteral("Statistics");
    static inline const QString SettingsAction = QStringLiteral("Settings");
    static inline const QString BackupAction = QStringLiteral("Backup");
    static inline const QString DeleteAction = QStringLiteral("Delete");
    static inline const QString RestoreAction = QStringLiteral("Restore");
    static inline const QString ResetCoverTitle = QStringLiteral("Reset Cover Picture");
    static inline const QString ResetCoverMessage =
        QStringLiteral("Are you sure you want to reset the cover picture for this project to the default?");
    static inline const QString ResetTitle = QStringLiteral("Reset");
    static inline const QString CancelTitle = QStringLiteral("Cancel");
    static inline const QString ErrorTitle = QStringLiteral("Error");
    static inline const QString OkTitle = QStringLiteral("OK");
    static inline const QString UnreadableFileMessage = QStringLiteral("Unable to open the selected file.");
    static inline const QString NotAnImageMessage =
        QStringLiteral("The selected file does not appear to be a valid image.");
    static inline const QString CoverNameFilter = QStringLiteral("Images (*.png *.jpg *.jpeg)");
    static constexpr int CoverWidth = 300;
    static constexpr int BackupDelayMs = 400;
    // A cover file larger than this, or a picture of more pixels, is not decoded at all.
    static constexpr qint64 MaxCoverFileBytes = qint64(64) << 20;
    static constexpr qint64 MaxCoverPixels = qint64(20000) * 20000;

    ProjectActions(ProjectViewController* screen, std::function<ManagedObjectContext*()> context);
    ~ProjectActions() override;

    // The project's menu: Title, Set Cover, Reset Cover, Statistics, Settings, Backup and a destructive Delete.
    // Deletes itself once closed.
    QMenu* getPulldownMenu(Project* project);
    // The list's menu: Restore.
    QMenu* getContextMenu();

    void renameProject(Project* project);
    void setProjectCoverPicture(Project* project);
    void resetProjectCoverPicture(Project* project);
    void archiveProject(Project* project);
    void projectStatistics(Project* project);
    void projectSettings(Project* project);
    void deleteProject(Project* project);
    void unarchiveProject();
    // The picked cover file for the project of the last request.
    void coverPicked(const QString& path);

    ArchiveManager* archiveManager() const { return m_archiveManager; }

    // The cover as stored: PNG, no wider than CoverWidth; or the text of the alert that refuses the file.
    struct Cover {
        QByteArray png;
        QString error;
    };
    static Cover coverFromFile(const QString& path);

private:
    void showError(const QString& message);

    QPointer<ProjectViewController> m_screen;
    std::function<ManagedObjectContext*()> m_context;
    ArchiveManager* m_archiveManager;
    Project* m_contextRecord = nullptr;
    std::shared_ptr<MacProjectRename> m_rename;
    std::shared_ptr<ProjectDelete> m_delete;
};
