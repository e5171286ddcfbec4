#include "StatisticsViewController.h"

#include "AchievementViewController.h"
#include "AchievementsManager.h"
#include "BadgeStack.h"
#include "BasicBarChart.h"
#include "SheetChrome.h"
#include "StatisticsCell.h"
#include "StatisticsManager.h"
#include "StatisticsScreenUi.h"
#include "WeekChart.h"
#include "core/AppDelegate.h"
#include "core/DbHelpers.h"
#include "core/HexColor.h"
#include "core/ImageHelpers.h"
#include "core/Project.h"
#include "core/ProjectSetting.h"
#include "core/SettingsHelper.h"
#include "dialogs/RelativeDateFormatter.h"
#include "platform/BarButtonItem.h"
#include "platform/ColorScheme.h"
#include "platform/GaugeView.h"
#include "platform/NavigationController.h"
#include "platform/ProgressHud.h"
#include "platform/Storyboard.h"
#include "platform/SymbolIcons.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QColor hex(const QString& text)
{
    return HexColor::colorWithHexString(text);
}

} // namespace

StatisticsViewController::StatisticsViewController(QWidget* parent)
    : ViewController(parent), m_clock([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("StatisticsViewController"));
    setPreferredContentSize(QSize(620, 760));
    m_ui.setupUi(this);
    connect(m_ui.badges, &BadgeStack::achievementOpened, this, &StatisticsViewController::openAchievement);
    // Return puts the goal away, as the keyboard's Done does.
    connect(m_ui.goalField, &QLineEdit::returnPressed, m_ui.goalField, &QWidget::clearFocus);
    connect(m_ui.goalField, &QLineEdit::textEdited, this, &StatisticsViewController::goalEdited);
    connect(ColorScheme::instance(), &ColorScheme::changed, this, [this] { applyColors(); });
}

StatisticsViewController::~StatisticsViewController() = default;

void StatisticsViewController::registerInStoryboard()
{
    Storyboard::registerFactory(StoryboardIdentifier, [] { return new StatisticsViewController; });
}

StatisticsViewController* StatisticsViewController::present(ViewController* from, ManagedObjectContext* context,
                                                            const QString& projectId,
                                                            const std::optional<QDateTime>& lastModified,
                                                            const std::optional<DayStat>& unsavedStats)
{
    auto* sheet = qobject_cast<StatisticsViewController*>(Storyboard::instantiate(StoryboardIdentifier));
    if (!sheet)
        sheet = new StatisticsViewController;
    sheet->setContext(context);
    sheet->setProjectId(projectId);
    sheet->setLastModified(lastModified);
    sheet->setUnsavedStats(unsavedStats);
    from->present(new NavigationController(sheet), true, {}, PresentationStyle::FormSheet);
    return sheet;
}

QDateTime StatisticsViewController::now() const
{
    return m_clock();
}

void StatisticsViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    setTitle(Title);
    QFont gaugeFont = m_ui.gauge->valueFont();
    gaugeFont.setPixelSize(GaugeFontSize);
    gaugeFont.setBold(true);
    m_ui.gauge->setValueFont(gaugeFont);
    m_ui.gauge->setRange(0, 100);
}

void StatisticsViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    SheetChrome::styleBar(this, m_closeButton);
    applyColors();
    ProgressHud::show();
}

void StatisticsViewController::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    if (!m_context && AppDelegate::shared())
        m_context = AppDelegate::shared()->managedObjectContext();
    if (m_context) {
        m_wordGoal = std::clamp<qint64>(SettingsHelper::getWordTarget(m_context, m_projectId), 0, MaximumWordGoal);
        updateStatistics();
        m_ui.goalField->setText(QString::number(m_wordGoal));
        loadAchievements();
    }
    ProgressHud::dismiss();
}

void StatisticsViewController::viewWillDisappear(bool animated)
{
    storeGoal();
    m_ui.badges->clear();
    ViewController::viewWillDisappear(animated);
}

void StatisticsViewController::done()
{
    dismiss(true);
}

void StatisticsViewController::updateStatistics()
{
    m_report = StatisticsManager::report(m_context, m_projectId, m_unsavedStats, now());
    m_loaded = true;
    showFigures();
    showGoalFigures();
}

