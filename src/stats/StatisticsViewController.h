#pragma once

#include "DayStat.h"
#include "StatisticsReport.h"
#include "StatisticsScreenUi.h"
#include "platform/BarButtonItem.h"
#include "platform/ViewController.h"

#include <QColor>
#include <QDateTime>
#include <QPointer>
#include <functional>
#include <optional>

class AchievementsManager;
class ManagedObjectContext;

// The "Project Statistics" sheet of one project: the word goal with a gauge and a summary, the week's chart while
// the goal is not reached, the figures of every stored record plus the editor's unsaved stretch, and the badges.
// Every figure comes from StatisticsManager::report(), read once when the sheet appears; a new goal only changes
// what depends on the goal. The goal is stored when the sheet leaves, in a save of its own record alone.
class StatisticsViewController : public ViewController {
    Q_OBJECT

public:
    static inline const QString StoryboardIdentifier = QStringLiteral("statisticsView");
    static inline const QString Title = QStringLiteral("Project Statistics");
    static constexpr qint64 AverageWordsPerMinute = 238;
    static inline const QString CellColorHex = QStringLiteral("#E7E7E7");
    static inline const QString CellColorDarkHex = QStringLiteral("#5b5b5d");
    static inline const QString BackgroundColorHex = QStringLiteral("#F1F1F1");
    static inline const QString BackgroundColorDarkHex = QStringLiteral("#333334");
    static inline const QString RedColorHex = QStringLiteral("#F75650");
    static inline const QString YellowColorHex = QStringLiteral("#FABC27");
    static inline const QString GreenColorHex = QStringLiteral("#43D459");
    static constexpr int GaugeFontSize = 28;
    static constexpr int FieldHeight = 28;
    static constexpr qint64 MaximumWordGoal = 1000000000;
    static inline const QString GoalRefused =
        QStringLiteral("The goal must be a whole number of words from 0 to 1,000,000,000.");
    static inline const QString NoStreakText = QStringLiteral("None yet");
    static inline const QString NoTimeText = QStringLiteral("None");

    explicit StatisticsViewController(QWidget* parent = nullptr);
    ~StatisticsViewController() override;

    static void registerInStoryboard();
    // Opens the sheet for a project over from, in a navigation controller: from the project list and the board
    // with the project's last change, from the editor also with its unsaved stretch. Answers the sheet.
    static StatisticsViewController* present(ViewController* from, ManagedObjectContext* context,
                                             const QString& projectId,
                                             const std::optional<QDateTime>& lastModified = std::nullopt,
                                             const std::optional<DayStat>& unsavedStats = std::nullopt);

    void setContext(ManagedObjectContext* context) { m_context = context; }
    void setProjectId(const QString& projectId) { m_projectId = projectId; }
    QString projectId() const { return m_projectId; }
    void setLastModified(const std::optional<QDateTime>& lastModified) { m_lastModified = lastModified; }
    void setUnsavedStats(const std::optional<DayStat>& unsaved) { m_unsavedStats = unsaved; }
    const std::optional<DayStat>& unsavedStats() const { return m_unsavedStats; }
    void setPopup(bool popup) { m_isPopup = popup; }
    // Tests fix the moment that counts as now.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    const StatisticsReport& report() const { return m_report; }
    qint64 wordGoal() const { return m_wordGoal; }
    bool goalChanged() const { return m_goalChanged; }
    AchievementsManager* achievementsManager() const { return m_achievements; }

    QLineEdit* goalField() const { return m_ui.goalField; }
    QLabel* goalMessage() const { return m_ui.goalMessage; }
    GaugeView* gaugeView() const { return m_ui.gauge; }
    StatisticsCell* barCharRowView() const { return m_ui.chartRow; }
    BasicBarChart* daysChartView() const { return m_ui.chart; }
    BadgeStack* achievementStack() const { return m_ui.badges; }
    QLabel* wordsTrendView() const { return m_ui.wordsTrend; }
    QLabel* timeTrendView() const { return m_ui.timeTrend; }
    // The figure label of that outlet name ("summaryView", "streakView", ...), or nullptr.
    QLabel* label(const QString& name) const { return m_ui.labels.value(name); }

    // The goal a field text stands for; nullopt for anything but a whole number from 0 to the maximum.
    static std::optional<qint64> goalFromText(const QString& text);

    void done();
    // Opens the achievement of tag, as pressing its badge does.
    void openAchievement(const QString& tag);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    QDateTime now() const;

    void updateStatistics();
    void showFigures();
    void showGoalFigures();
    void updateDaysChart();
    void showTrend(QLabel* view, int trend);
    void applyColors();
    void loadAchievements();
    void goalEdited(const QString& text);
    void storeGoal();

    ManagedObjectContext* m_context = nullptr;
    QString m_projectId;
    std::optional<QDateTime> m_lastModified;
    std::optional<DayStat> m_unsavedStats;
    bool m_isPopup = false;
    std::function<QDateTime()> m_clock;

    StatisticsReport m_report;
    qint64 m_wordGoal = 0;
    bool m_goalChanged = false;
    bool m_loaded = false;
    QColor m_neutralTextColor = Qt::black;

    StatisticsScreenUi m_ui;
    QPointer<BarButtonItem> m_closeButton;
    AchievementsManager* m_achievements = nullptr;
};
