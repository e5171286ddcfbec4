#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

// A round gauge: an open ring filled from its start in proportion to the value, with the value written in the
// middle. The ring is full at the maximum and never runs past it, while the written value goes on (a project at
// 120% of its goal shows a full ring and "120").
class GaugeView : public QWidget {
    Q_OBJECT

public:
    explicit GaugeView(QWidget* parent = nullptr);

    double value() const { return m_value; }
    void setValue(double value);
    double minValue() const { return m_minValue; }
    double maxValue() const { return m_maxValue; }
    // An empty or reversed range draws an empty ring.
    void setRange(double minValue, double maxValue);
    // The text under the value, such as a unit; empty shows none.
    QString unitText() const { return m_unitText; }
    void setUnitText(const QString& text);
    QFont valueFont() const { return m_valueFont; }
    void setValueFont(const QFont& font);

    // The three colours a screen sets for its appearance: the dial's face, the value and unit text, and the
    // unfilled part of the ring.
    QColor faceColor() const { return m_faceColor; }
    void setFaceColor(const QColor& color);
    QColor valueTextColor() const { return m_valueTextColor; }
    void setValueTextColor(const QColor& color);
    QColor trackColor() const { return m_trackColor; }
    void setTrackColor(const QColor& color);
    QColor ringColor() const { return m_ringColor; }
    void setRingColor(const QColor& color);

    // The filled share of the ring, 0 to 1.
    double fillFraction() const;
    // The value as written in the middle: whole numbers, no clamping.
    QString valueText() const;

    QSize sizeHint() const override { return {160, 160}; }
    QSize minimumSizeHint() const override { return {60, 60}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_value = 0;
    double m_minValue = 0;
    double m_maxValue = 100;
    QString m_unitText;
    QFont m_valueFont;
    QColor m_faceColor = Qt::white;
    QColor m_valueTextColor = QColor::fromRgbF(0.3, 0.3, 0.3);
    QColor m_trackColor = QColor::fromRgbF(0.3, 0.3, 0.3);
    QColor m_ringColor = QColor(0x43, 0xD4, 0x59);
};
