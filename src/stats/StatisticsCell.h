#pragma once

#include <QColor>
#include <QWidget>

// One rounded panel of the statistics screen, filled with the screen's cell colour.
class StatisticsCell : public QWidget {
    Q_OBJECT

public:
    static constexpr double CornerRadius = 8;

    explicit StatisticsCell(QWidget* parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color = QColor(0xE7, 0xE7, 0xE7);
};
