#include "export/KUVDocPickerViewController.h"
#include "export/KUVDocFormatCell.h"
#include "platform/ColorScheme.h"
#include "platform/Delays.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"

#include "TestWait.h"
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QPaintEngine>
#include <QPainter>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Puts the application's palette back however a test ends.
struct PaletteRestorer {
    QPalette saved = QApplication::palette();
    ~PaletteRestorer() { QApplication::setPalette(saved); }
};

// The application's look switched by its palette, as the desktop's own switch does; offscreen starts light.
void setDark(bool dark)
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, dark ? QColor(0x1e, 0x1e, 0x20) : QColor(0xef, 0xef, 0xef));
    QApplication::setPalette(palette);
}
// A paint device that keeps each line of text drawn on it, with where its baseline starts, and draws nothing.
class TextRecorder : public QPaintDevice {
public:
    struct Line {
        QString text;
        QPointF at;
        QFont font;
        QColor ink;
    };
    // The lines whose baseline starts inside rect, in the order they were drawn.
    QList<Line> linesIn(const QRect& rect) const
    {
        QList<Line> inside;
        for (const Line& line : lines) {
            if (rect.contains(line.at.toPoint()))
                inside << line;
        }
        return inside;
    }
    static QString joined(const QList<Line>& lines)
    {
        QStringList texts;
        for (const Line& line : lines)
            texts << line.text.trimmed();
        return texts.join(QLatin1Char(' '));
    }
    explicit TextRecorder(QSize size) : m_size(size), m_engine(this) {}
    ~TextRecorder() override
    {
        // A painter still open on the device would outlive the engine.
        Q_ASSERT(!paintingActive());
    }
    QPaintEngine* paintEngine() const override { return &m_engine; }
    QList<Line> lines;

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 96;
        }
    }

private:
    class Engine : public QPaintEngine {
    public:
        explicit Engine(TextRecorder* owner) : QPaintEngine(AllFeatures), m_owner(owner) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF& at, const QTextItem& item) override
        {
            m_owner->lines.append({item.text(), painter()->transform().map(at), item.font(), painter()->pen().color()});
        }
        Type type() const override { return User; }

    private:
        TextRecorder* m_owner;
    };

    QSize m_size;
    mutable Engine m_engine;
};

struct Choice {
    int section = -1;
    int row = -1;
    int segment = -1;
};

class KUVDocPickerViewControllerTest : public ::testing::Test {
protected:
    KUVDocPickerViewControllerTest()
    {
        Delays::setFactor(0);
        presenter.resize(800, 600);
        presenter.show();
    }
    ~KUVDocPickerViewControllerTest() override
    {
        presenter.dismiss(false);
        Delays::setFactor(1);
    }
    // A picker shown over the presenter; choices land in choices.
    KUVDocPickerViewController* show(const QList<QList<KUVDocFormat>>& formats, const QStringList& segments = {},
                                     const QString& subTitle = {})
    {
        auto* picker = new KUVDocPickerViewController;
        picker->setFormTitle(QStringLiteral("Export"));
        picker->setFormSubTitle(subTitle);
        picker->setFormats(formats);
        picker->setSegments(segments);
        picker->setSelection([this](int section, int row, int segment) { choices.append({section, row, segment}); });
        picker->presentFrom(&presenter);
        EXPECT_TRUE(waitFor([&] { return picker->isVisible(); }));
        return picker;
    }
    static QList<QList<KUVDocFormat>> twoSections()
    {
        return {{{QStringLiteral("OPML"), QStringLiteral("Outline"), 10, {}, QStringLiteral("Outline")}},
                {{QStringLiteral("CSV"), {}, 20, {}, QStringLiteral("Table")},
                 {QStringLiteral("Text"), {}, 21, {}, QStringLiteral("Table")}}};
    }
    void clickTile(KUVDocPickerViewController* picker, const QString& title)
    {
        QListView* grid = picker->collectionView();
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            const QModelIndex index = grid->model()->index(row, 0);
            if (index.data().toString() == title && !index.data(KUVDocFormatCell::HeaderRole).toBool()) {
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
                return;
            }
        }
        ADD_FAILURE() << "no tile " << qPrintable(title);
    }

    static QWidget* separatorOf(KUVDocPickerViewController* picker)
    {
        return picker->findChild<QWidget*>(QStringLiteral("separatorView"));
    }

    static QRect rectOfRow(KUVDocPickerViewController* picker, int row)
    {
        QListView* grid = picker->collectionView();
        return grid->visualRect(grid->model()->index(row, 0));
    }
    // The first and last rows of rect holding a pixel that differs from the grid's background; -1 and -1 when
    // there is none.
    static std::pair<int, int> inkedRows(const QImage& image, QRect rect)
    {
        const QRgb background = image.pixel(rect.right(), rect.top());
        std::pair<int, int> rows{-1, -1};
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (image.pixel(x, y) != background) {
                    rows = {rows.first < 0 ? y : rows.first, y};
                    break;
                }
            }
        }
        return rows;
    }
    // The fill of a tile, beside its left edge halfway down.
    static QColor tileFill(KUVDocPickerViewController* picker, int row)
    {
        const QRect tile = rectOfRow(picker, row);
        return picker->collectionView()->viewport()->grab().toImage().pixelColor(tile.left() + 3, tile.center().y());
    }

    ViewController presenter;
    QList<Choice> choices;
};

