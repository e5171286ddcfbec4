#include "BoardAchievementNotice.h"

#include "platform/ViewController.h"
#include "stats/AchievementViewController.h"
#include "stats/AchievementsManager.h"

#include <QPointer>

AchievementViewController* BoardAchievementNotice::show(ViewController* board, AchievementsManager* manager,
                                                        const std::optional<QString>& projectTitle)
{
    if (!board || !manager)
        return nullptr;
    // Checking stores what was earned as announced. A notice under a sheet would never be seen, so the check
    // waits until the board is in front again.
    if (ViewController* cover = board->presentedViewController()) {
        showWhenUncovered(board, cover, manager, projectTitle);
        return nullptr;
    }
    const QList<const Achievement*> earned = manager->checkAchievements();
    if (earned.isEmpty())
        return nullptr;
    return AchievementViewController::present(board, *earned.first(), projectTitle, false);
}

void BoardAchievementNotice::showWhenUncovered(ViewController* board, ViewController* cover,
                                               AchievementsManager* manager, const std::optional<QString>& projectTitle)
{
    // One wait per sheet, however often the board is asked while it is up.
    if (cover->property(WaitingProperty).toBool())
        return;
    cover->setProperty(WaitingProperty, true);
    QPointer<ViewController> guardedBoard(board);
    QPointer<AchievementsManager> guardedManager(manager);
    // Queued: the sheet's teardown finishes first. A board that left the screen meanwhile asks again when it
    // next appears.
    QObject::connect(
        cover, &QObject::destroyed, board,
        [guardedBoard, guardedManager, projectTitle] {
            if (guardedBoard && guardedManager && guardedBoard->isOnScreen())
                show(guardedBoard, guardedManager, projectTitle);
        },
        Qt::QueuedConnection);
}
