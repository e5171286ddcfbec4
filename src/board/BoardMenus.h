#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <optional>

class ProjectItem;
class QAction;
class PvCardViewController;
class QMenu;
class QWidget;

// The board's two pop-up menus, the board menu on its menu button and a card menu on each cell's action
// button, with what the board does when their operations report back. Every action and every completion
// finds its item by identifier when it runs: an item that vanished meanwhile is skipped and the board
// reloads, so no action ever reaches the wrong card or a row past the end.
class BoardMenus {
public:
    static inline const QString CompactCardsTitle = QStringLiteral("Compact Cards");
    static inline const QString LargeCardsTitle = QStringLiteral("Large Cards");
    static inline const QString FolderInfoTitle = QStringLiteral("Folder Info");
    static inline const QString CompileTitle = QStringLiteral("Compile");
    static inline const QString ImportTitle = QStringLiteral("Import");
    static inline const QString ExportTitle = QStringLiteral("Export");
    static inline const QString StatisticsTitle = QStringLiteral("Project Statistics");
    static inline const QString SettingsTitle = QStringLiteral("Project Settings");
    static inline const QString CardTypeTitle = QStringLiteral("Card Type");
    static inline const QString TitleTitle = QStringLiteral("Title");
    static inline const QString TagsTitle = QStringLiteral("Tags");
    static inline const QString MoveTitle = QStringLiteral("Move");
    static inline const QString InfoTitle = QStringLiteral("Info");
    static inline const QString DeleteTitle = QStringLiteral("Delete");
    static inline const QString SetTagTitle = QStringLiteral("Set Tag");
    // Actions drawn as destructive carry this property.
    static inline const char* DestructiveProperty = "destructive";
    static inline const QColor DestructiveColor{0xff, 0x3b, 0x30};

    explicit BoardMenus(PvCardViewController* board);

    // Redraws action's symbol in the destructive red and marks it destructive, as every menu's "Delete" is.
    static void markDestructive(QAction* action);

    // The board menu for the folder shown, owned by parent.
    QMenu* makeBoardMenu(QWidget* parent) const;
    // The menu of one item, owned by parent.
    QMenu* makeCardMenu(ProjectItem* item, QWidget* parent) const;

    void setCompactCards(bool compact) const;
    void showFolderInfo() const;
    // The compiled manuscript of the folder shown, full screen.
    void showCompiledView() const;
    void showStatistics() const;
    void showSettings() const;

    // The item operations of the card menu, by the identifier of their item.
    void changeCardType(const QString& itemId) const;
    void renameItem(const QString& itemId) const;
    void chooseTag(const QString& itemId) const;
    void moveItem(const QString& itemId) const;
    void showInfo(const QString& itemId) const;
    void deleteItem(const QString& itemId) const;

    // What the board does when an operation reports back.
    void cardTypeChanged(const QString& itemId) const;
    void itemChanged(const QString& itemId) const;
    void tagChosen(const QString& itemId, const QString& tagId) const;
    void itemRemoved(const QString& itemId) const;
    void notesModified(const QString& itemId, const std::optional<QString>& notes) const;

private:
    // The item when the board still shows it; otherwise nullptr, and the board reloads.
    ProjectItem* shownItem(const QString& itemId) const;
    // Stamps the item, the folders above it and the project, then saves with the board as presenter.
    void stampAndSave(ProjectItem* item) const;

    PvCardViewController* m_board;
};