TEST_F(KUVDocPickerViewControllerTest, tilesOfAGrid350WideAre145By193)
{
    EXPECT_EQ(KUVDocPickerViewController::tileSize(350), QSize(145, 193));
    EXPECT_EQ(KUVDocPickerViewController::tileSize(351), QSize(145, 193));
    EXPECT_EQ(KUVDocPickerViewController::tileSize(352), QSize(146, 194));
}

TEST_F(KUVDocPickerViewControllerTest, clickReportsSectionRowAndTheSegmentAtThatMoment)
{
    KUVDocPickerViewController* picker = show(twoSections(), {QStringLiteral("Folder"), QStringLiteral("Project")});
    ASSERT_TRUE(picker->segmentView()->isVisible());
    EXPECT_EQ(picker->segmentView()->currentIndex(), 0);
    QTest::mouseClick(picker->segmentView(), Qt::LeftButton, {}, picker->segmentView()->tabRect(1).center());
    EXPECT_EQ(picker->selectedSegment(), 1);
    clickTile(picker, QStringLiteral("Text"));
    ASSERT_TRUE(waitFor([&] { return !choices.isEmpty(); }));
    EXPECT_EQ(choices.first().section, 1);
    EXPECT_EQ(choices.first().row, 1);
    EXPECT_EQ(choices.first().segment, 1);
    EXPECT_TRUE(waitFor([&] { return presenter.presentedViewController() == nullptr; }));
    runEventsFor(20);
    EXPECT_EQ(choices.size(), 1);
}

TEST_F(KUVDocPickerViewControllerTest, theBarIsWhiteOnTheAccentAndADescriptionWrapsWholeInsideItsTile)
{
    const QString outlining = QStringLiteral("For outlining applications");
    const QString images = QStringLiteral("Images are not included");
    KUVDocPickerViewController* picker =
        show({{{QStringLiteral("OPML"), outlining, 1, {}, {}}, {QStringLiteral("Plain Text"), images, 2, {}, {}}}});
    NavigationBar* bar = picker->navigationController()->navigationBar();
    EXPECT_EQ(bar->palette().color(QPalette::Window), QColor(QStringLiteral("#60C1C3")));
    EXPECT_EQ(bar->palette().color(QPalette::WindowText), QColor(Qt::white));

    QWidget* viewport = picker->collectionView()->viewport();
    TextRecorder recorder(viewport->size());
    viewport->render(&recorder);
    for (const auto& [row, description] : {std::pair{0, outlining}, std::pair{1, images}}) {
        const QList<TextRecorder::Line> inTile = recorder.linesIn(rectOfRow(picker, row));
        ASSERT_GE(inTile.size(), 3) << "title and a description on two lines: "
                                    << TextRecorder::joined(inTile).toStdString();
        EXPECT_EQ(TextRecorder::joined(inTile.mid(1)), description);
        // A bold title of 14 and a description of 11, in grey.
        EXPECT_EQ(inTile.first().font.pixelSize(), 14);
        EXPECT_TRUE(inTile.first().font.bold());
        for (const TextRecorder::Line& line : inTile.mid(1)) {
            EXPECT_EQ(line.font.pixelSize(), 11) << line.text.toStdString();
            EXPECT_FALSE(line.font.bold()) << line.text.toStdString();
            EXPECT_EQ(line.ink, QColor(Qt::gray)) << line.text.toStdString();
        }
    }
}

