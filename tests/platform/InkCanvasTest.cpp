#include "platform/ink/InkCanvas.h"
#include "InkTestDrawings.h"
#include "TestWait.h"
#include "platform/ink/InkRenderer.h"
#include "platform/ink/InkTileCache.h"
#include "platform/ink/InkToolPicker.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointingDevice>
#include <QSignalSpy>
#include <QTabletEvent>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

void drag(QWidget* widget, std::initializer_list<QPoint> points)
{
    auto at = points.begin();
    QTest::mousePress(widget, Qt::LeftButton, {}, *at);
    for (++at; at != points.end(); ++at)
        QTest::mouseMove(widget, *at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, *(points.end() - 1));
}

void click(QWidget* widget, QPoint point)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, point);
}

// A stylus as a tablet driver would announce it, with or without a pressure sensor.
std::unique_ptr<QPointingDevice> stylus(bool pressure)
{
    QInputDevice::Capabilities caps = QInputDevice::Capability::Position;
    if (pressure)
        caps |= QInputDevice::Capability::Pressure;
    return std::make_unique<QPointingDevice>(QStringLiteral("test stylus"), 4242, QInputDevice::DeviceType::Stylus,
                                             QPointingDevice::PointerType::Pen, caps, 1, 2);
}

// Answers whether the widget accepted the event: an ignored tablet event comes back as a mouse event as well.
[[nodiscard]] bool sendTablet(QWidget* widget, const QPointingDevice* device, QEvent::Type type, QPointF position,
                              qreal pressure)
{
    const Qt::MouseButton button = type == QEvent::TabletMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::TabletRelease ? Qt::NoButton : Qt::LeftButton;
    QTabletEvent event(type, device, position, widget->mapToGlobal(position), pressure, 0.0f, 0.0f, 0.0f, 0.0, 0.0f,
                       Qt::NoModifier, button, buttons);
    // Handed over unaccepted, as from a window: only the widget taking it marks it accepted.
    event.setAccepted(false);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

void sendTouchMouse(QWidget* widget, const QPointingDevice* device, QEvent::Type type, QPointF position)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, position, position, widget->mapToGlobal(position), button, buttons, Qt::NoModifier, device);
    QApplication::sendEvent(widget, &event);
}

// Records the rectangles the canvas repaints.
class PaintRecorder : public QObject {
public:
    QList<QRect> rects;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            rects.append(static_cast<QPaintEvent*>(event)->rect());
        return false;
    }
};

} // namespace

TEST(InkCanvasPen, mouseDragDrawsOneStrokeAtTheMousePositions)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    QSignalSpy changed(&canvas, &InkCanvas::drawingChanged);
    drag(&canvas, {{10, 20}, {50, 60}, {90, 20}});
    ASSERT_EQ(canvas.drawing().strokeCount(), 1u);
    const InkStroke& stroke = canvas.drawing().strokes()[0];
    ASSERT_EQ(stroke.points().size(), 3u);
    EXPECT_EQ(stroke.points()[1].position(), QPointF(50, 60));
    EXPECT_EQ(stroke.points()[2].position(), QPointF(90, 20));
    // A mouse reports no pressure and draws at the full chosen width.
    EXPECT_EQ(stroke.points()[1].pressure, 1.0f);
    EXPECT_EQ(stroke.width(), InkCanvas::DefaultInkWidth);
    EXPECT_GE(stroke.points()[2].time, stroke.points()[1].time);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(canvas.hasInputInProgress());
}

TEST(InkCanvasPen, releaseAwayFromTheLastMoveEndsTheStrokeWhereTheButtonWasLetGo)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    QTest::mousePress(&canvas, Qt::LeftButton, {}, {10, 20});
    QTest::mouseMove(&canvas, {50, 60});
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, {90, 20});
    ASSERT_EQ(canvas.drawing().strokeCount(), 1u);
    const auto& points = canvas.drawing().strokes()[0].points();
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[2].position(), QPointF(90, 20));
}

