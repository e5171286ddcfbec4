#pragma once

#include <QColor>
#include <QList>
#include <QWidget>

class InkCanvas;
class QButtonGroup;
class QToolButton;

// The tools of a canvas in one row: pen and eraser, the ink colours, undo and redo. It follows the canvas (a
// tool or colour set in code shows here) and sets it; it owns no drawing state of its own.
class InkToolPicker : public QWidget {
    Q_OBJECT

public:
    // The colours offered, darkest first; black is the default ink.
    static QList<QColor> inkColors();

    explicit InkToolPicker(InkCanvas* canvas, QWidget* parent = nullptr);

    QToolButton* penButton() const { return m_pen; }
    QToolButton* eraserButton() const { return m_eraser; }
    // The swatch of each colour of inkColors(), in that order.
    const QList<QToolButton*>& colorButtons() const { return m_colors; }

private:
    QToolButton* addToolButton(const QString& symbol, const QString& toolTip);
    void addColorButtons();
    void addUndoButtons();
    void showTool();
    void showColor();

    InkCanvas* m_canvas;
    QToolButton* m_pen = nullptr;
    QToolButton* m_eraser = nullptr;
    QList<QToolButton*> m_colors;
    QButtonGroup* m_colorGroup = nullptr;
};
