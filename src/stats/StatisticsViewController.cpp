#include "StatisticsViewController.h"

#include "AchievementViewController.h"
#include "AchievementsManager.h"
#include "BadgeStack.h"
#include "BasicBarChart.h"
#include "StatisticsCell.h"
#include "StatisticsManager.h"
#include "WeekChart.h"
#include "core/AppDelegate.h"
#include "core/DbHelpers.h"
#include "core/HexColor.h"
#include "core/ImageHelpers.h"
#include "core/NavigationHelpers.h"
#include "core/Project.h"
#include "core/ProjectSetting.h"
#include "core/SettingsHelper.h"
#include "dialogs/RelativeDateFormatter.h"
#include "platform/BarButtonItem.h"
#include "platform/ColorScheme.h"
#include "platform/GaugeView.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
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

constexpr int TrendIconSide = 18;

QColor hex(const QString& text)
{
    return HexColor::colorWithHexString(text);
}

QLabel* captionLabel(const QString& text, QWidget* parent)
{
    auto* caption = new QLabel(text, parent);
    QFont font = caption->font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    caption->setFont(font);
    return caption;
}

} // namespace

StatisticsViewController::StatisticsViewController(QWidget* parent)
    : ViewController(parent), m_clock([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("StatisticsViewController"));
    setPreferredContentSize(QSize(620, 760));
    buildScreen();
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

StatisticsCell* StatisticsViewController::makeCell()
{
    auto* cell = new StatisticsCell(m_contentView);
    m_cells.append(cell);
    return cell;
}

void StatisticsViewController::buildScreen()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrollView"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(m_scroll);

    m_contentView = new QWidget;
    m_contentView->setObjectName(QStringLiteral("contentView"));
    auto* content = new QVBoxLayout(m_contentView);
    content->setContentsMargins(16, 16, 16, 16);
    content->setSpacing(12);
    content->addWidget(buildGoalCell());

    m_chartRow = makeCell();
    m_chartRow->setObjectName(QStringLiteral("barCharRowView"));
    auto* chartLayout = new QVBoxLayout(m_chartRow);
    chartLayout->setContentsMargins(12, 10, 12, 6);
    chartLayout->addWidget(captionLabel(tr("This Week"), m_chartRow));
    m_chart = new BasicBarChart(m_chartRow);
    m_chart->setMinimumHeight(220);
    chartLayout->addWidget(m_chart);
    content->addWidget(m_chartRow);

    content->addWidget(buildFigures());

    StatisticsCell* badgesCell = makeCell();
    auto* badgesLayout = new QVBoxLayout(badgesCell);
    badgesLayout->setContentsMargins(0, 0, 0, 0);
    m_badges = new BadgeStack(badgesCell);
    badgesLayout->addWidget(m_badges);
    connect(m_badges, &BadgeStack::achievementOpened, this, &StatisticsViewController::openAchievement);
    content->addWidget(badgesCell);
    content->addStretch(1);
    m_scroll->setWidget(m_contentView);
}

QWidget* StatisticsViewController::buildGoalCell()
{
    StatisticsCell* cell = makeCell();
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(16);
    m_gauge = new GaugeView(cell);
    m_gauge->setFixedSize(150, 150);
    m_gauge->setUnitText(QStringLiteral("%"));
    layout->addWidget(m_gauge, 0, Qt::AlignTop);

    auto* column = new QVBoxLayout;
    column->setSpacing(6);
    column->addWidget(captionLabel(tr("Word Goal"), cell));
    m_goalField = new QLineEdit(cell);
    m_goalField->setObjectName(QStringLiteral("goalField"));
    m_goalField->setFixedHeight(FieldHeight);
    m_goalField->setMaxLength(14);
    m_goalField->setPlaceholderText(tr("Words"));
    column->addWidget(m_goalField);
    m_goalMessage = new QLabel(GoalRefused, cell);
    m_goalMessage->setObjectName(QStringLiteral("goalMessage"));
    m_goalMessage->setWordWrap(true);
    m_goalMessage->setStyleSheet(QStringLiteral("color: #D93A33;"));
    m_goalMessage->hide();
    column->addWidget(m_goalMessage);
    auto* summary = new QLabel(cell);
    summary->setObjectName(QStringLiteral("summaryView"));
    summary->setWordWrap(true);
    m_labels.insert(summary->objectName(), summary);
    column->addWidget(summary);
    column->addStretch(1);
    layout->addLayout(column, 1);
    // Return puts the goal away, as the keyboard's Done does.
    connect(m_goalField, &QLineEdit::returnPressed, m_goalField, &QWidget::clearFocus);
    connect(m_goalField, &QLineEdit::textEdited, this, &StatisticsViewController::goalEdited);
    return cell;
}

