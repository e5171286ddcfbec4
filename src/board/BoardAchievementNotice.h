#pragma once

#include <QString>
#include <optional>

class AchievementViewController;
class AchievementsManager;
class ViewController;

// The board's word to the writer when something was earned: on appearing, the board asks its achievements
// manager for achievements newly earned and shows the first of them. Others earned in the same stretch are
// stored, and shown on the statistics screen, but not announced.
class BoardAchievementNotice {
public:
    // Set on a sheet over the board while a notice waits for it to close.
    static inline const char* WaitingProperty = "achievementNoticeWaiting";

    // Presents the first newly earned achievement over board as a form sheet; nothing without a manager or
    // when nothing new was earned. While a sheet covers the board nothing is checked yet: the notice comes
    // once that sheet has closed, if the board is then on screen. Answers the screen shown now, or nullptr.
    static AchievementViewController* show(ViewController* board, AchievementsManager* manager,
                                           const std::optional<QString>& projectTitle);

private:
    static void showWhenUncovered(ViewController* board, ViewController* cover, AchievementsManager* manager,
                                  const std::optional<QString>& projectTitle);
};
