#pragma once

#include <QWidget>

class Achievement;
class AchievementsManager;
class QVBoxLayout;

// The achievement badges of the statistics screen: under each group's title, the group's badges two to a row.
// Earned badges show their art and open the achievement when pressed; the others show their placeholder and do
// nothing.
class BadgeStack : public QWidget {
    Q_OBJECT

public:
    static constexpr int BadgeSide = 96;
    static constexpr int GroupTitleSize = 12;
    static constexpr int Spacing = 10;

    explicit BadgeStack(QWidget* parent = nullptr);

    // Builds the badges of manager's groups, unless the badges built last are still here.
    void build(const AchievementsManager& manager);
    // Takes every badge out.
    void clear();
    bool isEmpty() const;

signals:
    // An earned badge was pressed; tag names its achievement.
    void achievementOpened(const QString& tag);

private:
    QWidget* makeBadge(const Achievement& achievement);

    QVBoxLayout* m_layout;
};
