#include "BasicBarChart.h"

#include "BarChartCanvas.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <cmath>

BasicBarChart::BasicBarChart(QWidget* parent)
    : QWidget(parent), m_scrollView(new QScrollArea(this)), m_canvas(new BarChartCanvas),
      m_animation(new QVariantAnimation(this))
{
    setObjectName(QStringLiteral("daysChartView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scrollView->setObjectName(QStringLiteral("scrollView"));
    m_scrollView->setFrameShape(QFrame::NoFrame);
    m_scrollView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollView->setWidgetResizable(false);
    // The chart shows through: its owner colours the row it sits in.
    m_scrollView->setStyleSheet(QStringLiteral("QScrollArea { background: transparent; }"));
    m_scrollView->viewport()->setAutoFillBackground(false);
    m_scrollView->setWidget(m_canvas);
    // Set after setWidget(), which turns it on.
    m_canvas->setAutoFillBackground(false);
    m_scrollView->viewport()->installEventFilter(this);
    layout->addWidget(m_scrollView);

    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    m_animation->setDuration(AnimationMs);
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { m_canvas->setProgress(value.toDouble()); });
}

void BasicBarChart::updateDataEntries(const QList<DataEntry>& dataEntries, bool animated, float midPoint)
{
    m_animated = animated;
    m_midPoint = midPoint;
    m_presenter.setDataEntries(dataEntries);
    layoutEntries(animated);
}

QSize BasicBarChart::viewSize() const
{
    return m_scrollView->viewport()->size();
}

void BasicBarChart::layoutEntries(bool animated)
{
    const QList<BasicBarEntry> oldEntries = m_barEntries;
    const QSize size = viewSize();
    m_barEntries = m_presenter.computeBarEntries(size.height(), size.width());
    showEntries(animated ? oldEntries : QList<BasicBarEntry>());
}

QList<HorizontalLine> BasicBarChart::horizontalLines() const
{
    const QSize size = viewSize();
    const double width = std::max(m_presenter.contentWidth(), double(size.width()));
    return m_presenter.computeHorizontalLines(size.height(), width, m_midPoint);
}

void BasicBarChart::showEntries(const QList<BasicBarEntry>& oldEntries)
{
    const QSize size = viewSize();
    const int width = int(std::ceil(std::max(m_presenter.contentWidth(), double(size.width()))));
    m_canvas->resize(width, std::max(0, size.height()));
    m_animation->stop();
    m_canvas->setContent(horizontalLines(), m_barEntries, oldEntries);
    // The first drawing has nothing to move from and is never animated.
    if (oldEntries.isEmpty()) {
        m_canvas->setProgress(1);
        return;
    }
    m_canvas->setProgress(0);
    m_animation->start();
}

bool BasicBarChart::eventFilter(QObject* watched, QEvent* event)
{
    // A new size lays the chart out again, never animated.
    if (watched == m_scrollView->viewport() && event->type() == QEvent::Resize)
        layoutEntries(false);
    return QWidget::eventFilter(watched, event);
}
