#include "BoardAchievementNotice.h"

#include "platform/ViewController.h"
#include "stats/AchievementViewController.h"
#include "stats/AchievementsManager.h"

AchievementViewController* BoardAchievementNotice::show(ViewController* board, AchievementsManager* manager,
                                                        const std::optional<QString>& projectTitle)
{
    if (!board || !manager)
        return nullptr;
    const QList<const Achievement*> earned = manager->checkAchievements();
    if (earned.isEmpty())
        return nullptr;
    // A sheet already over the board (a recovery alert's follow-up, say) keeps its place; the achievement stays
    // earned and is shown on the statistics screen.
    if (board->presentedViewController())
        return nullptr;
    return AchievementViewController::present(board, *earned.first(), projectTitle, false);
}
