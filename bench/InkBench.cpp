#include "BenchDrawing.h"
#include "editors/SketchDrawingDocument.h"
#include "platform/ink/InkCanvas.h"
#include "platform/ink/InkReader.h"
#include "platform/ink/InkWriter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTest>
#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr int Strokes = 10000;
constexpr int PointsPerStroke = 100;
// The drawing fills 2400 x 1600 points; the canvas shows the top-left 1200 x 800 of it.
constexpr double DrawingWidth = 2400.0;
constexpr double DrawingHeight = 1600.0;

const InkDrawing& drawing10k()
{
    static const InkDrawing drawing =
        handDrawnStrokes({Strokes, PointsPerStroke, QSizeF(DrawingWidth, DrawingHeight), 2.0f, 4, 15.0}, 18);
    return drawing;
}

const QByteArray& bytes10k()
{
    static const QByteArray bytes = InkWriter::encode(drawing10k()).value();
    return bytes;
}

void BM_InkDecode10k(benchmark::State& state)
{
    const QByteArray& bytes = bytes10k();
    for (auto _ : state) {
        InkDecodeResult result = InkReader::decode(bytes);
        if (!result.ok() || result.drawing->strokeCount() != Strokes)
            state.SkipWithError("the drawing did not read back");
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_InkDecode10k)->Unit(benchmark::kMillisecond);

void BM_InkEncode10k(benchmark::State& state)
{
    const InkDrawing& drawing = drawing10k();
    for (auto _ : state) {
        std::optional<QByteArray> bytes = InkWriter::encode(drawing);
        // What was written reads back as the drawing: every stroke, every point of the last one.
        state.PauseTiming();
        const InkDecodeResult read = bytes ? InkReader::decode(*bytes) : InkDecodeResult{};
        const bool same = read.ok() && read.drawing->strokeCount() == size_t(Strokes) &&
                          read.drawing->strokes().back().points().size() == size_t(PointsPerStroke);
        state.ResumeTiming();
        if (!same) {
            state.SkipWithError("the drawing was not written");
            break;
        }
    }
}
BENCHMARK(BM_InkEncode10k)->Unit(benchmark::kMillisecond);

// Counts the canvas's paint events, so that each measured pen event is known to have been painted.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void sendMouse(QWidget* widget, QEvent::Type type, QPointF position)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, position, position, widget->mapToGlobal(position), button, buttons, Qt::NoModifier,
                      QPointingDevice::primaryPointingDevice());
    QApplication::sendEvent(widget, &event);
}

// One pen movement on a shown canvas holding the whole drawing: the event, the stroke growing by a point, and
// the repaint of what it dirtied, through the window's backing store.
void BM_InkPenEvent10k(benchmark::State& state)
{
    InkCanvas canvas;
    canvas.resize(1200, 800);
    canvas.setDrawing(drawing10k());
    canvas.show();
    if (!QTest::qWaitForWindowExposed(&canvas)) {
        state.SkipWithError("the canvas was not shown");
        return;
    }
    PaintCounter counter;
    canvas.installEventFilter(&counter);
    QCoreApplication::processEvents();
    QPointF at(400, 400);
    sendMouse(&canvas, QEvent::MouseButtonPress, at);
    QCoreApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        // Back and forth across the middle of the view, as a hand shading an area would.
        ++step;
        at = QPointF(400 + 300 * std::sin(step * 0.05), 400 + 200 * std::sin(step * 0.031));
        const int before = counter.paints;
        sendMouse(&canvas, QEvent::MouseMove, at);
        QCoreApplication::processEvents();
        if (counter.paints == before)
            state.SkipWithError("the pen event was not painted");
    }
    sendMouse(&canvas, QEvent::MouseButtonRelease, at);
}
BENCHMARK(BM_InkPenEvent10k)->Unit(benchmark::kMillisecond);

// Whether the image is a picture of the drawing: as wide as it is tall in the drawing's proportion, within the
// summary's size, and inked.
bool showsDrawing(const QImage& image)
{
    if (image.isNull() || image.width() * image.height() > SketchDrawingDocument::SummaryMaxPixels)
        return false;
    const QRectF bounds = drawing10k().bounds();
    if (std::abs(double(image.width()) / image.height() - bounds.width() / bounds.height()) > 0.05)
        return false;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4) {
            if (qAlpha(image.pixel(x, y)) > 0 && qGray(image.pixel(x, y)) < 200)
                return true;
        }
    }
    return false;
}

void BM_InkSummaryImage10k(benchmark::State& state)
{
    const InkDrawing& drawing = drawing10k();
    for (auto _ : state) {
        const QByteArray png = SketchDrawingDocument::summaryImageData(drawing);
        state.PauseTiming();
        const bool drawn = showsDrawing(QImage::fromData(png, "PNG"));
        state.ResumeTiming();
        if (!drawn) {
            state.SkipWithError("no summary image");
            break;
        }
    }
}
BENCHMARK(BM_InkSummaryImage10k)->Unit(benchmark::kMillisecond);

} // namespace
