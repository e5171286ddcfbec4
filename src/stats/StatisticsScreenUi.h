#pragma once

#include <QHash>
#include <QList>
#include <QString>

class BadgeStack;
class BasicBarChart;
class GaugeView;
class QGridLayout;
class QLabel;
class QLineEdit;
class QScrollArea;
class QWidget;
class StatisticsCell;

// The widgets of the statistics screen, made and laid out once; the screen fills them. The figure labels carry
// the names their figures go by ("summaryView", "streakView", ...).
class StatisticsScreenUi {
public:
    static constexpr int TrendIconSide = 18;

    void setupUi(QWidget* screen);

    QScrollArea* scroll = nullptr;
    QWidget* contentView = nullptr;
    QLineEdit* goalField = nullptr;
    QLabel* goalMessage = nullptr;
    GaugeView* gauge = nullptr;
    StatisticsCell* chartRow = nullptr;
    BasicBarChart* chart = nullptr;
    BadgeStack* badges = nullptr;
    QLabel* wordsTrend = nullptr;
    QLabel* timeTrend = nullptr;
    QHash<QString, QLabel*> labels;
    // Every panel, coloured together.
    QList<StatisticsCell*> cells;

private:
    StatisticsCell* makeCell();
    QWidget* buildGoalCell();
    QWidget* buildFigures();
    QLabel* addFigure(QGridLayout* grid, int row, int column, const QString& caption, const QString& name,
                      QLabel** trend = nullptr, int columnSpan = 1);
};