TEST(InkCanvasPen, chosenColourAndZoomApplyToNewStrokes)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    canvas.setInkColor(QColor(0x1F, 0x6F, 0xD8));
    canvas.setZoomScale(2.0);
    drag(&canvas, {{100, 100}, {200, 140}});
    ASSERT_EQ(canvas.drawing().strokeCount(), 1u);
    EXPECT_EQ(canvas.drawing().strokes()[0].color(), QColor(0x1F, 0x6F, 0xD8));
    EXPECT_EQ(canvas.drawing().strokes()[0].points()[1].position(), QPointF(100, 70));
}

TEST(InkCanvasTablet, stylusPressureIsRecordedAndNoMouseStrokeIsAdded)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    const auto pen = stylus(true);
    EXPECT_TRUE(sendTablet(&canvas, pen.get(), QEvent::TabletPress, {20, 20}, 0.2));
    EXPECT_TRUE(sendTablet(&canvas, pen.get(), QEvent::TabletMove, {60, 40}, 0.6));
    EXPECT_TRUE(sendTablet(&canvas, pen.get(), QEvent::TabletRelease, {100, 60}, 0.9));
    ASSERT_EQ(canvas.drawing().strokeCount(), 1u);
    const auto& points = canvas.drawing().strokes()[0].points();
    ASSERT_EQ(points.size(), 3u);
    EXPECT_FLOAT_EQ(points[0].pressure, 0.2f);
    EXPECT_FLOAT_EQ(points[1].pressure, 0.6f);
    EXPECT_FLOAT_EQ(points[2].pressure, 0.9f);
    runEventsFor(50);
    EXPECT_EQ(canvas.drawing().strokeCount(), 1u);
}

TEST(InkCanvasTablet, deviceWithoutPressureDrawsAtFullPressure)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    const auto pen = stylus(false);
    EXPECT_TRUE(sendTablet(&canvas, pen.get(), QEvent::TabletPress, {20, 20}, 0.0));
    EXPECT_TRUE(sendTablet(&canvas, pen.get(), QEvent::TabletRelease, {60, 40}, 0.0));
    ASSERT_EQ(canvas.drawing().strokeCount(), 1u);
    EXPECT_EQ(canvas.drawing().strokes()[0].points()[1].pressure, 1.0f);
}

TEST(InkCanvasTouch, fingerDrawsOnlyWhenAllowed)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    // Owned here: the test library's own touch device is registered for the life of the process.
    const auto device = std::make_unique<QPointingDevice>(
        QStringLiteral("test touch screen"), 4243, QInputDevice::DeviceType::TouchScreen,
        QPointingDevice::PointerType::Finger, QInputDevice::Capability::Position, 10, 0);
    const QPointingDevice* touch = device.get();
    const auto stroke = [&] {
        sendTouchMouse(&canvas, touch, QEvent::MouseButtonPress, {10, 10});
        sendTouchMouse(&canvas, touch, QEvent::MouseMove, {60, 60});
        sendTouchMouse(&canvas, touch, QEvent::MouseButtonRelease, {60, 60});
    };
    stroke();
    EXPECT_EQ(canvas.drawing().strokeCount(), 0u);
    canvas.setAllowsFingerDrawing(true);
    stroke();
    EXPECT_EQ(canvas.drawing().strokeCount(), 1u);
    // The preference governs touch only: the mouse draws either way.
    canvas.setAllowsFingerDrawing(false);
    drag(&canvas, {{100, 100}, {150, 150}});
    EXPECT_EQ(canvas.drawing().strokeCount(), 2u);
}

