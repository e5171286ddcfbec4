#include "stats/BasicBarChart.h"
#include "StatsFixture.h"
#include "TestWait.h"
#include "stats/BarChartCanvas.h"
#include "stats/BasicBarChartPresenter.h"
#include "stats/StatisticsCell.h"
#include "stats/WeekChart.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QVariantAnimation>
#include <gtest/gtest.h>

namespace {

QList<DataEntry> entries(int count, float height = 0.5f)
{
    QList<DataEntry> list;
    for (int i = 0; i < count; ++i)
        list.append(DataEntry{Qt::red, height, QString::number(i), QStringLiteral("Day")});
    return list;
}

BasicBarChartPresenter presenterWith(int count, float height = 0.5f)
{
    BasicBarChartPresenter presenter;
    presenter.setDataEntries(entries(count, height));
    return presenter;
}

TEST(BasicBarChartPresenterTest, noEntriesLeaveOnlyTheGuideLinesOverOneGap)
{
    const BasicBarChartPresenter presenter = presenterWith(0);
    EXPECT_TRUE(presenter.computeBarEntries(220, 400).isEmpty());
    EXPECT_EQ(presenter.contentWidth(), 30);
    EXPECT_EQ(presenter.computeHorizontalLines(220, 400, 0.5).size(), 3);
}

TEST(BasicBarChartPresenterTest, sevenBarsIn360ScrollFromTheFirstGap)
{
    const BasicBarChartPresenter presenter = presenterWith(7);
    const QList<BasicBarEntry> bars = presenter.computeBarEntries(220, 360);
    ASSERT_EQ(bars.size(), 7);
    EXPECT_EQ(bars[0].origin.x(), 30);
    EXPECT_EQ(bars[6].origin.x(), 30 + 6 * 50);
    EXPECT_EQ(presenter.contentWidth(), 380);
}

TEST(BasicBarChartPresenterTest, sevenBarsIn600AreCentred)
{
    const QList<BasicBarEntry> bars = presenterWith(7).computeBarEntries(220, 600);
    ASSERT_EQ(bars.size(), 7);
    EXPECT_EQ(bars[0].origin.x(), 140);
}

TEST(BasicBarChartPresenterTest, barHeightIsTheShareOfTheHeightBetweenTheMargins)
{
    const QList<BasicBarEntry> bars = presenterWith(1, 0.25f).computeBarEntries(280, 600);
    ASSERT_EQ(bars.size(), 1);
    EXPECT_EQ(bars[0].barHeight, 50);
    EXPECT_EQ(bars[0].origin.y(), 240 - 50);
    EXPECT_EQ(bars[0].barWidth, 20);
    EXPECT_EQ(bars[0].space, 30);
}

TEST(BasicBarChartPresenterTest, midPointZeroDrawsTheDashedLineHalfWay)
{
    const QList<HorizontalLine> lines = presenterWith(7).computeHorizontalLines(280, 400, 0);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].segment, QLineF(0, 240, 400, 240));
    EXPECT_FALSE(lines[0].isDashed);
    EXPECT_EQ(lines[1].segment, QLineF(0, 140, 400, 140));
    EXPECT_TRUE(lines[1].isDashed);
    EXPECT_EQ(lines[2].segment, QLineF(0, 40, 400, 40));
    EXPECT_FALSE(lines[2].isDashed);
    for (const HorizontalLine& line : lines)
        EXPECT_EQ(line.width, 0.5);
}

TEST(BasicBarChartPresenterTest, emptyBarKeepsItsTextsAboveAndBelowTheBottomLine)
{
    const QList<BasicBarEntry> bars = presenterWith(1, 0).computeBarEntries(220, 400);
    ASSERT_EQ(bars.size(), 1);
    EXPECT_EQ(bars[0].barHeight, 0);
    EXPECT_EQ(bars[0].textValueFrame(), QRectF(bars[0].origin.x() - 15, 180 - 30, 50, 22));
    EXPECT_EQ(bars[0].titleFrame(), QRectF(bars[0].origin.x() - 15, 180 + 10, 50, 22));
}

TEST(BasicBarChartPresenterTest, tinyViewNeverGivesNegativeGeometry)
{
    for (const QSizeF size : {QSizeF(0, 0), QSizeF(10, 30), QSizeF(60, 79), QSizeF(5, 81)}) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
        const BasicBarChartPresenter presenter = presenterWith(7, 1.0f);
        // Every bar and line is still laid out, however small the view: none may be dropped to dodge the check.
        const QList<BasicBarEntry> bars = presenter.computeBarEntries(size.height(), size.width());
        ASSERT_EQ(bars.size(), 7);
        for (const BasicBarEntry& bar : bars) {
            EXPECT_GE(bar.barHeight, 0);
            EXPECT_GE(bar.origin.y(), 0);
            EXPECT_GE(bar.origin.x(), 0);
        }
        const QList<HorizontalLine> lines = presenter.computeHorizontalLines(size.height(), size.width(), 0.3);
        ASSERT_EQ(lines.size(), 3);
        for (const HorizontalLine& line : lines) {
            EXPECT_GE(line.segment.y1(), 0);
            EXPECT_GE(line.segment.x2(), 0);
        }
    }
}

