#include "core/DbHelpersFixture.h"

#include "board/CardCellDelegate.h"
#include "board/CardGridMetrics.h"
#include "board/CardListModel.h"
#include "core/Indexer.h"

#include "TestInk.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <tuple>

namespace {

TEST(CardGridMetricsTest, desktopWidthsGiveTheDocumentedGrids)
{
    const auto large = CardGridMetrics::compute(1000, false, true);
    EXPECT_EQ(large.columns, 3);
    EXPECT_EQ(large.cellWidth, 306);
    EXPECT_EQ(large.cellHeight, 204);
    const auto compact = CardGridMetrics::compute(1000, true, true);
    EXPECT_EQ(compact.columns, 4);
    EXPECT_EQ(compact.cellWidth, 225);
    EXPECT_EQ(compact.cellHeight, 168);
    // Two columns of 325 would be narrower than 330, so one column of 610 x 380.
    const auto narrow = CardGridMetrics::compute(650, false, true);
    EXPECT_EQ(narrow.columns, 1);
    EXPECT_EQ(narrow.cellWidth, 610);
    EXPECT_EQ(narrow.cellHeight, 380);
}

TEST(CardGridMetricsTest, columnsChangeExactlyAtTheirBoundaries)
{
    const auto grid = [](int width, bool compact) {
        const auto result = CardGridMetrics::compute(width, compact, true);
        return QList<int>({result.columns, result.cellWidth, result.cellHeight});
    };
    // Large: 660 / 2 is 330, not below the narrowest column; 659 / 2 is.
    EXPECT_EQ(grid(660, false), QList<int>({2, 300, 200}));
    EXPECT_EQ(grid(659, false), QList<int>({1, 619, 385}));
    // Compact: 400 / 2 is 200, not below the narrowest column; 399 / 2 is.
    EXPECT_EQ(grid(400, true), QList<int>({2, 170, 126}));
    EXPECT_EQ(grid(399, true), QList<int>({1, 359, 220}));
    // 900 / 300 is exactly 3 columns; one point more rounds up to 4.
    EXPECT_EQ(grid(900, true), QList<int>({3, 273, 204}));
    EXPECT_EQ(grid(901, true), QList<int>({4, 200, 150}));
}

TEST(CardGridMetricsTest, widthWithoutRoomNeverDividesByZero)
{
    for (int width : {0, -5, 1, 30}) {
        const auto grid = CardGridMetrics::compute(width, false, true);
        EXPECT_GE(grid.columns, 1);
        EXPECT_GE(grid.cellWidth, 1);
        EXPECT_GE(grid.cellHeight, 1);
    }
}

TEST(CardGridMetricsTest, phoneUsesFixedColumnsAndTighterCompactSpacing)
{
    EXPECT_EQ(CardGridMetrics::compute(400, false, false).columns, 1);
    const auto compact = CardGridMetrics::compute(400, true, false);
    EXPECT_EQ(compact.columns, 2);
    EXPECT_EQ(compact.cellWidth, (400 - 30 - 10) / 2);
}

class CardListModelTest : public DbHelpersFixture {
protected:
    void SetUp() override
    {
        project = addProject(QStringLiteral("P"))->uniqueIdentifier();
        folder = addFolder(project, ItemIds::Top, QStringLiteral("Chapter"), 1);
        card = addItem(project, ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Opening"), 2);
        card->setWordCount(120);
        card->setCharCount(640);
        card->setSummary(QStringLiteral("It begins."));
        one = addItem(project, folder->uniqueIdentifier(), ProjectItemTypes::Idea, QStringLiteral("Spark"), 1);
        ASSERT_NO_FATAL_FAILURE(save());
        model.setCountSource(context(), project, CardFilter::AllCards, {}, {});
        model.setItems({folder, card});
    }

    QVariant value(int row, int role) { return model.data(model.index(row), role); }

    QString project;
    ProjectItem* folder = nullptr;
    ProjectItem* card = nullptr;
    ProjectItem* one = nullptr;
    CardListModel model;
};

TEST_F(CardListModelTest, footerTextsBySizeAndFormat)
{
    EXPECT_EQ(value(1, CardListModel::CompactFooterRole).toString(), QStringLiteral("Words: 120"));
    EXPECT_EQ(value(1, CardListModel::LargeFooterRole).toString(), QStringLiteral("Words: 120 Characters: 640"));
    EXPECT_TRUE(value(0, CardListModel::LargeFooterRole).toString().isEmpty());
    card->setItemFormat(ProjectItemFormats::Sketch);
    EXPECT_TRUE(value(1, CardListModel::CompactFooterRole).toString().isEmpty());
    ProjectItem* bare = addItem(project, ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Bare"));
    EXPECT_EQ(CardListModel::footerText(bare, false), QStringLiteral("Words: 0 Characters: 0"));
}

TEST_F(CardListModelTest, folderCountFollowsFilterAndSearchWithSingular)
{
    EXPECT_EQ(value(0, CardListModel::FolderSubtitleRole).toString(), QStringLiteral("1 item"));
    model.setCountSource(context(), project, ProjectItemTypes::Person, {}, {});
    EXPECT_EQ(value(0, CardListModel::FolderSubtitleRole).toString(), QStringLiteral("0 items"));
    model.setCountSource(context(), project, CardFilter::AllCards, {},
                         Indexer::predicate(QStringLiteral("terms"), QStringLiteral("nothing")));
    EXPECT_EQ(value(0, CardListModel::FolderSubtitleRole).toString(), QStringLiteral("0 items"));
    EXPECT_TRUE(value(1, CardListModel::FolderSubtitleRole).toString().isEmpty());
    EXPECT_EQ(CardListModel::itemCountText(2), QStringLiteral("2 items"));
}

TEST_F(CardListModelTest, tagSymbolOnlyForKnownTags)
{
    card->setTag(QStringLiteral("done"));
    model.refresh();
    EXPECT_EQ(value(1, CardListModel::TagSymbolRole).toString(), QStringLiteral("checkmark.seal.fill"));
    for (const QString& tag : {QStringLiteral("$clear"), QString(""), QStringLiteral("red")}) {
        card->setTag(tag);
        EXPECT_TRUE(value(1, CardListModel::TagSymbolRole).toString().isEmpty()) << tag.toStdString();
    }
}

TEST_F(CardListModelTest, undecodableSummaryImageShowsNone)
{
    card->setSummaryImage(QByteArray("not an image"));
    model.refresh();
    EXPECT_TRUE(value(1, CardListModel::SummaryImageRole).value<QImage>().isNull());
    EXPECT_TRUE(value(0, CardListModel::SummaryRole).toString().isEmpty());
    EXPECT_EQ(value(1, CardListModel::SummaryRole).toString(), QStringLiteral("It begins."));
}

TEST_F(CardListModelTest, delegatePaintsBothKindsInBothSizes)
{
    card->setNotes(QStringLiteral("n"));
    CardCellDelegate delegate;
    QImage canvas(320, 220, QImage::Format_ARGB32);
    for (bool compact : {false, true}) {
        delegate.setCompactCards(compact);
        for (int row : {0, 1}) {
            canvas.fill(Qt::transparent);
            QPainter painter(&canvas);
            QStyleOptionViewItem option;
            option.rect = QRect(0, 0, 306, 204);
            delegate.paint(&painter, option, model.index(row));
            painter.end();
            EXPECT_NE(canvas.pixel(150, 100), QColor(Qt::transparent).rgba());
        }
    }
    EXPECT_TRUE(delegate.menuButtonRect(QRect(0, 0, 306, 204)).intersects(QRect(280, 0, 26, 30)));
}

TEST_F(CardListModelTest, cardsHaveTheirRuleBetweenHeadingAndSummaryAndFoldersNone)
{
    CardCellDelegate delegate;
    const QRect cell(0, 0, 306, 204);
    auto paintRow = [&](int row) {
        QImage canvas(cell.size(), QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        QStyleOptionViewItem option;
        option.rect = cell;
        delegate.paint(&painter, option, model.index(row));
        return canvas;
    };
    const QRect body = delegate.summaryRect(cell);
    const int ruleY = body.top() - 6;
    const int inset = body.left();
    const QRgb white = QColor(Qt::white).rgb();
    const QImage card = paintRow(1);
    EXPECT_NE(card.pixel(cell.center().x(), ruleY), white);
    EXPECT_EQ(card.pixel(cell.center().x(), ruleY + 2), white);
    EXPECT_EQ(card.pixel(cell.center().x(), ruleY - 2), white);
    // It runs from the padding on the left to the padding on the right, no further.
    EXPECT_EQ(card.pixel(inset - 2, ruleY), white);
    EXPECT_NE(card.pixel(inset, ruleY), white);
    EXPECT_NE(card.pixel(cell.right() - inset, ruleY), white);
    EXPECT_EQ(card.pixel(cell.right() - inset + 1, ruleY), white);
    // Painted again, the copied tile still carries it; a folder's tile does not.
    EXPECT_EQ(paintRow(1), card);
    const QImage folder = paintRow(0);
    EXPECT_EQ(folder.pixel(cell.center().x(), ruleY), folder.pixel(cell.center().x(), ruleY + 3));
}

TEST_F(CardListModelTest, summaryBesideAPictureLeavesThePictureUncoveredAndStopsLeftOfIt)
{
    const QColor picture(0x20, 0xa0, 0x40);
    QImage solid(80, 80, QImage::Format_RGB32);
    solid.fill(picture);
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(solid.save(&buffer, "PNG"));
    card->setSummaryImage(png);
    CardCellDelegate delegate;
    const QRect cell(0, 0, 306, 204);
    auto paintWith = [&](const QString& summary) {
        card->setSummary(summary);
        model.refresh();
        QImage canvas(cell.size(), QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        QStyleOptionViewItem option;
        option.rect = cell;
        delegate.paint(&painter, option, model.index(1));
        return canvas;
    };
    const QImage bare = paintWith(QString());
    const QImage written =
        paintWith(QStringLiteral("The keeper climbs the stair at dusk and trims the wick ").repeated(8));
    const QRect body = delegate.summaryRect(cell);

    // Where the picture lies: the pixels of its colour in the summary's box.
    QRect drawn;
    for (int y = body.top(); y <= body.bottom(); ++y)
        for (int x = body.left(); x <= body.right(); ++x)
            if (bare.pixelColor(x, y) == picture)
                drawn |= QRect(x, y, 1, 1);
    ASSERT_GE(drawn.width(), 40) << "the picture is drawn beside the summary";
    EXPECT_EQ(drawn.top(), body.top());
    for (int y = drawn.top(); y <= drawn.bottom(); ++y)
        for (int x = drawn.left(); x <= drawn.right(); ++x)
            ASSERT_EQ(written.pixelColor(x, y), picture) << "text drawn over the picture at " << x << "," << y;

    // The text's ink is what the summary adds; its last column lies left of the picture.
    int inkRight = -1;
    for (int y = body.top(); y <= body.bottom(); ++y)
        for (int x = body.left(); x <= body.right(); ++x)
            if (written.pixel(x, y) != bare.pixel(x, y))
                inkRight = std::max(inkRight, x);
    EXPECT_GT(inkRight, body.left() + body.width() / 2) << "the summary fills the width it has";
    EXPECT_LT(inkRight, drawn.left());
}

// How many columns lie from the first to the last where two paintings differ.
int changedWidth(const QImage& before, const QImage& after)
{
    int left = after.width();
    int right = -1;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return right - left + 1;
}

// A large card cell of row painted on white.
QImage paintedCell(CardCellDelegate& delegate, const QModelIndex& index, const QRect& cell)
{
    QImage canvas(cell.size(), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    QStyleOptionViewItem option;
    option.rect = cell;
    delegate.paint(&painter, option, index);
    return canvas;
}

TEST_F(CardListModelTest, ruleEndsAsFarBelowTheTypeTileAsTheTileStartsBelowTheTop)
{
    CardCellDelegate delegate;
    const QRect cell(0, 0, 306, 204);
    const QImage card = paintedCell(delegate, model.index(1), cell);
    // The type's tile is the only coloured ink in the heading.
    QRect tile;
    for (int y = 0; y < cell.height() / 2; ++y)
        for (int x = 0; x < cell.width(); ++x)
            if (card.pixelColor(x, y).hsvSaturation() > 128)
                tile |= QRect(x, y, 1, 1);
    ASSERT_FALSE(tile.isEmpty());
    const QRgb white = QColor(Qt::white).rgb();
    QList<int> ruleRows;
    for (int y = tile.bottom() + 1; y < delegate.summaryRect(cell).top(); ++y)
        if (card.pixel(cell.center().x(), y) != white)
            ruleRows << y;
    // The heading is padded alike above and below; the rule, on a pixel boundary, shares the two rows beside it.
    const int end = tile.bottom() + (tile.top() - cell.top());
    EXPECT_EQ(ruleRows, QList<int>({end - 1, end}));
}

TEST_F(CardListModelTest, titleReadsLightOnADarkTile)
{
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
    QApplication::setPalette(dark);
    CardCellDelegate delegate;
    const QRect cell(0, 0, 306, 204);
    card->setTitle(QString());
    model.refresh();
    const QImage untitled = paintedCell(delegate, model.index(1), cell);
    card->setTitle(QStringLiteral("Opening"));
    model.refresh();
    const QImage titled = paintedCell(delegate, model.index(1), cell);
    QApplication::setPalette(light);
    int lightest = -1;
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x)
            if (titled.pixel(x, y) != untitled.pixel(x, y))
                lightest = std::max(lightest, titled.pixelColor(x, y).lightness());
    EXPECT_GT(lightest, 200);
}

TEST_F(CardListModelTest, sketchPictureShowsItsBlackStrokesLightOnADarkCardAndKeepsItsColours)
{
    // Black ink on the left half, red on the right, on nothing, as a sketch's stored picture holds strokes.
    QImage strokes(80, 80, QImage::Format_ARGB32);
    strokes.fill(Qt::transparent);
    {
        QPainter painter(&strokes);
        painter.fillRect(QRect(0, 20, 40, 40), Qt::black);
        painter.fillRect(QRect(40, 20, 40, 40), QColor(0xd0, 0x20, 0x20));
    }
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(strokes.save(&buffer, "PNG"));
    card->setItemFormat(ProjectItemFormats::Sketch);
    card->setSummaryImage(png);
    model.refresh();
    CardCellDelegate delegate;
    const QRect cell(0, 0, 306, 204);
    const QRect body = delegate.summaryRect(cell);
    const int side = std::min(body.height(), body.width() / 3);
    const QPoint black(body.right() - side + side / 4, body.top() + side / 2);
    const QPoint red(body.right() - side / 4, body.top() + side / 2);
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
    for (const bool darkScheme : {false, true, false}) {
        QApplication::setPalette(darkScheme ? dark : light);
        const QImage painted = paintedCell(delegate, model.index(1), cell);
        SCOPED_TRACE(darkScheme ? "dark" : "light");
        EXPECT_EQ(painted.pixelColor(black).lightness() > 180, darkScheme)
            << painted.pixelColor(black).name().toStdString();
        EXPECT_EQ(painted.pixelColor(black).lightness() < 40, !darkScheme)
            << painted.pixelColor(black).name().toStdString();
        const QColor shownRed = painted.pixelColor(red);
        EXPECT_LT(colourDistance(shownRed, QColor(0xd0, 0x20, 0x20)), 12) << shownRed.name().toStdString();
    }
    QApplication::setPalette(light);
}

TEST_F(CardListModelTest, cellButtonsAreTintedGlyphsNotFilledSquares)
{
    CardCellDelegate delegate;
    const QRect cell(0, 0, 306, 204);
    const QImage card = paintedCell(delegate, model.index(1), cell);
    const QRgb white = QColor(Qt::white).rgb();
    const int inset = CardCellDelegate::ButtonInset;
    for (const QRect& button : {delegate.menuButtonRect(cell), delegate.notesButtonRect(cell)}) {
        const QRect glyph = button.adjusted(inset, inset, -inset, -inset);
        int inked = 0;
        int bare = 0;
        for (int y = glyph.top(); y <= glyph.bottom(); ++y)
            for (int x = glyph.left(); x <= glyph.right(); ++x)
                ++(card.pixel(x, y) == white ? bare : inked);
        EXPECT_GT(inked, glyph.width()) << glyph.x();
        // Whatever colours the icon theme drew, the glyph shows in the buttons' light grey.
        int darkest = 255;
        for (int y = glyph.top(); y <= glyph.bottom(); ++y)
            for (int x = glyph.left(); x <= glyph.right(); ++x)
                darkest = std::min(darkest, qGray(card.pixel(x, y)));
        EXPECT_EQ(darkest, qGray(QColor(Qt::lightGray).rgb())) << glyph.x();
        EXPECT_GT(bare, glyph.width()) << "the tile shows between the glyph's strokes at " << glyph.x();
    }
}

// How wide word's ink is, set in the default font at pixelSize.
int inkWidthOf(const QString& word, int pixelSize, bool bold)
{
    QImage blank(300, 60, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QImage canvas = blank;
    QFont font;
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.drawText(canvas.rect(), Qt::AlignCenter, word);
    painter.end();
    return changedWidth(blank, canvas);
}

TEST_F(CardListModelTest, titlesAreSetInBoldACardsAt16PixelsAFoldersAt18)
{
    CardCellDelegate delegate;
    const QRect cell(0, 0, 306, 204);
    // The ink a title adds to its cell.
    auto titleWidth = [&](ProjectItem* item, int row, const QString& title) {
        item->setTitle(QString());
        model.refresh();
        const QImage untitled = paintedCell(delegate, model.index(row), cell);
        item->setTitle(title);
        model.refresh();
        return changedWidth(untitled, paintedCell(delegate, model.index(row), cell));
    };
    const QString word = QStringLiteral("Opening");
    for (const auto& [item, row, size] : {std::tuple(card, 1, 16), std::tuple(folder, 0, 18)}) {
        const int drawn = titleWidth(item, row, word);
        const int plain = inkWidthOf(word, size, false);
        const int bold = inkWidthOf(word, size, true);
        ASSERT_GT(bold, plain + 3);
        EXPECT_LE(std::abs(drawn - bold), 1)
            << row << ": " << drawn << " drawn, " << plain << " plain, " << bold << " bold";
    }
}

} // namespace
