#include "InkCanvas.h"

#include "InkLimits.h"
#include "InkRenderer.h"
#include "InkStrokeCommand.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointingDevice>
#include <QTabletEvent>

#include <algorithm>
#include <cmath>

InkCanvas::InkCanvas(QWidget* parent) : QWidget(parent)
{
    // The limit can only be set on an empty stack.
    m_undo.setUndoLimit(MaxUndoOperations);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TabletTracking, false);
    setBackgroundRole(QPalette::Base);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void InkCanvas::setDrawing(InkDrawing drawing)
{
    m_input.reset();
    m_undo.clear();
    m_drawing = std::move(drawing);
    m_tiles.clear();
    update();
}

void InkCanvas::setTool(InkTool tool)
{
    if (tool == m_tool)
        return;
    m_tool = tool;
    emit toolChanged(tool);
}

void InkCanvas::setInkColor(QColor color)
{
    if (!color.isValid() || color == m_color)
        return;
    m_color = color;
    emit inkColorChanged(color);
}

void InkCanvas::setInkWidth(float width)
{
    m_width = std::clamp(std::isfinite(width) ? width : DefaultInkWidth, InkLimits::MinWidth, InkLimits::MaxWidth);
}

void InkCanvas::setDark(bool dark)
{
    if (dark == m_dark)
        return;
    m_dark = dark;
    m_tiles.setDark(dark);
    update();
}

void InkCanvas::setZoomScale(qreal zoom)
{
    zoom = std::clamp(std::isfinite(zoom) ? zoom : 1.0, MinZoom, MaxZoom);
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    update();
}

void InkCanvas::undo()
{
    if (!m_input)
        m_undo.undo();
}

void InkCanvas::redo()
{
    if (!m_input)
        m_undo.redo();
}

QRect InkCanvas::viewArea(const QRectF& drawingArea) const
{
    const QRectF scaled(drawingArea.topLeft() * m_zoom, drawingArea.size() * m_zoom);
    // Antialiasing spills a pixel or so past the exact bounds.
    return scaled.toAlignedRect().adjusted(-2, -2, 2, 2).intersected(rect());
}

void InkCanvas::insertStroke(size_t index, const InkStroke& stroke)
{
    index = std::min(index, m_drawing.strokeCount());
    const bool onTop = index == m_drawing.strokeCount();
    m_drawing.insert(index, stroke);
    // A stroke on top can be painted over the cached tiles; one put back beneath others needs them redrawn.
    if (onTop)
        m_tiles.addStroke(stroke);
    else
        m_tiles.invalidate(stroke.bounds());
    update(viewArea(stroke.bounds()));
    emit drawingChanged();
}

void InkCanvas::removeStroke(size_t index)
{
    if (index >= m_drawing.strokeCount())
        return;
    const InkStroke removed = m_drawing.removeAt(index);
    m_tiles.invalidate(removed.bounds());
    update(viewArea(removed.bounds()));
    emit drawingChanged();
}

void InkCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, palette().color(backgroundRole()));
    m_tiles.setGeometry(m_zoom, devicePixelRatioF());
    m_tiles.paint(painter, exposed, m_drawing);
    if (m_input && m_input->tool == InkTool::Pen && !m_input->stroke.isEmpty()) {
        painter.setClipRect(exposed);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(m_zoom, m_zoom);
        const QRectF area(toDrawing(exposed.topLeft()), QSizeF(exposed.size()) / m_zoom);
        InkRenderer::paintStrokePart(painter, m_input->stroke, area, m_zoom * devicePixelRatioF(), m_dark);
    }
}

bool InkCanvas::ignoresDevice(const QInputDevice* device) const
{
    return device && device->type() == QInputDevice::DeviceType::TouchScreen && !m_fingerDrawing;
}

void InkCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || ignoresDevice(event->device())) {
        event->ignore();
        return;
    }
    // A release that never came (the grab was lost to a dialog, say) must not leave the pen stuck.
    if (m_input)
        endInput();
    // A mouse reports no pressure: it draws at full width.
    beginInput(m_tool, event->position(), 1.0f, event->timestamp());
}

void InkCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_input || !(event->buttons() & Qt::LeftButton)) {
        event->ignore();
        return;
    }
    continueInput(event->position(), 1.0f, event->timestamp());
}

void InkCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_input || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    continueInput(event->position(), 1.0f, event->timestamp());
    endInput();
}