TEST(BasicBarChartPresenterTest, shareOutsideZeroToOneStaysBetweenTheLines)
{
    BasicBarChartPresenter presenter;
    presenter.setDataEntries({DataEntry{Qt::red, 3.0f, {}, {}}, DataEntry{Qt::red, -1.0f, {}, {}},
                              DataEntry{Qt::red, std::numeric_limits<float>::quiet_NaN(), {}, {}}});
    const QList<BasicBarEntry> bars = presenter.computeBarEntries(280, 600);
    EXPECT_EQ(bars[0].barHeight, 200);
    EXPECT_EQ(bars[1].barHeight, 0);
    EXPECT_EQ(bars[2].barHeight, 0);
}

TEST(BasicBarChartTest, narrowChartScrollsOverTheBarsWidth)
{
    BasicBarChart chart;
    chart.resize(360, 240);
    chart.show();
    chart.updateDataEntries(entries(7), false, 0.5f);
    EXPECT_EQ(chart.canvas()->width(), 380);
    EXPECT_GT(chart.scrollView()->horizontalScrollBar()->maximum(), 0);
    EXPECT_FALSE(chart.scrollView()->verticalScrollBar()->isVisible());
    ASSERT_EQ(chart.barEntries().size(), 7);
    EXPECT_EQ(chart.barEntries()[0].origin.x(), 30);
    // A resize lays it out again: wide enough now to centre.
    chart.resize(600, 240);
    EXPECT_EQ(chart.barEntries()[0].origin.x(), 140);
    EXPECT_EQ(chart.canvas()->width(), 600);
}

