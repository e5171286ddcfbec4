#include "StatisticsScreenUi.h"

#include "BadgeStack.h"
#include "BasicBarChart.h"
#include "StatisticsCell.h"
#include "StatisticsViewController.h"
#include "platform/GaugeView.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QLabel* captionLabel(const QString& text, QWidget* parent)
{
    auto* caption = new QLabel(text, parent);
    QFont font = caption->font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    caption->setFont(font);
    return caption;
}

} // namespace

StatisticsCell* StatisticsScreenUi::makeCell()
{
    auto* cell = new StatisticsCell(contentView);
    cells.append(cell);
    return cell;
}

void StatisticsScreenUi::setupUi(QWidget* screen)
{
    auto* outer = new QVBoxLayout(screen);
    outer->setContentsMargins(0, 0, 0, 0);
    scroll = new QScrollArea(screen);
    scroll->setObjectName(QStringLiteral("scrollView"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(scroll);

    contentView = new QWidget;
    contentView->setObjectName(QStringLiteral("contentView"));
    auto* content = new QVBoxLayout(contentView);
    content->setContentsMargins(16, 16, 16, 16);
    content->setSpacing(12);
    content->addWidget(buildGoalCell());

    chartRow = makeCell();
    chartRow->setObjectName(QStringLiteral("barCharRowView"));
    auto* chartLayout = new QVBoxLayout(chartRow);
    chartLayout->setContentsMargins(12, 10, 12, 6);
    chartLayout->addWidget(captionLabel(QObject::tr("This Week"), chartRow));
    chart = new BasicBarChart(chartRow);
    chart->setMinimumHeight(220);
    chartLayout->addWidget(chart);
    content->addWidget(chartRow);

    content->addWidget(buildFigures());

    StatisticsCell* badgesCell = makeCell();
    auto* badgesLayout = new QVBoxLayout(badgesCell);
    badgesLayout->setContentsMargins(0, 0, 0, 0);
    badges = new BadgeStack(badgesCell);
    badgesLayout->addWidget(badges);
    content->addWidget(badgesCell);
    content->addStretch(1);
    scroll->setWidget(contentView);
}

QWidget* StatisticsScreenUi::buildGoalCell()
{
    StatisticsCell* cell = makeCell();
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(16);
    gauge = new GaugeView(cell);
    gauge->setFixedSize(150, 150);
    gauge->setUnitText(QStringLiteral("%"));
    layout->addWidget(gauge, 0, Qt::AlignTop);

    auto* column = new QVBoxLayout;
    column->setSpacing(6);
    column->addWidget(captionLabel(QObject::tr("Word Goal"), cell));
    goalField = new QLineEdit(cell);
    goalField->setObjectName(QStringLiteral("goalField"));
    goalField->setFixedHeight(StatisticsViewController::FieldHeight);
    goalField->setMaxLength(14);
    goalField->setPlaceholderText(QObject::tr("Words"));
    column->addWidget(goalField);
    goalMessage = new QLabel(StatisticsViewController::GoalRefused, cell);
    goalMessage->setObjectName(QStringLiteral("goalMessage"));
    goalMessage->setWordWrap(true);
    goalMessage->setStyleSheet(QStringLiteral("color: #D93A33;"));
    goalMessage->hide();
    column->addWidget(goalMessage);
    auto* summary = new QLabel(cell);
    summary->setObjectName(QStringLiteral("summaryView"));
    summary->setWordWrap(true);
    labels.insert(summary->objectName(), summary);
    column->addWidget(summary);
    column->addStretch(1);
    layout->addLayout(column, 1);
    return cell;
}

QLabel* StatisticsScreenUi::addFigure(QGridLayout* grid, int row, int column, const QString& caption,
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
    labels.insert(name, value);
    return value;
}

QWidget* StatisticsScreenUi::buildFigures()
{
    auto* figures = new QWidget(contentView);
    auto* grid = new QGridLayout(figures);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(12);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    addFigure(grid, 0, 0, QObject::tr("Total Words"), QStringLiteral("totalWordsView"));
    addFigure(grid, 0, 1, QObject::tr("Manuscript Pages"), QStringLiteral("totalPagesView"));
    addFigure(grid, 1, 0, QObject::tr("Total Cards"), QStringLiteral("totalCardsView"));
    addFigure(grid, 1, 1, QObject::tr("Story Cards"), QStringLiteral("storyCardsView"));
    wordsTrend = nullptr;
    addFigure(grid, 2, 0, QObject::tr("Average Words per Day"), QStringLiteral("avgWordsPerDayView"), &wordsTrend);
    addFigure(grid, 2, 1, QObject::tr("Longest Streak"), QStringLiteral("streakView"));
    addFigure(grid, 3, 0, QObject::tr("Average Time per Day"), QStringLiteral("avgTimePerDayView"), &timeTrend);
    addFigure(grid, 3, 1, QObject::tr("Time Spent Writing"), QStringLiteral("totalTimeInProjectView"));
    addFigure(grid, 4, 0, QObject::tr("Days of Writing"), QStringLiteral("daysSpentInProjectView"));
    addFigure(grid, 4, 1, QObject::tr("Reading Time"), QStringLiteral("averageTimeToReadView"));
    addFigure(grid, 5, 0, QObject::tr("Busiest Day"), QStringLiteral("busiestDayView"), nullptr, 2);
    addFigure(grid, 6, 0, QObject::tr("Most Productive Day"), QStringLiteral("mostProductiveDayView"), nullptr, 2);
    addFigure(grid, 7, 0, QObject::tr("Last Modified"), QStringLiteral("lastModifiedView"), nullptr, 2);
    wordsTrend->setObjectName(QStringLiteral("wordsTrendView"));
    timeTrend->setObjectName(QStringLiteral("timeTrendView"));
    return figures;
}