void InkCanvas::tabletEvent(QTabletEvent* event)
{
    const bool hasPressure =
        event->pointingDevice() && event->pointingDevice()->capabilities().testFlag(QInputDevice::Capability::Pressure);
    const float pressure = hasPressure ? float(event->pressure()) : 1.0f;
    // Accepted, so that no mouse event is made from it as well.
    event->accept();
    switch (event->type()) {
    case QEvent::TabletPress: {
        if (m_input)
            endInput();
        // The eraser end of a stylus erases whatever tool is chosen.
        const bool eraserEnd = event->pointerType() == QPointingDevice::PointerType::Eraser;
        beginInput(eraserEnd ? InkTool::Eraser : m_tool, event->position(), pressure, event->timestamp());
        break;
    }
    case QEvent::TabletMove:
        if (m_input)
            continueInput(event->position(), pressure, event->timestamp());
        break;
    case QEvent::TabletRelease:
        if (m_input) {
            continueInput(event->position(), pressure, event->timestamp());
            endInput();
        }
        break;
    default:
        event->ignore();
        break;
    }
}

void InkCanvas::hideEvent(QHideEvent* event)
{
    // What was drawn so far is kept, as if the pen had been lifted.
    if (m_input)
        endInput();
    QWidget::hideEvent(event);
}

void InkCanvas::beginInput(InkTool tool, QPointF viewPosition, float pressure, quint64 timestamp)
{
    m_input = Input{tool, InkStroke(InkKind::Pen, m_color, m_width), viewPosition, timestamp, false};
    if (tool == InkTool::Pen)
        addPoint(viewPosition, pressure, timestamp);
    else
        eraseAlong(viewPosition, viewPosition);
}

void InkCanvas::continueInput(QPointF viewPosition, float pressure, quint64 timestamp)
{
    if (viewPosition == m_input->lastView)
        return;
    if (m_input->tool == InkTool::Pen)
        addPoint(viewPosition, pressure, timestamp);
    else
        eraseAlong(m_input->lastView, viewPosition);
    m_input->lastView = viewPosition;
}

void InkCanvas::addPoint(QPointF viewPosition, float pressure, quint64 timestamp)
{
    InkStroke& stroke = m_input->stroke;
    const QPointF at = toDrawing(viewPosition);
    const float seconds =
        float(timestamp >= m_input->startTimestamp ? timestamp - m_input->startTimestamp : 0) / 1000.0f;
    stroke.append(InkPoint{float(at.x()), float(at.y()), pressure, seconds});
    const InkPoint& added = stroke.points().back();
    const InkPoint& previous = stroke.points().size() > 1 ? stroke.points()[stroke.points().size() - 2] : added;
    const qreal half = stroke.width() / 2.0;
    const QRectF segment =
        QRectF(previous.position(), added.position()).normalized().adjusted(-half, -half, half, half);
    update(viewArea(segment));
}

void InkCanvas::eraseAlong(QPointF fromView, QPointF toView)
{
    const QPointF from = toDrawing(fromView);
    const QPointF to = toDrawing(toView);
    // Samples close enough together that no stroke slips between two of them.
    const qreal length = std::hypot(to.x() - from.x(), to.y() - from.y());
    const int steps = std::clamp(int(std::ceil(length / (EraserRadius / 2.0))), 1, 10000);
    for (int step = 0; step <= steps; ++step) {
        const QPointF at = from + (to - from) * (qreal(step) / steps);
        for (qsizetype index = m_drawing.strokeAt(at, EraserRadius); index >= 0;
             index = m_drawing.strokeAt(at, EraserRadius)) {
            // One sweep of the eraser is one step of undo.
            if (!m_input->erased)
                m_undo.beginMacro(QStringLiteral("Erase"));
            m_input->erased = true;
            m_undo.push(new InkStrokeCommand(this, InkStrokeCommand::Change::Erase, size_t(index),
                                             m_drawing.strokes()[size_t(index)]));
        }
    }
}

void InkCanvas::endInput()
{
    Input input = std::move(*m_input);
    m_input.reset();
    if (input.tool == InkTool::Eraser) {
        if (input.erased)
            m_undo.endMacro();
        return;
    }
    if (input.stroke.isEmpty())
        return;
    m_undo.push(
        new InkStrokeCommand(this, InkStrokeCommand::Change::Add, m_drawing.strokeCount(), std::move(input.stroke)));
}