TEST(InkCanvasEraser, clickOnAStrokeRemovesThatStrokeOnly)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    canvas.setDrawing(inkDrawing({inkStroke({{20, 20}, {120, 20}}), inkStroke({{20, 200}, {120, 200}})}));
    QSignalSpy changed(&canvas, &InkCanvas::drawingChanged);
    canvas.setTool(InkTool::Eraser);
    click(&canvas, {70, 200});
    ASSERT_EQ(canvas.drawing().strokeCount(), 1u);
    EXPECT_EQ(canvas.drawing().strokes()[0].points()[0].position(), QPointF(20, 20));
    EXPECT_EQ(changed.count(), 1);
    // A click between the strokes, beyond the eraser's reach, takes nothing.
    click(&canvas, {70, 100});
    EXPECT_EQ(canvas.drawing().strokeCount(), 1u);
}

TEST(InkCanvasEraser, undoPutsTheStrokeBackInItsPlace)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    const InkDrawing original = inkDrawing(
        {inkStroke({{20, 20}, {120, 20}}), inkStroke({{20, 100}, {120, 100}}), inkStroke({{20, 200}, {120, 200}})});
    canvas.setDrawing(original);
    canvas.setTool(InkTool::Eraser);
    click(&canvas, {70, 100});
    ASSERT_EQ(canvas.drawing().strokeCount(), 2u);
    canvas.undo();
    EXPECT_EQ(canvas.drawing(), original);
    canvas.redo();
    EXPECT_EQ(canvas.drawing().strokeCount(), 2u);
}

TEST(InkCanvasEraser, oneSweepAcrossStrokesIsOneUndoStep)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    const InkDrawing original = inkDrawing(
        {inkStroke({{100, 20}, {100, 280}}), inkStroke({{200, 20}, {200, 280}}), inkStroke({{300, 20}, {300, 280}})});
    canvas.setDrawing(original);
    canvas.setTool(InkTool::Eraser);
    // A fast sweep: two samples 200 points apart still take the stroke between them.
    drag(&canvas, {{50, 150}, {250, 150}});
    ASSERT_EQ(canvas.drawing().strokeCount(), 1u);
    EXPECT_EQ(canvas.drawing().strokes()[0].points()[0].position(), QPointF(300, 20));
    EXPECT_EQ(canvas.undoStack()->count(), 1);
    canvas.undo();
    EXPECT_EQ(canvas.drawing(), original);
}

TEST(InkCanvasEraser, sweepThatTakesNothingLeavesNoUndoStep)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    canvas.setDrawing(inkDrawing({inkStroke({{20, 20}, {120, 20}})}));
    canvas.setTool(InkTool::Eraser);
    drag(&canvas, {{50, 150}, {250, 150}});
    EXPECT_EQ(canvas.undoStack()->count(), 0);
}

TEST(InkCanvasUndo, undoAndRedoOfAStroke)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    drag(&canvas, {{10, 10}, {50, 50}});
    const InkDrawing drawn = canvas.drawing();
    canvas.undo();
    EXPECT_TRUE(canvas.drawing().isEmpty());
    canvas.redo();
    EXPECT_EQ(canvas.drawing(), drawn);
}

TEST(InkCanvasUndo, newStrokeDropsTheRedo)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    drag(&canvas, {{10, 10}, {50, 50}});
    canvas.undo();
    drag(&canvas, {{100, 10}, {150, 50}});
    EXPECT_FALSE(canvas.undoStack()->canRedo());
    canvas.redo();
    ASSERT_EQ(canvas.drawing().strokeCount(), 1u);
    EXPECT_EQ(canvas.drawing().strokes()[0].points()[0].position(), QPointF(100, 10));
}

TEST(InkCanvasUndo, historyKeepsOnlyTheNewestOperationsUpToTheCap)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    const int strokes = InkCanvas::MaxUndoOperations + 1;
    for (int i = 0; i < strokes; ++i)
        click(&canvas, {10 + (i % 20) * 15, 10 + (i / 20) * 15});
    ASSERT_EQ(canvas.drawing().strokeCount(), size_t(strokes));
    int undone = 0;
    while (canvas.undoStack()->canUndo()) {
        canvas.undo();
        ++undone;
    }
    EXPECT_EQ(undone, 100);
    // The oldest stroke fell off the history and stays.
    ASSERT_EQ(canvas.drawing().strokeCount(), 1u);
    EXPECT_EQ(canvas.drawing().strokes()[0].points()[0].position(), QPointF(10, 10));
}