QLabel* StatisticsViewController::addFigure(QGridLayout* grid, int row, int column, const QString& caption,
                                            const QString& name, QLabel** trend, int columnSpan)
{
    StatisticsCell* cell = makeCell();
    auto* layout = new QVBoxLayout(cell);
    layout->setContentsMargins(12, 8, 12, 10);
    layout->setSpacing(2);
    layout->addWidget(captionLabel(caption, cell));
    auto* valueRow = new QHBoxLayout;
    auto* value = new QLabel(cell);
    value->setObjectName(name);
    value->setWordWrap(true);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont font = value->font();
    font.setBold(true);
    value->setFont(font);
    valueRow->addWidget(value, 1);
    if (trend) {
        *trend = new QLabel(cell);
        (*trend)->setFixedSize(TrendIconSide, TrendIconSide);
        valueRow->addWidget(*trend);
    }
    layout->addLayout(valueRow);
    grid->addWidget(cell, row, column, 1, columnSpan);
    m_labels.insert(name, value);
    return value;
}

QWidget* StatisticsViewController::buildFigures()
{
    auto* figures = new QWidget(m_contentView);
    auto* grid = new QGridLayout(figures);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(12);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    addFigure(grid, 0, 0, tr("Total Words"), QStringLiteral("totalWordsView"));
    addFigure(grid, 0, 1, tr("Manuscript Pages"), QStringLiteral("totalPagesView"));
    addFigure(grid, 1, 0, tr("Total Cards"), QStringLiteral("totalCardsView"));
    addFigure(grid, 1, 1, tr("Story Cards"), QStringLiteral("storyCardsView"));
    m_wordsTrend = nullptr;
    addFigure(grid, 2, 0, tr("Average Words per Day"), QStringLiteral("avgWordsPerDayView"), &m_wordsTrend);
    addFigure(grid, 2, 1, tr("Longest Streak"), QStringLiteral("streakView"));
    addFigure(grid, 3, 0, tr("Average Time per Day"), QStringLiteral("avgTimePerDayView"), &m_timeTrend);
    addFigure(grid, 3, 1, tr("Time Spent Writing"), QStringLiteral("totalTimeInProjectView"));
    addFigure(grid, 4, 0, tr("Days of Writing"), QStringLiteral("daysSpentInProjectView"));
    addFigure(grid, 4, 1, tr("Reading Time"), QStringLiteral("averageTimeToReadView"));
    addFigure(grid, 5, 0, tr("Busiest Day"), QStringLiteral("busiestDayView"), nullptr, 2);
    addFigure(grid, 6, 0, tr("Most Productive Day"), QStringLiteral("mostProductiveDayView"), nullptr, 2);
    addFigure(grid, 7, 0, tr("Last Modified"), QStringLiteral("lastModifiedView"), nullptr, 2);
    m_wordsTrend->setObjectName(QStringLiteral("wordsTrendView"));
    m_timeTrend->setObjectName(QStringLiteral("timeTrendView"));
    return figures;
}

QDateTime StatisticsViewController::now() const
{
    return m_clock();
}

void StatisticsViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    setTitle(Title);
    QFont gaugeFont = m_gauge->valueFont();
    gaugeFont.setPixelSize(GaugeFontSize);
    gaugeFont.setBold(true);
    m_gauge->setValueFont(gaugeFont);
    m_gauge->setRange(0, 100);
}

void StatisticsViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    NavigationController* navigation = navigationController();
    if (navigation)
        NavigationHelpers::setupCustomNavbar(navigation->navigationBar());
    if (navigation && navigation->modalPresentationStyle() == PresentationStyle::FormSheet && !m_closeButton) {
        m_closeButton = new BarButtonItem(SymbolIcons::icon(CloseSymbol), this);
        m_closeButton->setObjectName(QStringLiteral("closeButton"));
        connect(m_closeButton, &QAction::triggered, this, &StatisticsViewController::done);
        navigationItem()->setRightBarButtonItem(m_closeButton);
    }
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
        m_goalField->setText(QString::number(m_wordGoal));
        loadAchievements();
    }
    ProgressHud::dismiss();
}

