#pragma once

#include "CardViewHistoryManager.h"

#include <QPointer>
#include <QString>

class ProjectItem;
class PvCardViewController;
class QVariantAnimation;

// Moves the board through the folder tree: selecting a folder enters it, going back climbs to the parent
// folder or leaves the board from the root. Each change of folder fades the grid in, names the window after
// the folder, swaps the toolbar's home and back items and rebuilds the board menu.
class BoardNavigator {
public:
    static constexpr int TransitionMs = 150;
    static inline const QString TransitionKey = QStringLiteral("KuvCollView");

    explicit BoardNavigator(PvCardViewController* board);
    ~BoardNavigator();

    // The writer selected the item at row of the shown list: a card opens, a folder is entered.
    void selectItem(int row);
    void enterFolder(ProjectItem* folder, int row);
    // One level up; from the root, back to the project list.
    void goBack();
    // The window's title from the board's current title.
    void updateWindowTitle() const;

    CardViewHistoryManager& history() { return m_history; }
    bool isTransitionRunning() const { return !m_transition.isNull(); }

private:
    void showFolder(const QString& folderId, const QString& parentId, const QString& title, bool entering);
    void swapFirstToolbarItem(const QString& identifier) const;
    void runTransition();
    // Whether the parent chain above folderId reaches the root; a cycle or a missing folder does not.
    bool reachesTop(const QString& folderId) const;

    PvCardViewController* m_board;
    CardViewHistoryManager m_history;
    QPointer<QVariantAnimation> m_transition;
};
