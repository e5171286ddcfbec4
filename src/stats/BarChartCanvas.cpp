#include "BarChartCanvas.h"

#include <QPainter>
#include <QPainterPath>

BarChartCanvas::BarChartCanvas(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("barChartCanvas"));
}

void BarChartCanvas::setContent(const QList<HorizontalLine>& lines, const QList<BasicBarEntry>& bars,
                                const QList<BasicBarEntry>& oldBars)
{
    m_lines = lines;
    m_bars = bars;
    m_oldBars = oldBars;
    update();
}

void BarChartCanvas::setProgress(double progress)
{
    m_progress = progress;
    update();
}

QRectF BarChartCanvas::between(const QRectF& from, const QRectF& to) const
{
    const double t = m_progress;
    return QRectF(from.x() + (to.x() - from.x()) * t, from.y() + (to.y() - from.y()) * t,
                  from.width() + (to.width() - from.width()) * t, from.height() + (to.height() - from.height()) * t);
}

void BarChartCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const HorizontalLine& line : std::as_const(m_lines)) {
        QPen pen(lineColor(), line.width);
        if (line.isDashed)
            pen.setDashPattern({4 / line.width, 4 / line.width});
        painter.setPen(pen);
        painter.drawLine(line.segment);
    }
    QFont font = painter.font();
    font.setPixelSize(FontPixelSize);
    painter.setFont(font);
    const bool moving = m_progress < 1;
    for (qsizetype i = 0; i < m_bars.size(); ++i) {
        const BasicBarEntry& bar = m_bars[i];
        const BasicBarEntry* old = moving && i < m_oldBars.size() ? &m_oldBars[i] : nullptr;
        const QRectF frame = old ? between(old->barFrame(), bar.barFrame()) : bar.barFrame();
        if (frame.height() > 0) {
            QPainterPath path;
            const double radius = std::min({CornerRadius, frame.width() / 2, frame.height() / 2});
            path.addRoundedRect(frame, radius, radius);
            painter.fillPath(path, bar.data.color);
        }
        painter.setPen(bar.data.color);
        const QRectF valueFrame = old ? between(old->textValueFrame(), bar.textValueFrame()) : bar.textValueFrame();
        const QRectF titleFrame = old ? between(old->titleFrame(), bar.titleFrame()) : bar.titleFrame();
        painter.drawText(valueFrame, Qt::AlignCenter, bar.data.textValue);
        painter.drawText(titleFrame, Qt::AlignCenter, bar.data.title);
    }
}