void StatisticsViewController::viewWillDisappear(bool animated)
{
    storeGoal();
    m_badges->clear();
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
                RelativeDateFormatter::mediumDateShortTime(m_lastModified->toLocalTime(), locale),
                RelativeDateFormatter::localizedString(*m_lastModified, now())));
    }
    label(QStringLiteral("totalPagesView"))->setText(QString::number(r.pages));
    label(QStringLiteral("totalTimeInProjectView"))
        ->setText(r.totalTime < 1 ? NoTimeText : StatisticsManager::durationText(r.totalTime));
    label(QStringLiteral("daysSpentInProjectView"))->setText(QString::number(r.daysSpent));
    showTrend(m_wordsTrend, r.wordsTrend);
    if (r.averageTimePerDay < 1) {
        label(QStringLiteral("avgTimePerDayView"))->setText(QStringLiteral("0"));
        showTrend(m_timeTrend, 0);
    } else {
        label(QStringLiteral("avgTimePerDayView"))->setText(StatisticsManager::durationText(r.averageTimePerDay));
        showTrend(m_timeTrend, r.timeTrend);
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
    const QImage icon = SymbolIcons::icon(symbol).pixmap(QSize(TrendIconSide, TrendIconSide), ratio).toImage();
    QPixmap tinted = QPixmap::fromImage(ImageHelpers::filledImageFrom(icon, tint));
    tinted.setDevicePixelRatio(ratio);
    view->setPixmap(tinted);
}

void StatisticsViewController::showGoalFigures()
{
    const qint64 words = m_report.cardStats.wordCount;
    m_gauge->setValue(StatisticsManager::goalPercent(words, m_wordGoal));
    m_chartRow->setVisible(m_wordGoal >= 1 && words < m_wordGoal);
    if (m_chartRow->isVisibleTo(this))
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
    m_chart->updateDataEntries(entries, false, week.midPoint);
}

void StatisticsViewController::applyColors()
{
    const bool dark = ColorScheme::isDark();
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, hex(dark ? BackgroundColorDarkHex : BackgroundColorHex));
    for (QWidget* widget : {static_cast<QWidget*>(this), m_scroll->viewport(), m_contentView}) {
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }
    m_neutralTextColor = dark ? Qt::white : Qt::black;
    m_gauge->setFaceColor(dark ? Qt::black : Qt::white);
    m_gauge->setValueTextColor(dark ? Qt::white : QColor::fromRgbF(0.3, 0.3, 0.3));
    m_gauge->setTrackColor(QColor::fromRgbF(dark ? 0.7 : 0.3, dark ? 0.7 : 0.3, dark ? 0.7 : 0.3));
    const QColor cell = hex(dark ? CellColorDarkHex : CellColorHex);
    for (StatisticsCell* each : std::as_const(m_cells))
        each->setColor(cell);
    if (m_loaded && m_chartRow->isVisibleTo(this))
        updateDaysChart();
}

void StatisticsViewController::loadAchievements()
{
    if (!m_badges->isEmpty())
        return;
    if (!m_achievements) {
        m_achievements = new AchievementsManager(m_context, m_projectId, this);
        m_achievements->setClock(m_clock);
    }
    // Judged on the stored records alone: the editor's unsaved stretch may yet be discarded.
    m_achievements->updateAchievements(m_report.cardStats.wordCount, m_report.storedStreakDays,
                                       m_report.storedWordsPerDay);
    m_badges->build(*m_achievements);
}

void StatisticsViewController::openAchievement(const QString& tag)
{
    const Achievement* achievement = m_achievements ? m_achievements->getAchievementForTag(tag) : nullptr;
    if (!achievement || !achievement->isAchieved())
        return;
    Project* project = m_context ? DbHelpers::getProject(m_context, m_projectId) : nullptr;
    std::optional<QString> title;
    if (project && !project->projectTitle().isEmpty())
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
    m_goalMessage->setVisible(!goal);
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
    if (!goalFromText(m_goalField->text()))
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