void StatisticsViewController::showFigures()
{
    const StatisticsReport& r = m_report;
    const QLocale locale;
    label(QStringLiteral("streakView"))
        ->setText(r.streakDays < 1
                      ? NoStreakText
                      : QStringLiteral("%1 %2").arg(r.streakDays).arg(r.streakDays == 1 ? tr("Day") : tr("Days")));
    label(QStringLiteral("avgWordsPerDayView"))->setText(QString::number(r.wordsPerDay));
    label(QStringLiteral("busiestDayView"))->setText(r.busiestDayText);
    label(QStringLiteral("mostProductiveDayView"))->setText(r.mostProductiveDayText);
    label(QStringLiteral("totalCardsView"))->setText(QString::number(r.cardStats.totalCardCount));
    label(QStringLiteral("storyCardsView"))->setText(QString::number(r.cardStats.manuscriptCardCount));
    label(QStringLiteral("totalWordsView"))->setText(QString::number(r.cardStats.wordCount));
    label(QStringLiteral("averageTimeToReadView"))->setText(r.readingTimeText);
    if (m_lastModified && m_lastModified->isValid()) {
        label(QStringLiteral("lastModifiedView"))
            ->setText(QStringLiteral("%1 (%2)").arg(
                RelativeDateFormatter::mediumDateMediumTime(m_lastModified->toLocalTime(), locale),
                RelativeDateFormatter::localizedString(*m_lastModified, now())));
    }
    label(QStringLiteral("totalPagesView"))->setText(QString::number(r.pages));
    label(QStringLiteral("totalTimeInProjectView"))
        ->setText(r.totalTime < 1 ? NoTimeText : StatisticsManager::durationText(r.totalTime));
    label(QStringLiteral("daysSpentInProjectView"))->setText(QString::number(r.daysSpent));
    showTrend(m_ui.wordsTrend, r.wordsTrend);
    if (r.averageTimePerDay < 1) {
        label(QStringLiteral("avgTimePerDayView"))->setText(QStringLiteral("0"));
        showTrend(m_ui.timeTrend, 0);
    } else {
        label(QStringLiteral("avgTimePerDayView"))->setText(StatisticsManager::durationText(r.averageTimePerDay));
        showTrend(m_ui.timeTrend, r.timeTrend);
    }
}

void StatisticsViewController::showTrend(QLabel* view, int trend)
{
    view->setProperty("trend", trend);
    if (trend == 0) {
        view->clear();
        return;
    }
    const QString symbol =
        trend > 0 ? QStringLiteral("arrow.up.right.circle") : QStringLiteral("arrow.down.right.circle");
    const QColor tint = hex(trend > 0 ? GreenColorHex : RedColorHex);
    const qreal ratio = devicePixelRatioF();
    const QImage icon = SymbolIcons::icon(symbol)
                            .pixmap(QSize(StatisticsScreenUi::TrendIconSide, StatisticsScreenUi::TrendIconSide), ratio)
                            .toImage();
    QPixmap tinted = QPixmap::fromImage(ImageHelpers::filledImageFrom(icon, tint));
    tinted.setDevicePixelRatio(ratio);
    view->setPixmap(tinted);
}

void StatisticsViewController::showGoalFigures()
{
    const qint64 words = m_report.cardStats.wordCount;
    m_ui.gauge->setValue(StatisticsManager::goalPercent(words, m_wordGoal));
    m_ui.chartRow->setVisible(m_wordGoal >= 1 && words < m_wordGoal);
    if (m_ui.chartRow->isVisibleTo(this))
        updateDaysChart();
    label(QStringLiteral("summaryView"))
        ->setText(StatisticsManager::summaryText(m_wordGoal, words, m_report.wordsPerDay, now()));
}

void StatisticsViewController::updateDaysChart()
{
    const QDate today = StatisticsManager::calendarDay(now());
    const WeekChart::Data week = WeekChart::build(m_report.todaysWords, m_report.wordsPerDay, m_report.days, today);
    const bool dark = ColorScheme::isDark();
    const QLocale locale;
    QList<DataEntry> entries;
    for (const WeekChart::Slot& slot : week.week) {
        DataEntry entry;
        entry.height = slot.height;
        entry.title = locale.toString(slot.day, QStringLiteral("ddd"));
        switch (slot.tone) {
        case WeekChart::Tone::Future:
            entry.color = dark ? Qt::white : Qt::black;
            break;
        case WeekChart::Tone::NoWords:
            entry.color = hex(RedColorHex);
            break;
        case WeekChart::Tone::Negative:
            entry.color = m_neutralTextColor;
            break;
        case WeekChart::Tone::BelowAverage:
            entry.color = hex(YellowColorHex);
            break;
        case WeekChart::Tone::AtOrAboveAverage:
            entry.color = hex(GreenColorHex);
            break;
        }
        if (slot.tone != WeekChart::Tone::Future)
            entry.textValue = QString::number(slot.words);
        entries.append(entry);
    }
    m_ui.chart->updateDataEntries(entries, false, week.midPoint);
}

