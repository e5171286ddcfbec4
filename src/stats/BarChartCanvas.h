#pragma once

#include "BasicBarEntry.h"
#include "HorizontalLine.h"

#include <QList>
#include <QWidget>

// The scrolled content of BasicBarChart: paints the guide lines and the bars with their texts, each bar moved
// from its old frame to its new one by progress (1 once any animation has finished).
class BarChartCanvas : public QWidget {
    Q_OBJECT

public:
    static constexpr double CornerRadius = 8;
    static constexpr int FontPixelSize = 14;
    // Guide lines are a light grey, 205 of 255 in each channel.
    static QColor lineColor() { return QColor(205, 205, 205); }

    explicit BarChartCanvas(QWidget* parent = nullptr);

    void setContent(const QList<HorizontalLine>& lines, const QList<BasicBarEntry>& bars,
                    const QList<BasicBarEntry>& oldBars);
    void setProgress(double progress);

    const QList<HorizontalLine>& lines() const { return m_lines; }
    const QList<BasicBarEntry>& bars() const { return m_bars; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF between(const QRectF& from, const QRectF& to) const;

    QList<HorizontalLine> m_lines;
    QList<BasicBarEntry> m_bars;
    QList<BasicBarEntry> m_oldBars;
    double m_progress = 1;
};