TEST(InkCanvasUndo, loadingADrawingStartsAFreshHistory)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    drag(&canvas, {{10, 10}, {50, 50}});
    QSignalSpy changed(&canvas, &InkCanvas::drawingChanged);
    canvas.setDrawing(inkDrawing({inkStroke({{5, 5}})}));
    EXPECT_FALSE(canvas.undoStack()->canUndo());
    EXPECT_EQ(changed.count(), 0);
}

TEST(InkCanvasPaint, penEventRepaintsOnlyItsDirtyArea)
{
    InkCanvas canvas;
    canvas.resize(600, 400);
    canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    PaintRecorder recorder;
    canvas.installEventFilter(&recorder);
    QTest::mousePress(&canvas, Qt::LeftButton, {}, {300, 200});
    ASSERT_TRUE(waitFor([&] { return !recorder.rects.isEmpty(); }));
    recorder.rects.clear();
    QTest::mouseMove(&canvas, {310, 205});
    ASSERT_TRUE(waitFor([&] { return !recorder.rects.isEmpty(); }));
    for (const QRect& rect : recorder.rects) {
        EXPECT_LE(rect.width(), 24) << rect.width();
        EXPECT_LE(rect.height(), 24) << rect.height();
    }
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, {310, 205});
}

TEST(InkCanvasPaint, strokeShowsInTheCanvasAndLightInTheDarkScheme)
{
    InkCanvas canvas;
    canvas.resize(200, 200);
    drag(&canvas, {{20, 100}, {180, 100}});
    const QImage light = canvas.grab().toImage();
    EXPECT_LT(light.pixelColor(100, 100).lightnessF(), 0.2);
    QPalette palette = canvas.palette();
    palette.setColor(QPalette::Base, QColor(0x25, 0x25, 0x24));
    canvas.setPalette(palette);
    canvas.setDark(true);
    const QImage dark = canvas.grab().toImage();
    EXPECT_GT(dark.pixelColor(100, 100).lightnessF(), 0.7);
    EXPECT_LT(dark.pixelColor(100, 20).lightnessF(), 0.2);
    EXPECT_EQ(canvas.drawing().strokes()[0].color(), QColor(Qt::black));
}

TEST(InkCanvasPaint, strokeBeingDrawnIsSmoothed)
{
    InkCanvas canvas;
    canvas.resize(200, 200);
    canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    // A shallow diagonal still under the pen: its edges are blended into the background, not stepped.
    QTest::mousePress(&canvas, Qt::LeftButton, {}, {20, 60});
    QTest::mouseMove(&canvas, {180, 100});
    ASSERT_TRUE(canvas.drawing().isEmpty());
    const QImage image = canvas.grab().toImage();
    int blended = 0;
    for (int x = 40; x < 160; ++x) {
        for (int y = 50; y < 110; ++y) {
            const int gray = qGray(image.pixel(x, y));
            blended += gray > 40 && gray < 215 ? 1 : 0;
        }
    }
    EXPECT_GT(blended, 60);
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, {180, 100});
}

TEST(InkCanvasPaint, inkAwayFromTheFirstTileAndAfterZoomingShowsInPlace)
{
    InkCanvas canvas;
    canvas.resize(600, 400);
    // Beyond the first 256-pixel tile in both directions.
    canvas.setDrawing(inkDrawing({inkStroke({{300, 300}, {400, 300}}, 6.0f)}));
    QImage image = canvas.grab().toImage();
    EXPECT_LT(image.pixelColor(350, 300).lightnessF(), 0.2);
    EXPECT_GT(image.pixelColor(350, 44).lightnessF(), 0.8);
    canvas.setZoomScale(0.5);
    image = canvas.grab().toImage();
    EXPECT_LT(image.pixelColor(175, 150).lightnessF(), 0.2);
    EXPECT_GT(image.pixelColor(350, 300).lightnessF(), 0.8);
}

