#include "ProjectActions.h"
#include "stats/SettingsViewController.h"
#include "stats/StatisticsViewController.h"

#include "BoardMenus.h"
#include "DestructiveMenu.h"
#include "ProjectViewController.h"
#include "core/DbHelpers.h"
#include "core/Project.h"
#include "dialogs/MacProjectRename.h"
#include "dialogs/ProjectDelete.h"
#include "export/ArchiveManager.h"
#include "platform/Alert.h"
#include "platform/Delays.h"
#include "platform/Dispatch.h"
#include "platform/DocumentPicker.h"
#include "platform/ProgressHud.h"
#include "platform/SymbolIcons.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMenu>

ProjectActions::ProjectActions(ProjectViewController* screen, std::function<ManagedObjectContext*()> context)
    : QObject(screen), m_screen(screen), m_context(std::move(context)), m_archiveManager(new ArchiveManager(this))
{
}

ProjectActions::~ProjectActions() = default;

QMenu* ProjectActions::getPulldownMenu(Project* project)
{
    auto* menu = new DestructiveMenu(m_screen);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(QStringLiteral("projectMenu"));
    const auto add = [&](const QString& title, const QString& symbol, void (ProjectActions::*operation)(Project*)) {
        QAction* action = menu->addAction(SymbolIcons::icon(symbol), title);
        QPointer<ProjectActions> self(this);
        connect(action, &QAction::triggered, this, [self, operation, project] {
            if (self)
                (self->*operation)(project);
        });
        return action;
    };
    add(TitleAction, QStringLiteral("text.cursor"), &ProjectActions::renameProject);
    add(SetCoverAction, QStringLiteral("photo"), &ProjectActions::setProjectCoverPicture);
    add(ResetCoverAction, QStringLiteral("arrow.uturn.left"), &ProjectActions::resetProjectCoverPicture);
    add(StatisticsAction, QStringLiteral("speedometer"), &ProjectActions::projectStatistics);
    add(SettingsAction, QStringLiteral("gear"), &ProjectActions::projectSettings);
    add(BackupAction, QStringLiteral("icloud.and.arrow.up"), &ProjectActions::archiveProject);
    BoardMenus::markDestructive(add(DeleteAction, QStringLiteral("trash"), &ProjectActions::deleteProject));
    return menu;
}

QMenu* ProjectActions::getContextMenu()
{
    auto* menu = new QMenu(m_screen);
    menu->setObjectName(QStringLiteral("restoreMenu"));
    QAction* restore = menu->addAction(SymbolIcons::icon(QStringLiteral("icloud.and.arrow.down")), RestoreAction);
    connect(restore, &QAction::triggered, this, &ProjectActions::unarchiveProject);
    return menu;
}

void ProjectActions::renameProject(Project* project)
{
    if (!project || !m_screen)
        return;
    m_rename = MacProjectRename::create(m_screen, m_context());
    m_rename->renameProject(project);
}

void ProjectActions::deleteProject(Project* project)
{
    if (!project || !m_screen)
        return;
    m_delete = ProjectDelete::create(m_screen, m_context(), m_screen->fetchedResultsController());
    m_delete->deleteProject(project);
}

void ProjectActions::archiveProject(Project* project)
{
    if (!project || !m_screen)
        return;
    const QString projectId = project->uniqueIdentifier();
    const QString title = project->projectTitle();
    ProgressHud::show();
    QPointer<ProjectActions> self(this);
    Dispatch::after(Delays::scaled(BackupDelayMs), [self, projectId, title] {
        if (!self || !self->m_screen) {
            ProgressHud::dismiss();
            return;
        }
        self->m_archiveManager->archiveWithContext(self->m_context(), self->m_screen, projectId, title);
    });
}

void ProjectActions::unarchiveProject()
{
    if (!m_screen)
        return;
    const qint64 order = DbHelpers::fetchedItemCount(m_screen->fetchedResultsController()) + 1;
    QPointer<ProjectViewController> screen(m_screen);
    m_archiveManager->unarchiveWithContext(m_context(), m_screen, order, [screen] {
        if (screen)
            screen->reloadAfterCloudChanges();
    });
}

// --- Cover picture

void ProjectActions::setProjectCoverPicture(Project* project)
{
    if (!project || !m_screen)
        return;
    m_contextRecord = project;
    QPointer<ProjectActions> self(this);
    DocumentPicker::pickDocument(m_screen, SetCoverAction, {CoverNameFilter},
                                 [self](const std::optional<QString>& path) {
                                     if (self && path)
                                         self->coverPicked(*path);
                                 });
}

ProjectActions::Cover ProjectActions::coverFromFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0 || info.size() > MaxCoverFileBytes)
        return {{}, UnreadableFileMessage};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, UnreadableFileMessage};
    QImageReader reader(&file);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid() || size.isEmpty() || qint64(size.width()) * size.height() > MaxCoverPixels)
        return {{}, NotAnImageMessage};
    // Decoded straight at the stored width: a large photograph never lands in memory at full size.
    if (size.width() > CoverWidth)
        reader.setScaledSize(QSize(CoverWidth, qMax(1, int(qint64(size.height()) * CoverWidth / size.width()))));
    const QImage image = reader.read();
    if (image.isNull())
        return {{}, NotAnImageMessage};
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {{}, NotAnImageMessage};
    return {png, {}};
}

void ProjectActions::coverPicked(const QString& path)
{
    if (!m_contextRecord || !m_screen)
        return;
    const Cover cover = coverFromFile(path);
    if (!cover.error.isEmpty()) {
        showError(cover.error);
        return;
    }
    m_contextRecord->setImage(cover.png);
    m_contextRecord->setLastModified(QDateTime::currentDateTime());
    DbHelpers::saveManagedObjectContext(m_context(), m_screen);
}

void ProjectActions::resetProjectCoverPicture(Project* project)
{
    if (!project || !m_screen)
        return;
    auto* alert = new Alert(ResetCoverTitle, ResetCoverMessage, AlertStyle::Alert);
    QPointer<ProjectActions> self(this);
    alert->addAction(ResetTitle, AlertActionStyle::Destructive, [self, project] {
        if (!self || !self->m_screen)
            return;
        project->setImage(QByteArray());
        project->setLastModified(QDateTime::currentDateTime());
        DbHelpers::saveManagedObjectContext(self->m_context(), self->m_screen);
    });
    alert->addAction(CancelTitle, AlertActionStyle::Cancel);
    alert->present(m_screen);
}

void ProjectActions::showError(const QString& message)
{
    auto* alert = new Alert(ErrorTitle, message);
    alert->addAction(OkTitle);
    alert->present(m_screen);
}

void ProjectActions::projectStatistics(Project* project)
{
    if (!project || project->isDeleted() || !m_screen)
        return;
    const QDateTime lastModified = project->lastModified();
    StatisticsViewController::present(m_screen, m_context(), project->uniqueIdentifier(),
                                      lastModified.isValid() ? std::optional(lastModified) : std::nullopt);
}

void ProjectActions::projectSettings(Project* project)
{
    if (!project || project->isDeleted() || !m_screen)
        return;
    SettingsViewController::present(m_screen, m_context(), project->uniqueIdentifier());
}
