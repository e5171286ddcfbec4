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
    // Presents the first newly earned achievement over board as a form sheet; nothing without a manager or
    // when nothing new was earned. Answers the screen shown, or nullptr.
    static AchievementViewController* show(ViewController* board, AchievementsManager* manager,
                                           const std::optional<QString>& projectTitle);
};