TEST_F(KUVDocPickerViewControllerTest, theSelectedTileIsGreyInABlackLineFivePointsWide)
{
    KUVDocPickerViewController* picker = show({twoSections().at(1)});
    QListView* grid = picker->collectionView();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Right);
    const QModelIndexList selected = grid->selectionModel()->selectedIndexes();
    ASSERT_EQ(selected.size(), 1);
    const QRect tile = grid->visualRect(selected.first());
    const QRect other = rectOfRow(picker, 1 - selected.first().row());
    const QImage shown = grid->viewport()->grab().toImage();
    const int y = tile.center().y();
    for (int x = tile.left() + 1; x <= tile.left() + 4; ++x)
        EXPECT_EQ(shown.pixelColor(x, y), QColor(Qt::black)) << "the line, " << x - tile.left() << " in";
    EXPECT_EQ(shown.pixelColor(tile.left() + 6, y), QColor(153, 153, 153)) << "the grey inside the line";
    EXPECT_EQ(shown.pixelColor(tile.center().x(), tile.top() + 3), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(tile.right() - 3, y), QColor(Qt::black));
    EXPECT_NE(shown.pixelColor(other.left() + 3, other.center().y()), QColor(Qt::black)) << "only the selected one";

    // On the grey, the description is in dark ink to be read.
    TextRecorder recorder(grid->viewport()->size());
    grid->viewport()->render(&recorder);
    const QList<TextRecorder::Line> selectedLines = recorder.linesIn(tile);
    ASSERT_GE(selectedLines.size(), 1);
    EXPECT_EQ(selectedLines.last().ink, QColor(0x20, 0x20, 0x24));
}

TEST(KUVDocFormatCellTest, tilesAndHeadersLeaveThePainterAsTheyFoundIt)
{
    QStandardItemModel model;
    auto* tile = new QStandardItem(QStringLiteral("Word"));
    tile->setData(QStringLiteral("For word processors"), KUVDocFormatCell::DescriptionRole);
    auto* header = new QStandardItem(QStringLiteral("TABLE"));
    header->setData(true, KUVDocFormatCell::HeaderRole);
    model.appendRow(tile);
    model.appendRow(header);
    KUVDocFormatCell cell;
    for (const QSize size : {QSize(145, 193), QSize(160, KUVDocFormatCell::HeaderHeight)}) {
        const int row = size.height() == KUVDocFormatCell::HeaderHeight ? 1 : 0;
        SCOPED_TRACE(row ? "header" : "selected tile");
        QImage painted(size, QImage::Format_ARGB32);
        QPainter painter(&painted);
        painter.setPen(Qt::red);
        painter.setFont(QFont(QStringLiteral("Courier"), 9));
        const QFont font = painter.font();
        QStyleOptionViewItem option;
        option.rect = painted.rect();
        option.font = QApplication::font();
        if (row == 0)
            option.state |= QStyle::State_Selected;
        cell.paint(&painter, option, model.index(row, 0));
        EXPECT_EQ(painter.pen().color(), QColor(Qt::red));
        EXPECT_EQ(painter.font(), font);
        EXPECT_FALSE(painter.testRenderHint(QPainter::Antialiasing));
    }
}

TEST_F(KUVDocPickerViewControllerTest, cancelNeverReports)
{
    KUVDocPickerViewController* picker = show(twoSections());
    picker->cancel();
    runEventsFor(30);
    EXPECT_TRUE(choices.isEmpty());
    EXPECT_EQ(presenter.presentedViewController(), nullptr);
}