TEST(InkCanvasPaint, strokeBeingDrawnAtTwiceTheSizeShowsUnderThePen)
{
    InkCanvas canvas;
    canvas.resize(300, 200);
    canvas.setZoomScale(2.0);
    canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    QTest::mousePress(&canvas, Qt::LeftButton, {}, {40, 120});
    QTest::mouseMove(&canvas, {260, 120});
    ASSERT_TRUE(canvas.drawing().isEmpty());
    const QImage image = canvas.grab().toImage();
    // Under the pen, not at the drawing's own coordinates, which are half the view's.
    EXPECT_LT(image.pixelColor(200, 120).lightnessF(), 0.2);
    EXPECT_GT(image.pixelColor(60, 60).lightnessF(), 0.8);
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, {260, 120});
}

TEST(InkCanvasPaint, pressAndReleaseOfAnotherButtonAreLeftToTheParent)
{
    InkCanvas canvas;
    canvas.resize(200, 200);
    const QPointF at(50, 50);
    QMouseEvent press(QEvent::MouseButtonPress, at, canvas.mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&canvas, &press);
    EXPECT_FALSE(press.isAccepted());
    EXPECT_FALSE(canvas.hasInputInProgress());
    QMouseEvent release(QEvent::MouseButtonRelease, at, canvas.mapToGlobal(at), Qt::RightButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&canvas, &release);
    EXPECT_FALSE(release.isAccepted());
}

TEST(InkCanvasPen, moveWithTheButtonButNoPressOnTheCanvasDrawsNothing)
{
    InkCanvas canvas;
    canvas.resize(300, 200);
    // The press went to another widget: the drag passing over the canvas is not a stroke of its own.
    QMouseEvent stray(QEvent::MouseMove, QPointF(40, 40), canvas.mapToGlobal(QPointF(40, 40)), Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&canvas, &stray);
    EXPECT_FALSE(stray.isAccepted());
    EXPECT_FALSE(canvas.hasInputInProgress());
    EXPECT_EQ(canvas.drawing().strokeCount(), 0u);
}

TEST(InkCanvasPaint, erasedStrokeDisappearsFromTheCachedView)
{
    InkCanvas canvas;
    canvas.resize(200, 200);
    canvas.setDrawing(inkDrawing({inkStroke({{20, 100}, {180, 100}}, 6.0f)}));
    EXPECT_LT(canvas.grab().toImage().pixelColor(100, 100).lightnessF(), 0.2);
    canvas.setTool(InkTool::Eraser);
    click(&canvas, {100, 100});
    EXPECT_GT(canvas.grab().toImage().pixelColor(100, 100).lightnessF(), 0.8);
    canvas.undo();
    EXPECT_LT(canvas.grab().toImage().pixelColor(100, 100).lightnessF(), 0.2);
}

TEST(InkCanvasPaint, strokePutBackBeneathAnotherStaysBeneathItInTheCachedView)
{
    InkCanvas canvas;
    canvas.resize(200, 200);
    canvas.setDrawing(inkDrawing({inkStroke({{20, 100}, {180, 100}}, 10.0f, Qt::red),
                                  inkStroke({{100, 20}, {100, 180}}, 10.0f, Qt::blue)}));
    EXPECT_EQ(canvas.grab().toImage().pixelColor(100, 100), QColor(Qt::blue));
    canvas.setTool(InkTool::Eraser);
    click(&canvas, {40, 100});
    ASSERT_EQ(canvas.drawing().strokeCount(), 1u);
    EXPECT_EQ(canvas.grab().toImage().pixelColor(40, 100).lightnessF(), 1.0) << "the tiles now hold no red";
    // Undo puts the red stroke back beneath the blue one: where they cross, blue still shows.
    canvas.undo();
    const QImage restored = canvas.grab().toImage();
    EXPECT_EQ(restored.pixelColor(40, 100), QColor(Qt::red));
    EXPECT_EQ(restored.pixelColor(100, 100), QColor(Qt::blue));
}