void StatisticsViewController::applyColors()
{
    const bool dark = ColorScheme::isDark();
    SheetChrome::paintBackground({this, m_ui.scroll->viewport(), m_ui.contentView}, BackgroundColorHex,
                                 BackgroundColorDarkHex);
    m_neutralTextColor = dark ? Qt::white : Qt::black;
    m_ui.gauge->setFaceColor(dark ? Qt::black : Qt::white);
    m_ui.gauge->setValueTextColor(dark ? Qt::white : QColor::fromRgbF(0.3, 0.3, 0.3));
    m_ui.gauge->setTrackColor(QColor::fromRgbF(dark ? 0.7 : 0.3, dark ? 0.7 : 0.3, dark ? 0.7 : 0.3));
    const QColor cell = hex(dark ? CellColorDarkHex : CellColorHex);
    for (StatisticsCell* each : std::as_const(m_ui.cells))
        each->setColor(cell);
    m_ui.badges->setGround(cell);
    if (m_loaded && m_ui.chartRow->isVisibleTo(this))
        updateDaysChart();
}

void StatisticsViewController::loadAchievements()
{
    if (!m_ui.badges->isEmpty())
        return;
    if (!m_achievements) {
        m_achievements = new AchievementsManager(m_context, m_projectId, this);
        m_achievements->setClock(m_clock);
    }
    // Judged on the figures the screen shows, the editor's unsaved stretch included.
    m_achievements->updateAchievements(m_report.cardStats.wordCount, m_report.streakDays, m_report.wordsPerDay);
    m_ui.badges->build(*m_achievements);
}

void StatisticsViewController::openAchievement(const QString& tag)
{
    const Achievement* achievement = m_achievements ? m_achievements->getAchievementForTag(tag) : nullptr;
    if (!achievement || !achievement->isAchieved())
        return;
    Project* project = m_context ? DbHelpers::getProject(m_context, m_projectId) : nullptr;
    std::optional<QString> title;
    if (project)
        title = project->projectTitle();
    AchievementViewController::present(this, *achievement, title, true);
}

std::optional<qint64> StatisticsViewController::goalFromText(const QString& text)
{
    // An empty field is no goal.
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0;
    bool ok = false;
    const qint64 goal = trimmed.toLongLong(&ok);
    if (!ok || goal < 0 || goal > MaximumWordGoal)
        return std::nullopt;
    return goal;
}

void StatisticsViewController::goalEdited(const QString& text)
{
    const std::optional<qint64> goal = goalFromText(text);
    m_ui.goalMessage->setVisible(!goal);
    // A refused entry changes nothing: the figures keep the last goal that was a goal.
    if (!goal)
        return;
    m_wordGoal = *goal;
    m_goalChanged = true;
    if (m_loaded)
        showGoalFigures();
}

void StatisticsViewController::storeGoal()
{
    if (!m_goalChanged || !m_context)
        return;
    m_goalChanged = false;
    // Left with a refused entry in the field, the stored goal stays: what the field shows was never a goal.
    if (!goalFromText(m_ui.goalField->text()))
        return;
    if (SettingsHelper::getWordTarget(m_context, m_projectId) == m_wordGoal &&
        SettingsHelper::fetchSetting(m_context, m_projectId, SettingsHelper::WordTargetKey))
        return;
    SettingsHelper::setValue(m_context, m_projectId, SettingsHelper::WordTargetKey,
                             SettingsHelper::textFromInt(m_wordGoal), true);
    ProjectSetting* record = SettingsHelper::fetchSetting(m_context, m_projectId, SettingsHelper::WordTargetKey);
    if (!record)
        return;
    // The warning goes over the screen the writer returns to; this sheet is on its way out.
    QWidget* presenter = presentingViewController();
    DbHelpers::saveManagedObjects(m_context, {record}, presenter ? presenter : window());
}