TEST_F(KUVDocPickerViewControllerTest, oneSectionHasNoHeaderTwoSectionsDo)
{
    KUVDocPickerViewController* single = show({twoSections().at(1)});
    EXPECT_EQ(single->collectionView()->model()->rowCount(), 2);
    EXPECT_FALSE(single->segmentView()->isVisible());
    EXPECT_FALSE(single->viewSubTitle()->isVisible());
    EXPECT_FALSE(separatorOf(single)->isVisible());
    single->cancel();
    ASSERT_TRUE(waitFor([&] { return presenter.presentedViewController() == nullptr; }));
    KUVDocPickerViewController* grouped = show(twoSections(), {}, QStringLiteral("Choose a format"));
    QAbstractItemModel* model = grouped->collectionView()->model();
    ASSERT_EQ(model->rowCount(), 5);
    EXPECT_TRUE(model->index(0, 0).data(KUVDocFormatCell::HeaderRole).toBool());
    EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("OUTLINE"));
    EXPECT_EQ(model->index(2, 0).data().toString(), QStringLiteral("TABLE"));
    EXPECT_TRUE(grouped->viewSubTitle()->isVisible());
    EXPECT_EQ(grouped->viewSubTitle()->text(), QStringLiteral("Choose a format"));
    EXPECT_TRUE(separatorOf(grouped)->isVisible()) << "a subtitle alone is set off from the grid";
    EXPECT_EQ(grouped->numberOfItemsInSection(1), 2);
    EXPECT_EQ(grouped->numberOfItemsInSection(2), 0);
    EXPECT_EQ(grouped->numberOfItemsInSection(-1), 0);
}

TEST_F(KUVDocPickerViewControllerTest, secondClickWhileClosingReportsOnce)
{
    KUVDocPickerViewController* picker = show(twoSections());
    picker->choose(0, 0);
    picker->choose(1, 0);
    ASSERT_TRUE(waitFor([&] { return !choices.isEmpty(); }));
    runEventsFor(20);
    EXPECT_EQ(choices.size(), 1);
}

} // namespace