TEST(InkToolPickerTest, buttonsSetTheCanvasAndFollowIt)
{
    InkCanvas canvas;
    InkToolPicker picker(&canvas);
    EXPECT_TRUE(picker.penButton()->isChecked());
    picker.eraserButton()->click();
    EXPECT_EQ(canvas.tool(), InkTool::Eraser);
    // Choosing a colour goes back to the pen.
    picker.colorButtons().at(2)->click();
    EXPECT_EQ(canvas.inkColor(), QColor(0xD7, 0x30, 0x27));
    EXPECT_TRUE(picker.colorButtons().at(2)->isChecked());
    EXPECT_FALSE(picker.colorButtons().at(0)->isChecked());
    // A colour set in code checks no swatch; choosing swatches after it still checks one at a time.
    canvas.setInkColor(QColor(1, 2, 3));
    EXPECT_FALSE(picker.colorButtons().at(2)->isChecked());
    picker.colorButtons().at(0)->click();
    picker.colorButtons().at(1)->click();
    EXPECT_FALSE(picker.colorButtons().at(0)->isChecked());
    EXPECT_TRUE(picker.colorButtons().at(1)->isChecked());
    EXPECT_EQ(canvas.tool(), InkTool::Pen);
    EXPECT_TRUE(picker.penButton()->isChecked());
    canvas.setTool(InkTool::Eraser);
    EXPECT_TRUE(picker.eraserButton()->isChecked());
}

TEST(InkToolPickerTest, clickingTheChosenToolAgainKeepsItChosen)
{
    InkCanvas canvas;
    InkToolPicker picker(&canvas);
    // The buttons are found by name, as the editors and accessibility tools find them.
    QToolButton* pen = picker.findChild<QToolButton*>(QStringLiteral("inkPenButton"));
    QToolButton* eraser = picker.findChild<QToolButton*>(QStringLiteral("inkEraserButton"));
    ASSERT_EQ(pen, picker.penButton());
    ASSERT_EQ(eraser, picker.eraserButton());
    pen->click();
    EXPECT_TRUE(pen->isChecked());
    EXPECT_FALSE(eraser->isChecked());
    eraser->click();
    eraser->click();
    EXPECT_TRUE(eraser->isChecked());
    EXPECT_FALSE(pen->isChecked());
    EXPECT_EQ(canvas.tool(), InkTool::Eraser);
}

TEST(InkToolPickerTest, buttonsStandInOneRowAndSwatchesShowTheirColour)
{
    InkCanvas canvas;
    InkToolPicker picker(&canvas);
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    QList<QToolButton*> row = {picker.penButton(), picker.eraserButton()};
    row.append(picker.colorButtons());
    row.append(picker.findChild<QToolButton*>(QStringLiteral("inkUndoButton")));
    row.append(picker.findChild<QToolButton*>(QStringLiteral("inkRedoButton")));
    for (qsizetype i = 1; i < row.size(); ++i) {
        ASSERT_NE(row[i], nullptr);
        EXPECT_GE(row[i]->x(), row[i - 1]->x() + row[i - 1]->width()) << i;
    }
    for (QToolButton* swatch : picker.colorButtons()) {
        const QImage icon = swatch->icon().pixmap(18, 18).toImage();
        EXPECT_EQ(icon.pixelColor(icon.width() / 2, icon.height() / 2).name(), swatch->toolTip());
    }
}

TEST(InkToolPickerTest, toolNotChosenLiesFlatOnThePicker)
{
    InkCanvas canvas;
    InkToolPicker picker(&canvas);
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    ASSERT_FALSE(picker.eraserButton()->isChecked());
    // No panel round the eraser while the pen is chosen: its edge is the picker's own background.
    const QImage row = picker.grab().toImage();
    const QRect eraser = picker.eraserButton()->geometry();
    const QColor background = row.pixelColor(eraser.left() - 1, eraser.center().y());
    EXPECT_EQ(row.pixelColor(eraser.left() + 1, eraser.center().y()), background);
    EXPECT_EQ(row.pixelColor(eraser.center().x(), eraser.bottom() - 1), background);
}

