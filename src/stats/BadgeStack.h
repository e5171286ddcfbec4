#pragma once

#include <QColor>
#include <QList>
#include <QPointer>
#include <QWidget>

class Achievement;
class AchievementsManager;
class QLabel;
class QVBoxLayout;

// The achievement badges of the statistics screen: under each group's title, the group's badges two to a row.
// Earned badges show their art and open the achievement when pressed; the others show their placeholder and do
// nothing, their names faint against the ground they stand on yet readable.
class BadgeStack : public QWidget {
    Q_OBJECT

public:
    static constexpr int BadgeSide = 96;
    static constexpr int GroupTitleSize = 12;
    static constexpr int Spacing = 10;
    // How far apart a badge not yet earned has its name stand from its ground: faint beside an earned badge's,
    // still above the 3 : 1 that large text needs to be read.
    static constexpr double UnearnedNameContrast = 3.5;

    explicit BadgeStack(QWidget* parent = nullptr);

    // Builds the badges of manager's groups, unless the badges built last are still here.
    void build(const AchievementsManager& manager);
    // Takes every badge out.
    void clear();
    bool isEmpty() const;
    // The colour the badges stand on, which the names of badges not yet earned are faded towards.
    void setGround(const QColor& ground);

signals:
    // An earned badge was pressed; tag names its achievement.
    void achievementOpened(const QString& tag);

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* makeBadge(const Achievement& achievement);
    void fadeUnearnedNames();

    QVBoxLayout* m_layout;
    QColor m_ground;
    QList<QPointer<QLabel>> m_unearnedNames;
};
