#pragma once

#include "InkStroke.h"

#include <QUndoCommand>

class InkCanvas;

// One undoable change to the canvas's drawing: a stroke added by the pen or taken away by the eraser. It keeps
// the stroke and its place in the stacking order, so undo puts an erased stroke back exactly where it was.
class InkStrokeCommand : public QUndoCommand {
public:
    enum class Change { Add, Erase };

    InkStrokeCommand(InkCanvas* canvas, Change change, size_t index, InkStroke stroke);

    void redo() override;
    void undo() override;

private:
    void insert();
    void remove();

    InkCanvas* m_canvas;
    Change m_change;
    size_t m_index;
    InkStroke m_stroke;
};
