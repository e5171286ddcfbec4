#pragma once

#include "BasicBarChartPresenter.h"

#include <QList>
#include <QWidget>

class BarChartCanvas;
class QScrollArea;
class QVariantAnimation;

// A small bar chart: a horizontally scrollable strip of bars with rounded corners, each with its value above and
// its title below, over three guide lines. With animation, bars move and grow from where they were. Every
// update and every resize lays the whole chart out again.
class BasicBarChart : public QWidget {
    Q_OBJECT

public:
    static constexpr int AnimationMs = 500;

    explicit BasicBarChart(QWidget* parent = nullptr);

    void updateDataEntries(const QList<DataEntry>& dataEntries, bool animated, float midPoint);

    const BasicBarChartPresenter& presenter() const { return m_presenter; }
    const QList<BasicBarEntry>& barEntries() const { return m_barEntries; }
    float midPoint() const { return m_midPoint; }
    QScrollArea* scrollView() const { return m_scrollView; }
    BarChartCanvas* canvas() const { return m_canvas; }
    // The laid-out guide lines, as drawn.
    QList<HorizontalLine> horizontalLines() const;

    QSize sizeHint() const override { return {400, 220}; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutEntries(bool animated);
    void showEntries(const QList<BasicBarEntry>& oldEntries);
    QSize viewSize() const;

    QScrollArea* m_scrollView;
    BarChartCanvas* m_canvas;
    QVariantAnimation* m_animation;
    bool m_animated = false;
    float m_midPoint = 0.5f;
    BasicBarChartPresenter m_presenter;
    QList<BasicBarEntry> m_barEntries;
};
