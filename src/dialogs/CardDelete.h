#pragma once

#include "dialogs/BoardItems.h"
#include "dialogs/iCloudAwareDialog.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class ManagedObjectContext;
class ProjectItem;
class ViewController;

// Deletes a card, or a folder with everything inside it, after the writer confirms; the folder it leaves is
// numbered again without gaps. Deleting is permanent.
class CardDelete : public iCloudAwareDialog {
public:
    // The identifier of the deleted item, so that the board removes its cell by identity.
    using Completion = std::function<void(const QString& itemId)>;

    static inline const QString CardAlertTitle = QStringLiteral("Delete Card");
    static inline const QString CardAlertMessage =
        QStringLiteral("Are you sure you want to permanently delete this card?  This cannot be undone.");
    static inline const QString FolderAlertTitle = QStringLiteral("Delete Folder");
    static inline const QString FolderAlertMessage =
        QStringLiteral("Are you sure you want to permanently delete this folder and all items and subfolders it "
                       "contains?  This cannot be undone.");
    static inline const QString DeleteTitle = QStringLiteral("Delete");
    static inline const QString CancelTitle = QStringLiteral("Cancel");

    // cards and filteredCards belong to the caller and may be null or the same list.
    static std::shared_ptr<CardDelete> create(ViewController* controller, ManagedObjectContext* context,
                                              const QString& projectId, QList<ProjectItem*>* cards,
                                              QList<ProjectItem*>* filteredCards);

    // Asks, then deletes; completion runs only when the writer confirms.
    void deleteCard(ProjectItem* item, Completion completion = {});
    // Deletes without asking and saves.
    void handleDelete(ProjectItem* item);

private:
    CardDelete(ViewController* controller, ManagedObjectContext* context, const QString& projectId,
               QList<ProjectItem*>* cards, QList<ProjectItem*>* filteredCards);

    QPointer<ViewController> m_parentController;
    QPointer<ManagedObjectContext> m_managedObjectContext;
    QString m_currentProjectId;
    BoardItems m_boardItems;
};
