#pragma once

#include "core/FolderStackItem.h"
#include "dialogs/BoardItems.h"
#include "dialogs/iCloudAwareDialog.h"

#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

class ManagedObjectContext;
class ProjectItem;
class ViewController;

// Moves a card or a folder into another folder of its project: a menu lists every folder it may go to, the
// item goes last in the chosen folder, and the folder it left is numbered again without gaps. The board's
// two item lists (all items of the folder and those shown; possibly one list) lose the item at once.
class CardMove : public iCloudAwareDialog {
public:
    // The identifier of the moved item: the board finds its cell by identity when the move is done.
    using Completion = std::function<void(const QString& itemId)>;

    static inline const QString MenuTitle = QStringLiteral("Move to Folder");
    static inline const QString TopLevelLabel = QStringLiteral("Top Level");
    static inline const QString NoFoldersTitle = QStringLiteral("No Folders");
    static inline const QString NoFoldersMessage = QStringLiteral("There are no folders to move this item to.");
    static inline const QString OkTitle = QStringLiteral("OK");

    // cards and filteredCards belong to the caller and may be null or the same list.
    static std::shared_ptr<CardMove> create(ViewController* controller, ManagedObjectContext* context,
                                            const QString& projectId, QList<ProjectItem*>* cards,
                                            QList<ProjectItem*>* filteredCards);

    // Shows the "Move to Folder" menu, or the "No Folders" alert when there is nowhere to go. frame is the
    // item's cell on the board and is not needed on the desktop. completion runs once a row was chosen, also
    // when that row's folder is no target any more and nothing moved; never when the menu closes unchosen.
    void moveCard(ProjectItem* item, const QRect& frame, Completion completion = {});
    // Moves item into the folder and saves. Answers false, changing nothing, for a target that is not a
    // folder of the project, the folder already holding the item, the item itself or a folder inside it.
    bool handleMove(ProjectItem* item, const QString& folderId);

    // The targets of the menu built last.
    const QList<FolderStackItem>& folderNamesToIds() const { return m_folderNamesToIds; }

private:
    CardMove(ViewController* controller, ManagedObjectContext* context, const QString& projectId,
             QList<ProjectItem*>* cards, QList<ProjectItem*>* filteredCards);

    void showNoFolders();
    void chooseTarget(ProjectItem* item, const QString& folderId, const Completion& completion);
    bool isValidTarget(ProjectItem* item, const QString& folderId) const;

    QPointer<ViewController> m_parentController;
    QPointer<ManagedObjectContext> m_managedObjectContext;
    QString m_currentProjectId;
    QList<FolderStackItem> m_folderNamesToIds;
    BoardItems m_boardItems;
};
