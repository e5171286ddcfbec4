#pragma once

#include "InkDrawing.h"
#include "InkTileCache.h"
#include "InkTool.h"

#include <QColor>
#include <QPointF>
#include <QUndoStack>
#include <QWidget>
#include <optional>

class QInputDevice;

// The drawing surface: a pen that lays strokes (with pressure where the device reports it), a stroke eraser,
// a colour and a width, and undo and redo kept as operations on a capped stack. Mouse and tablet always draw;
// touch draws only when finger drawing is allowed. Finished strokes live in a tile cache, so a pen event
// repaints only the area it dirtied and never re-renders the drawing.
//
// Coordinates: the widget shows the drawing at zoomScale() view pixels per point, its origin at the top left.
class InkCanvas : public QWidget {
    Q_OBJECT

public:
    static constexpr int MaxUndoOperations = 100;
    static constexpr float DefaultInkWidth = 3.0f;
    // Points around the eraser's centre within which a stroke is taken.
    static constexpr qreal EraserRadius = 6.0;
    static constexpr qreal MinZoom = 0.1;
    static constexpr qreal MaxZoom = 8.0;

    explicit InkCanvas(QWidget* parent = nullptr);

    const InkDrawing& drawing() const { return m_drawing; }
    // Shows a drawing as loaded: the undo history starts afresh and drawingChanged is not emitted.
    void setDrawing(InkDrawing drawing);

    InkTool tool() const { return m_tool; }
    void setTool(InkTool tool);
    // The true colour of new strokes, whatever the scheme.
    QColor inkColor() const { return m_color; }
    void setInkColor(QColor color);
    float inkWidth() const { return m_width; }
    void setInkWidth(float width);
    // Shows near-black ink light on a dark background; the stored colours do not change.
    bool isDark() const { return m_dark; }
    void setDark(bool dark);
    // Whether touch input draws ("PrefFingerDrawing"); mouse and tablet draw regardless.
    bool allowsFingerDrawing() const { return m_fingerDrawing; }
    void setAllowsFingerDrawing(bool allowed) { m_fingerDrawing = allowed; }
    qreal zoomScale() const { return m_zoom; }
    void setZoomScale(qreal zoom);
    // A stroke is being drawn or erased right now.
    bool hasInputInProgress() const { return m_input.has_value(); }

    // Undo and redo of strokes drawn and erased; actions made from it follow its state.
    QUndoStack* undoStack() { return &m_undo; }
    void undo();
    void redo();

    QSize sizeHint() const override { return QSize(600, 400); }

signals:
    // The drawing changed through the pen, the eraser, undo or redo.
    void drawingChanged();
    void toolChanged(InkTool tool);
    void inkColorChanged(QColor color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void tabletEvent(QTabletEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class InkStrokeCommand;

    struct Input {
        InkTool tool = InkTool::Pen;
        InkStroke stroke;
        QPointF lastView;
        quint64 startTimestamp = 0;
        bool erased = false;
    };

    bool ignoresDevice(const QInputDevice* device) const;
    void beginInput(InkTool tool, QPointF viewPosition, float pressure, quint64 timestamp);
    void continueInput(QPointF viewPosition, float pressure, quint64 timestamp);
    void endInput();
    void addPoint(QPointF viewPosition, float pressure, quint64 timestamp);
    void eraseAlong(QPointF fromView, QPointF toView);
    QPointF toDrawing(QPointF viewPosition) const { return viewPosition / m_zoom; }
    QRect viewArea(const QRectF& drawingArea) const;
    // Called by the undo commands: every change to the drawing goes through these two.
    void insertStroke(size_t index, const InkStroke& stroke);
    void removeStroke(size_t index);

    InkDrawing m_drawing;
    InkTileCache m_tiles;
    QUndoStack m_undo;
    std::optional<Input> m_input;
    InkTool m_tool = InkTool::Pen;
    QColor m_color = Qt::black;
    float m_width = DefaultInkWidth;
    bool m_dark = false;
    bool m_fingerDrawing = false;
    qreal m_zoom = 1.0;
};