TEST(InkToolPickerTest, undoButtonUndoesTheLastStroke)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    InkToolPicker picker(&canvas);
    auto* undo = picker.findChild<QToolButton*>(QStringLiteral("inkUndoButton"));
    ASSERT_NE(undo, nullptr);
    EXPECT_FALSE(undo->isEnabled());
    drag(&canvas, {{10, 10}, {50, 50}});
    EXPECT_TRUE(undo->isEnabled());
    undo->click();
    EXPECT_TRUE(canvas.drawing().isEmpty());
}

TEST(InkCanvasShot, screenshotsInBothAppearances)
{
    QWidget window;
    auto* canvas = new InkCanvas(&window);
    auto* picker = new InkToolPicker(canvas, &window);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(canvas, 1);
    layout->addWidget(picker);
    window.resize(640, 420);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // A house drawn with the mouse, a sun with the blue swatch, grass by a stylus pressing harder and lighter.
    drag(canvas, {{120, 300}, {120, 180}, {220, 100}, {320, 180}, {320, 300}, {120, 300}});
    drag(canvas, {{190, 300}, {190, 230}, {240, 230}, {240, 300}});
    picker->colorButtons().at(3)->click();
    QList<QPoint> sun;
    for (int i = 0; i <= 36; ++i)
        sun.append(QPoint(480 + int(50 * std::cos(i * M_PI / 18)), 110 + int(50 * std::sin(i * M_PI / 18))));
    QTest::mousePress(canvas, Qt::LeftButton, {}, sun.front());
    for (const QPoint& point : sun)
        QTest::mouseMove(canvas, point);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, sun.back());
    picker->colorButtons().at(4)->click();
    canvas->setInkWidth(8.0f);
    const auto pen = stylus(true);
    for (int blade = 0; blade < 12; ++blade) {
        const qreal x = 360 + blade * 20;
        EXPECT_TRUE(sendTablet(canvas, pen.get(), QEvent::TabletPress, {x, 330}, 0.1));
        for (int step = 1; step <= 10; ++step)
            EXPECT_TRUE(
                sendTablet(canvas, pen.get(), QEvent::TabletMove, {x + step * 1.5, 330.0 - step * 8}, step / 10.0));
        EXPECT_TRUE(sendTablet(canvas, pen.get(), QEvent::TabletRelease, {x + 16, 245}, 0.05));
    }
    runEventsFor(50);
    window.grab().save(QStringLiteral("/tmp/ink-canvas-light.png"));
    // The application's palette, so that the symbol icons switch to their light twins as well.
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x25, 0x25, 0x24));
    dark.setColor(QPalette::Base, QColor(0x25, 0x25, 0x24));
    dark.setColor(QPalette::Button, QColor(0x25, 0x25, 0x24));
    dark.setColor(QPalette::WindowText, QColor(0xDE, 0xDE, 0xDF));
    dark.setColor(QPalette::ButtonText, QColor(0xDE, 0xDE, 0xDF));
    QApplication::setPalette(dark);
    canvas->setDark(true);
    runEventsFor(50);
    window.grab().save(QStringLiteral("/tmp/ink-canvas-dark.png"));
    QApplication::setPalette(light);
    InkRenderer::image(canvas->drawing(), canvas->drawing().bounds(), 0.25, {})
        .save(QStringLiteral("/tmp/ink-summary.png"));
}

