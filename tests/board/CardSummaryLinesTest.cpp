#include "board/CardSummaryLines.h"
#include "board/CardCellDelegate.h"
#include "board/CardListModel.h"
#include "core/StoreConstants.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>
#include <gtest/gtest.h>

namespace {

const QString LongSummary = QStringLiteral(
    "The keeper climbed the stair at dusk, counting the steps as his father had, and found the lamp already lit "
    "by a hand he did not know. Below, the tide turned over the rocks and the gulls settled on the rail, and "
    "somewhere past the point a bell rang twice for a ship that was not on any list he kept.");

QFont summaryFont()
{
    QFont font;
    font.setPixelSize(12);
    return font;
}

TEST(CardSummaryLinesTest, onlyWholeLinesFitAndTheLastSaysThereIsMore)
{
    const QFont font = summaryFont();
    const int step = CardSummaryLines::lineStep(font);
    ASSERT_GT(step, 0);
    const QFontMetrics metrics(font);
    for (int height : {step - 1, step, 3 * step - 1, 3 * step, 3 * step + 1}) {
        const QStringList lines = CardSummaryLines::visibleLines(LongSummary, font, 200, height);
        ASSERT_EQ(lines.size(), height / step) << "height " << height;
        if (lines.isEmpty())
            continue;
        EXPECT_TRUE(lines.last().endsWith(CardSummaryLines::Ellipsis)) << "height " << height;
        for (const QString& line : lines)
            EXPECT_LE(metrics.horizontalAdvance(line), 200) << line.toStdString();
        EXPECT_TRUE(LongSummary.startsWith(lines.first().chopped(lines.size() == 1 ? 1 : 0).trimmed()));
    }
}

TEST(CardSummaryLinesTest, summaryThatFitsIsShownWholeWithoutEllipsis)
{
    const QFont font = summaryFont();
    const int step = CardSummaryLines::lineStep(font);
    const QStringList lines = CardSummaryLines::visibleLines(QStringLiteral("It begins."), font, 200, 3 * step);
    EXPECT_EQ(lines, QStringList({QStringLiteral("It begins.")}));
    // Exactly as many lines as the box holds: nothing is cut, so nothing is marked.
    const QStringList two =
        CardSummaryLines::visibleLines(QStringLiteral("First line\nSecond line"), font, 200, 2 * step);
    EXPECT_EQ(two, QStringList({QStringLiteral("First line"), QStringLiteral("Second line")}));
    const QStringList cut =
        CardSummaryLines::visibleLines(QStringLiteral("First line\nSecond line\nThird"), font, 200, 2 * step);
    ASSERT_EQ(cut.size(), 2);
    EXPECT_EQ(cut.first(), QStringLiteral("First line"));
    EXPECT_TRUE(cut.last().startsWith(QStringLiteral("Second line")));
    EXPECT_TRUE(cut.last().endsWith(CardSummaryLines::Ellipsis));
}

TEST(CardSummaryLinesTest, noRoomOrNoTextGivesNoLines)
{
    const QFont font = summaryFont();
    EXPECT_TRUE(CardSummaryLines::visibleLines(LongSummary, font, 0, 100).isEmpty());
    EXPECT_TRUE(CardSummaryLines::visibleLines(LongSummary, font, 200, 0).isEmpty());
    EXPECT_TRUE(CardSummaryLines::visibleLines(QString(), font, 200, 100).isEmpty());
}

// The rows of image inside rect where anything darker than the cell's white is drawn.
QList<int> inkRows(const QImage& image, const QRect& rect)
{
    QList<int> rows;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (QColor(image.pixel(x, y)).lightness() < 200) {
                rows.append(y);
                break;
            }
        }
    }
    return rows;
}

TEST(CardSummaryLinesTest, cellShowsItsSummaryAsWholeLinesOnly)
{
    QStandardItemModel model(1, 1);
    const QModelIndex index = model.index(0, 0);
    model.setData(index, false, CardListModel::IsFolderRole);
    model.setData(index, ProjectItemTypes::Person, CardListModel::ItemTypeRole);
    model.setData(index, QStringLiteral("Mara"), CardListModel::TitleRole);
    model.setData(index, LongSummary + QLatin1Char(' ') + LongSummary, CardListModel::SummaryRole);
    CardCellDelegate delegate;
    for (bool compact : {true, false}) {
        delegate.setCompactCards(compact);
        // Heights chosen so that the summary box is not a whole number of lines high.
        for (int height : {150, 168, 204, 211}) {
            const QRect cell(0, 0, 240, height);
            QImage canvas(cell.size(), QImage::Format_ARGB32);
            canvas.fill(Qt::white);
            QPainter painter(&canvas);
            QStyleOptionViewItem option;
            option.rect = cell;
            delegate.paint(&painter, option, index);
            painter.end();

            QFont font;
            font.setPixelSize(compact ? 12 : 14);
            const int step = CardSummaryLines::lineStep(font);
            const QRect body = delegate.summaryRect(cell);
            const int whole = body.height() / step;
            ASSERT_GT(whole, 0);
            const QList<int> rows = inkRows(canvas, body);
            ASSERT_FALSE(rows.isEmpty());
            // Ink reaches into the last whole line and never below it.
            EXPECT_GE(rows.last(), body.top() + (whole - 1) * step) << "compact " << compact << " height " << height;
            EXPECT_LT(rows.last(), body.top() + whole * step) << "compact " << compact << " height " << height;
        }
    }
}

} // namespace
