#include "InkStrokeCommand.h"

#include "InkCanvas.h"

InkStrokeCommand::InkStrokeCommand(InkCanvas* canvas, Change change, size_t index, InkStroke stroke)
    : QUndoCommand(change == Change::Add ? QStringLiteral("Draw") : QStringLiteral("Erase")), m_canvas(canvas),
      m_change(change), m_index(index), m_stroke(std::move(stroke))
{
}

void InkStrokeCommand::redo()
{
    if (m_change == Change::Add)
        insert();
    else
        remove();
}

void InkStrokeCommand::undo()
{
    if (m_change == Change::Add)
        remove();
    else
        insert();
}

void InkStrokeCommand::insert()
{
    m_canvas->insertStroke(m_index, m_stroke);
}

void InkStrokeCommand::remove()
{
    m_canvas->removeStroke(m_index);
}