TEST(InkCanvasPen, pressAfterALostReleaseKeepsTheFirstStrokeAndStartsAnother)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    QTest::mousePress(&canvas, Qt::LeftButton, {}, {10, 10});
    QTest::mouseMove(&canvas, {60, 60});
    // No release reaches the canvas; the next press still draws.
    QTest::mousePress(&canvas, Qt::LeftButton, {}, {200, 10});
    QTest::mouseMove(&canvas, {250, 60});
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, {250, 60});
    ASSERT_EQ(canvas.drawing().strokeCount(), 2u);
    EXPECT_EQ(canvas.drawing().strokes()[0].points().back().position(), QPointF(60, 60));
    EXPECT_EQ(canvas.drawing().strokes()[1].points().front().position(), QPointF(200, 10));
}

TEST(InkCanvasPen, hidingTheCanvasMidStrokeKeepsWhatWasDrawn)
{
    InkCanvas canvas;
    canvas.resize(400, 300);
    canvas.show();
    QTest::mousePress(&canvas, Qt::LeftButton, {}, {10, 10});
    QTest::mouseMove(&canvas, {60, 60});
    canvas.hide();
    EXPECT_FALSE(canvas.hasInputInProgress());
    ASSERT_EQ(canvas.drawing().strokeCount(), 1u);
    EXPECT_EQ(canvas.drawing().strokes()[0].points().size(), 2u);
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, {60, 60});
}

TEST(InkTileCacheTest, highDensityScreensKeepFewerTilesInTheSameMemory)
{
    InkTileCache cache;
    cache.setGeometry(1.0, 1.0);
    // 64 MB of 256 x 256 tiles of four bytes a pixel: 256 of them, a quarter as many at twice the density.
    EXPECT_EQ(cache.maxTiles(), 256);
    cache.setGeometry(1.0, 2.0);
    EXPECT_EQ(cache.maxTiles(), 64);
}

TEST(InkTileCacheTest, onAHighDensityScreenInkLandsWhereItWasDrawn)
{
    InkTileCache cache;
    cache.setGeometry(1.0, 2.0);
    const InkDrawing drawing = inkDrawing({inkStroke({{100, 150}, {200, 150}}, 8.0f)});
    QImage target(512, 512, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(2.0);
    target.fill(Qt::transparent);
    {
        QPainter painter(&target);
        cache.paint(painter, QRect(0, 0, 256, 256), drawing);
    }
    // In device pixels, twice the drawing's coordinates.
    EXPECT_EQ(target.pixelColor(300, 300).alpha(), 255);
    EXPECT_EQ(target.pixelColor(150, 150).alpha(), 0);
}

TEST(InkTileCacheTest, paintingAVastAreaHoldsNoMoreTilesThanTheCap)
{
    InkTileCache cache;
    cache.setGeometry(1.0, 1.0);
    const InkDrawing drawing = inkDrawing({inkStroke({{10, 10}, {6000, 6000}}, 6.0f)});
    // 24 x 24 tiles: more than twice the cap. The target is small; what counts is what the cache keeps.
    QImage target(64, 64, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&target);
    cache.paint(painter, QRect(0, 0, 6144, 6144), drawing);
    EXPECT_EQ(cache.tileCount(), cache.maxTiles());
}

TEST(InkTileCacheTest, aStrokeAddedToATileAwayFromTheOriginLandsWhereItWasDrawn)
{
    InkTileCache cache;
    cache.setGeometry(1.0, 1.0);
    InkDrawing drawing;
    QImage target(512, 512, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::transparent);
    {
        QPainter painter(&target);
        cache.paint(painter, target.rect(), drawing);
    }
    // The second tile along and the second down: a tile drawn onto in its own place, not the first tile's.
    const InkStroke stroke = inkStroke({{300, 300}, {400, 400}}, 8.0f);
    drawing.append(stroke);
    cache.addStroke(stroke);
    target.fill(Qt::transparent);
    {
        QPainter painter(&target);
        cache.paint(painter, target.rect(), drawing);
    }
    EXPECT_EQ(target.pixelColor(350, 350).alpha(), 255);
    EXPECT_EQ(target.pixelColor(350 - InkTileCache::TileSize, 350 - InkTileCache::TileSize).alpha(), 0);
}