namespace {

TEST_F(KUVDocPickerViewControllerTest, withSectionsTheGridStartsTwentyPointsLowerAboveTheFirstHeader)
{
    KUVDocPickerViewController* single = show({twoSections().at(1)});
    const int firstTileTop = rectOfRow(single, 0).top();
    single->cancel();
    ASSERT_TRUE(waitFor([&] { return presenter.presentedViewController() == nullptr; }));

    KUVDocPickerViewController* grouped = show(twoSections());
    const QRect first = rectOfRow(grouped, 0);
    const QRect second = rectOfRow(grouped, 2);
    EXPECT_EQ(first.top(), firstTileTop);
    EXPECT_EQ(first.height(),
              KUVDocPickerViewController::TopContentInset + KUVDocPickerViewController::SectionHeaderHeight);
    EXPECT_EQ(second.height(), KUVDocPickerViewController::SectionHeaderHeight);
    // Each header is as far above its first tile.
    EXPECT_EQ(rectOfRow(grouped, 1).top() - first.bottom(), rectOfRow(grouped, 3).top() - second.bottom());

    const QImage shown = grouped->collectionView()->viewport()->grab().toImage();
    const int insetEnd = first.top() + KUVDocPickerViewController::TopContentInset;
    const auto [titleTop, titleBottom] = inkedRows(shown, first);
    ASSERT_GE(titleTop, 0) << "the first header shows its title";
    EXPECT_GE(titleTop, insetEnd) << "the inset stays empty";
    // Centred in the header's own height below the inset, as the second header's title is in its cell.
    const auto [secondTop, secondBottom] = inkedRows(shown, second);
    EXPECT_NEAR((titleTop + titleBottom) / 2.0 - insetEnd, (secondTop + secondBottom) / 2.0 - second.top(), 1.0);
}

TEST_F(KUVDocPickerViewControllerTest, cellsStartInTheirColoursAndTurnWhiteOrBlackAfterAnAppearanceChange)
{
    const PaletteRestorer restore;
    setDark(false);
    KUVDocPickerViewController* picker = show({twoSections().at(1)});
    EXPECT_EQ(tileFill(picker, 0), QColor(KUVDocFormatCell::LightBackground));
    setDark(true);
    ASSERT_TRUE(waitFor([] { return ColorScheme::isDark(); }));
    EXPECT_EQ(tileFill(picker, 0), QColor(Qt::black));
    setDark(false);
    ASSERT_TRUE(waitFor([] { return !ColorScheme::isDark(); }));
    EXPECT_EQ(tileFill(picker, 1), QColor(Qt::white));
    picker->cancel();
    ASSERT_TRUE(waitFor([&] { return presenter.presentedViewController() == nullptr; }));

    setDark(true);
    KUVDocPickerViewController* darkPicker = show({twoSections().at(1)});
    EXPECT_EQ(tileFill(darkPicker, 0), QColor(KUVDocFormatCell::DarkBackground));
}

TEST_F(KUVDocPickerViewControllerTest, segmentsAlonePinTheControlTwelvePointsUnderTheTopAndKeepTheChoiceInRange)
{
    auto* picker = new KUVDocPickerViewController;
    picker->setFormats(twoSections());
    picker->setSegments({QStringLiteral("Folder"), QStringLiteral("Project")});
    picker->setSelectedSegment(7);
    picker->presentFrom(&presenter);
    ASSERT_TRUE(waitFor([&] { return picker->isVisible(); }));
    EXPECT_FALSE(picker->viewSubTitle()->isVisible());
    EXPECT_EQ(picker->segmentView()->geometry().top(), 12);
    EXPECT_EQ(picker->segmentView()->currentIndex(), 1);
}

TEST_F(KUVDocPickerViewControllerTest, theGridStandsOnItsOwnGreyFromTheFirstShowingInBothAppearances)
{
    const PaletteRestorer restore;
    for (const bool dark : {false, true}) {
        setDark(dark);
        ASSERT_TRUE(waitFor([dark] { return ColorScheme::isDark() == dark; }));
        KUVDocPickerViewController* picker = show({twoSections().at(1)});
        QWidget* viewport = picker->collectionView()->viewport();
        // Below the last tile nothing is drawn but the grid's own background.
        const QImage shown = viewport->grab().toImage();
        const QRect last = rectOfRow(picker, 1);
        ASSERT_LT(last.bottom() + 2, shown.height());
        EXPECT_EQ(shown.pixelColor(2, shown.height() - 2), dark ? QColor(0x41, 0x41, 0x41) : QColor(0xec, 0xec, 0xec))
            << (dark ? "dark" : "light");
        picker->cancel();
        ASSERT_TRUE(waitFor([&] { return presenter.presentedViewController() == nullptr; }));
    }
}

TEST_F(KUVDocPickerViewControllerTest, headerTitlesAreGreyInkThatReadsInBothAppearances)
{
    const PaletteRestorer restore;
    for (const bool dark : {false, true}) {
        setDark(dark);
        ASSERT_TRUE(waitFor([dark] { return ColorScheme::isDark() == dark; }));
        KUVDocPickerViewController* picker = show(twoSections());
        const QImage shown = picker->collectionView()->viewport()->grab().toImage();
        const QRect header = rectOfRow(picker, 2);
        int darkest = 255;
        int lightest = 0;
        for (int y = header.top(); y <= header.bottom(); ++y) {
            for (int x = header.left(); x <= header.right(); ++x) {
                darkest = std::min(darkest, qRed(shown.pixel(x, y)));
                lightest = std::max(lightest, qRed(shown.pixel(x, y)));
            }
        }
        // The ink is never darker (light) or brighter (dark) than its grey, and it is there to read.
        if (dark) {
            EXPECT_LE(lightest, 0xc0);
            EXPECT_GE(lightest, 0x90);
        } else {
            EXPECT_GE(darkest, 0x50);
            EXPECT_LE(darkest, 0x90);
        }
        picker->cancel();
        ASSERT_TRUE(waitFor([&] { return presenter.presentedViewController() == nullptr; }));
    }
}

// A header's title sits in the last HeaderHeight points of its cell, centred there as if the cell were that tall.
TEST(KUVDocFormatCellTest, aHeaderTitleIsCentredInTheLastHeaderHeightOfItsCell)
{
    QStandardItemModel model;
    auto* item = new QStandardItem(QStringLiteral("TABLE"));
    item->setData(true, KUVDocFormatCell::HeaderRole);
    model.appendRow(item);
    KUVDocFormatCell cell;
    // The title takes the view's font at the header's own size, neither the view's size nor the painter's font.
    QFont viewFont = QApplication::font();
    viewFont.setPixelSize(KUVDocFormatCell::HeaderFontSize * 2);
    QFont font = viewFont;
    font.setPixelSize(KUVDocFormatCell::HeaderFontSize);
    for (const int extra : {0, 20}) {
        const QSize size(160, KUVDocFormatCell::HeaderHeight + extra);
        QImage painted(size, QImage::Format_ARGB32);
        painted.fill(Qt::white);
        QImage expected = painted;
        {
            QPainter painter(&painted);
            painter.setFont(QFont(QStringLiteral("Courier"), 20));
            QStyleOptionViewItem option;
            option.rect = QRect(QPoint(0, 0), size);
            option.font = viewFont;
            cell.paint(&painter, option, model.index(0, 0));
        }
        {
            QPainter painter(&expected);
            painter.setFont(font);
            painter.setPen(ColorScheme::isDark() ? QColor(0xc0, 0xc0, 0xc4) : QColor(0x50, 0x50, 0x56));
            painter.drawText(QRect(0, extra, size.width(), KUVDocFormatCell::HeaderHeight),
                             Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("TABLE"));
        }
        EXPECT_EQ(painted, expected) << "a cell " << size.height() << " high";
    }
}

// Drawn after the tile's pale border, a tile's title has ink of its own: near black, or white when dark.
TEST(KUVDocFormatCellTest, aTileTitleIsWrittenInItsOwnInkNotTheBorders)
{
    QStandardItemModel model;
    auto* item = new QStandardItem(QStringLiteral("Outline"));
    QPixmap clear(16, 16);
    clear.fill(Qt::transparent);
    item->setData(QVariant::fromValue(QIcon(clear)), KUVDocFormatCell::ImageRole);
    model.appendRow(item);
    KUVDocFormatCell cell;
    const PaletteRestorer restore;
    for (const bool dark : {false, true}) {
        setDark(dark);
        ASSERT_EQ(ColorScheme::isDark(), dark);
        QImage painted(QSize(145, 193), QImage::Format_ARGB32);
        painted.fill(dark ? Qt::black : Qt::white);
        {
            QPainter painter(&painted);
            QStyleOptionViewItem option;
            option.rect = painted.rect();
            option.font = QApplication::font();
            cell.paint(&painter, option, model.index(0, 0));
        }
        int darkest = 255;
        int lightest = 0;
        for (int y = 0; y < painted.height(); ++y) {
            for (int x = 0; x < painted.width(); ++x) {
                darkest = std::min(darkest, qRed(painted.pixel(x, y)));
                lightest = std::max(lightest, qRed(painted.pixel(x, y)));
            }
        }
        if (dark)
            EXPECT_GE(lightest, 0xe0);
        else
            EXPECT_LE(darkest, 0x40);
    }
}

TEST_F(KUVDocPickerViewControllerTest, theMarginAboveTheGridIsThePickersOwnGrey)
{
    const PaletteRestorer restore;
    setDark(false);
    ASSERT_TRUE(waitFor([] { return !ColorScheme::isDark(); }));
    KUVDocPickerViewController* picker = show(twoSections(), {}, QStringLiteral("Choose a format"));
    QWidget* window = picker->window();
    const QImage shown = window->grab().toImage();
    // The top margin, above the subtitle, shows nothing but the picker's own background.
    EXPECT_EQ(shown.pixelColor(picker->mapTo(window, QPoint(2, 2))),
              QColor(KUVDocPickerViewController::LightBackground));
}

} // namespace
