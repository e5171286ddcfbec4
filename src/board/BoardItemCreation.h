#pragma once

#include "export/KUVDocPickerViewController.h"

#include <QPointer>
#include <QString>

class Alert;

class ProjectItem;
class PvCardViewController;

// New cards and folders in the folder the board shows: the "New Card" chooser of creatable card types and the
// "New Folder" alert. A new card is only asked for here; the card opener creates it when its editor saves.
// Every new item goes after all children the folder holds in the store, whatever a filter or search shows.
class BoardItemCreation {
public:
    static inline const QString ChooserTitle = QStringLiteral("New Card");
    static inline const QString RichTextSegment = QStringLiteral("Rich Text");
    static inline const QString FolderAlertTitle = QStringLiteral("New Folder");
    static inline const QString FolderAlertMessage = QStringLiteral("Enter the title for the folder");
    static inline const QString FolderPlaceholder = QStringLiteral("Folder Title");
    static inline const QString OkTitle = QStringLiteral("OK");
    static inline const QString CancelTitle = QStringLiteral("Cancel");
    // %1 is the new folder's display order.
    static inline const QString UntitledFolder = QStringLiteral("Untitled %1");

    explicit BoardItemCreation(PvCardViewController* board);

    void showNewCardChooser();
    // 0 asks for a folder, a card type opens an editor for a new card, a negative tag does nothing.
    void createNewItem(int cardTag);
    void showNewFolderAlert();
    // Creates and saves a folder at the end of the folder folderId of projectId; a null title makes
    // "Untitled n". Answers the new folder, or nullptr without a store.
    ProjectItem* createFolder(const QString& projectId, const QString& folderId, const QString& title);

    // After every child the folder holds in the store: one past the highest number and past the count, so a
    // folder with gaps or repeats still gets a number of its own.
    static qint64 nextDisplayOrder(PvCardViewController* board, const QString& projectId, const QString& folderId);

    KUVDocPickerViewController* chooser() const { return m_chooser; }

private:
    PvCardViewController* m_board;
    QPointer<KUVDocPickerViewController> m_chooser;
};
