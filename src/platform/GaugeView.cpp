#include "GaugeView.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// The ring opens at the bottom: it starts at the lower left and runs clockwise over the top to the lower right.
constexpr double StartAngle = 225;
constexpr double SweepAngle = 270;

} // namespace

GaugeView::GaugeView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("gaugeView"));
    m_valueFont = font();
    m_valueFont.setBold(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void GaugeView::setValue(double value)
{
    // A value that is no number draws as the minimum rather than an undefined ring.
    m_value = std::isfinite(value) ? value : m_minValue;
    update();
}

void GaugeView::setRange(double minValue, double maxValue)
{
    m_minValue = minValue;
    m_maxValue = maxValue;
    update();
}

void GaugeView::setUnitText(const QString& text)
{
    m_unitText = text;
    update();
}

void GaugeView::setValueFont(const QFont& font)
{
    m_valueFont = font;
    update();
}

void GaugeView::setFaceColor(const QColor& color)
{
    m_faceColor = color;
    update();
}

void GaugeView::setValueTextColor(const QColor& color)
{
    m_valueTextColor = color;
    update();
}

void GaugeView::setTrackColor(const QColor& color)
{
    m_trackColor = color;
    update();
}

void GaugeView::setRingColor(const QColor& color)
{
    m_ringColor = color;
    update();
}

double GaugeView::fillFraction() const
{
    const double span = m_maxValue - m_minValue;
    if (!(span > 0))
        return 0;
    return std::clamp((m_value - m_minValue) / span, 0.0, 1.0);
}

QString GaugeView::valueText() const
{
    return QString::number(std::llround(m_value));
}

void GaugeView::paintEvent(QPaintEvent*)
{
    const double side = std::min(width(), height());
    if (side < 4)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double ring = std::max(3.0, side * 0.08);
    const QRectF face((width() - side) / 2 + 1, (height() - side) / 2 + 1, side - 2, side - 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_faceColor);
    painter.drawEllipse(face);

    const QRectF arc = face.adjusted(ring, ring, -ring, -ring);
    QPen pen(m_trackColor, ring, Qt::SolidLine, Qt::RoundCap);
    painter.setBrush(Qt::NoBrush);
    QColor track = m_trackColor;
    track.setAlphaF(track.alphaF() * 0.35);
    pen.setColor(track);
    painter.setPen(pen);
    // QPainter counts angles anticlockwise in sixteenths of a degree.
    painter.drawArc(arc, int(StartAngle * 16), int(-SweepAngle * 16));
    const double fill = fillFraction();
    if (fill > 0) {
        pen.setColor(m_ringColor);
        painter.setPen(pen);
        painter.drawArc(arc, int(StartAngle * 16), int(-SweepAngle * fill * 16));
    }

    // The text is shrunk until it fits inside the ring, so a value of many digits never spills over it.
    const QRectF inner = arc.adjusted(ring, ring, -ring, -ring);
    QFont valueFont = m_valueFont;
    const QString text = valueText();
    for (int guard = 0; guard < 40 && QFontMetricsF(valueFont).horizontalAdvance(text) > inner.width() * 0.9; ++guard)
        valueFont.setPointSizeF(std::max(4.0, valueFont.pointSizeF() * 0.9));
    painter.setPen(m_valueTextColor);
    painter.setFont(valueFont);
    const QFontMetricsF valueMetrics(valueFont);
    painter.drawText(
        QRectF(inner.left(), inner.center().y() - valueMetrics.height() / 2, inner.width(), valueMetrics.height()),
        Qt::AlignCenter, text);
    if (!m_unitText.isEmpty()) {
        QFont unitFont = font();
        unitFont.setPointSizeF(std::max(6.0, valueFont.pointSizeF() * 0.45));
        painter.setFont(unitFont);
        painter.drawText(QRectF(inner.left(), inner.center().y() + valueMetrics.height() / 2, inner.width(),
                                QFontMetricsF(unitFont).height()),
                         Qt::AlignCenter, m_unitText);
    }
}