TEST(BasicBarChartTest, growingBarsKeepGrowingWhileTheChartIsPaintedAndATallerViewRaisesThem)
{
    BasicBarChart chart;
    chart.resize(600, 240);
    chart.show();
    chart.updateDataEntries(entries(7, 0.2f), false, 0.5f);
    auto* animation = chart.findChild<QVariantAnimation*>();
    ASSERT_NE(animation, nullptr);
    QSignalSpy finished(animation, &QAbstractAnimation::finished);
    chart.updateDataEntries(entries(7, 0.8f), true, 0.5f);
    ASSERT_EQ(animation->state(), QAbstractAnimation::Running);
    // Painting the chart (its viewport among it) while the bars move is no new size: they move on to the end.
    chart.repaint();
    ASSERT_TRUE(waitFor([&] { return animation->state() != QAbstractAnimation::Running; }));
    ASSERT_EQ(finished.count(), 1) << "stopped before the bars reached their heights";
    {
        // Once moved, each bar is painted to its new top.
        QImage image(chart.canvas()->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        chart.canvas()->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const QRectF bar = chart.barEntries().first().barFrame();
        const QPoint top(int(bar.center().x()), int(bar.top() + BarChartCanvas::CornerRadius + 2));
        EXPECT_EQ(image.pixelColor(top), QColor(Qt::red));
    }
    const double before = chart.barEntries().first().barHeight;

    // A taller view lays the bars out again for its height at once, without moving them there.
    chart.resize(600, 340);
    const QSize viewport = chart.scrollView()->viewport()->size();
    ASSERT_EQ(viewport.height(), 340);
    EXPECT_EQ(chart.canvas()->height(), 340);
    EXPECT_EQ(chart.barEntries().first().barHeight,
              chart.presenter().computeBarEntries(340, viewport.width()).first().barHeight);
    EXPECT_GT(chart.barEntries().first().barHeight, before);
    EXPECT_EQ(animation->state(), QAbstractAnimation::Stopped);
}

// A bar 40 wide and 120 tall with its top left at (60, 50), its value and day written in its colour.
BasicBarEntry redBar(const QColor& color)
{
    BasicBarEntry bar;
    bar.origin = QPointF(60, 50);
    bar.barWidth = 40;
    bar.barHeight = 120;
    bar.space = 30;
    bar.data = DataEntry{color, 0.5f, QStringLiteral("12"), QStringLiteral("Mon")};
    return bar;
}

// A 200 by 220 canvas holding the lines and the bar, painted over white.
QImage paintedOnWhite(const QList<HorizontalLine>& lines, const BasicBarEntry& bar)
{
    BarChartCanvas canvas;
    canvas.resize(200, 220);
    canvas.setContent(lines, {bar}, {});
    QImage image(canvas.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    canvas.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TEST(BarChartCanvasTest, roundedBarCornersAreSmoothedIntoTheBackground)
{
    const QColor barColor(200, 30, 30);
    const BasicBarEntry bar = redBar(barColor);
    const QImage image = paintedOnWhite({}, bar);

    ASSERT_EQ(image.pixelColor(80, 110), barColor) << "the bar is drawn";
    // Each corner's square of the radius: outside the arc white, inside the bar's colour, and along the arc
    // pixels between the two.
    const int radius = int(BarChartCanvas::CornerRadius);
    const QList<QPoint> corners{{60, 50}, {100 - radius, 50}, {60, 170 - radius}, {100 - radius, 170 - radius}};
    for (const QPoint& corner : corners) {
        SCOPED_TRACE(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y()).toStdString());
        int blended = 0;
        for (int y = corner.y(); y < corner.y() + radius; ++y)
            for (int x = corner.x(); x < corner.x() + radius; ++x) {
                const QColor pixel = image.pixelColor(x, y);
                blended += pixel != barColor && pixel != QColor(Qt::white) ? 1 : 0;
            }
        EXPECT_GE(blended, radius / 2);
    }
}

TEST(BarChartCanvasTest, valueAndDayAreWrittenInTheBarsColourAfterAGuideLine)
{
    const QColor barColor(200, 30, 30);
    const BasicBarEntry bar = redBar(barColor);
    HorizontalLine line;
    line.segment = QLineF(0, 215, 200, 215);
    line.width = 1;
    const QImage image = paintedOnWhite({line}, bar);
    for (const QRectF& frame : {bar.textValueFrame(), bar.titleFrame()}) {
        // The darkest pixel of the lettering: the bar's red, not the grey of the line drawn before it.
        QColor darkest(Qt::white);
        const QRect box = frame.toAlignedRect().intersected(image.rect());
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                if (image.pixelColor(x, y).value() < darkest.value())
                    darkest = image.pixelColor(x, y);
        EXPECT_GT(darkest.red() - darkest.green(), 100) << darkest.name().toStdString();
    }
}

TEST(BasicBarChartTest, chartShowsTheCellItSitsInThrough)
{
    StatisticsCell cell;
    cell.resize(400, 260);
    BasicBarChart chart(&cell);
    chart.setGeometry(20, 20, 360, 220);
    cell.show();
    chart.updateDataEntries(entries(7), false, 0.5f);
    const QImage image = cell.grab().toImage();
    // Above the guide lines and the bars' values, nothing of the chart's own is painted.
    EXPECT_EQ(image.pixelColor(25, 25).rgb(), cell.color().rgb());
}

// 18 March 2026 is a Wednesday.
class WeekChartTest : public StatsFixture {
protected:
    const QDate wednesday{2026, 3, 18};
    DayStat day(int dayOfMonth, qint64 words)
    {
        return DayStat(projectId, {}, local(2026, 3, dayOfMonth).toUTC(), 60, {}, words);
    }
};

TEST_F(WeekChartTest, weekRunsSundayToSaturdayWithTheDaysAfterTodayEmpty)
{
    const WeekChart::Data data = WeekChart::build(30, 20, {day(17, 10), day(15, 25)}, wednesday);
    ASSERT_EQ(data.week.size(), 7);
    EXPECT_EQ(data.week.first().day, QDate(2026, 3, 15));
    EXPECT_EQ(data.week.last().day, QDate(2026, 3, 21));
    EXPECT_EQ(data.week[0].words, 25);
    EXPECT_EQ(data.week[2].words, 10);
    EXPECT_EQ(data.week[3].words, 30);
    for (int i = 4; i < 7; ++i) {
        EXPECT_EQ(data.week[i].tone, WeekChart::Tone::Future);
        EXPECT_EQ(data.week[i].height, 0);
    }
}

TEST_F(WeekChartTest, smallAverageUsesTheSmallReferenceAndABestDayRaisesTheScale)
{
    const WeekChart::Data quiet = WeekChart::build(4, 10, {}, wednesday);
    EXPECT_EQ(quiet.scale, 10);
    EXPECT_FLOAT_EQ(quiet.midPoint, 0.5f);
    EXPECT_FLOAT_EQ(quiet.week[3].height, 0.4f);

    const WeekChart::Data busy = WeekChart::build(40, 10, {}, wednesday);
    EXPECT_EQ(busy.scale, 80);
    EXPECT_FLOAT_EQ(busy.midPoint, 5.0f / 80.0f);
    EXPECT_FLOAT_EQ(busy.week[3].height, 0.5f);
}

TEST_F(WeekChartTest, nothingWrittenGivesFlatBarsAndTheMiddleLineHalfWay)
{
    const WeekChart::Data data = WeekChart::build(0, 0, {}, wednesday);
    EXPECT_FLOAT_EQ(data.midPoint, 0.5f);
    for (const WeekChart::Slot& slot : data.week)
        EXPECT_EQ(slot.height, 0);
}

TEST_F(WeekChartTest, dayTonesFollowTheAverage)
{
    const WeekChart::Data data = WeekChart::build(100, 100, {day(17, 99), day(16, 0), day(15, -20)}, wednesday);
    EXPECT_EQ(data.week[0].tone, WeekChart::Tone::Negative);
    EXPECT_EQ(data.week[0].height, 0);
    EXPECT_EQ(data.week[1].tone, WeekChart::Tone::NoWords);
    EXPECT_EQ(data.week[2].tone, WeekChart::Tone::BelowAverage);
    EXPECT_EQ(data.week[3].tone, WeekChart::Tone::AtOrAboveAverage);
}

} // namespace
