#include "InkToolPicker.h"

#include "InkCanvas.h"
#include "platform/SymbolIcons.h"

#include <QAction>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPainter>
#include <QToolButton>

namespace {

constexpr int SwatchSize = 18;

QIcon swatchIcon(QColor color)
{
    QPixmap pixmap(SwatchSize, SwatchSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A grey ring keeps black visible on a dark bar and white on a light one.
    painter.setPen(QPen(QColor(128, 128, 128), 1.0));
    painter.setBrush(color);
    painter.drawEllipse(QRectF(1.5, 1.5, SwatchSize - 3, SwatchSize - 3));
    return QIcon(pixmap);
}

} // namespace

QList<QColor> InkToolPicker::inkColors()
{
    return {QColor(0x00, 0x00, 0x00), QColor(0x8E, 0x8E, 0x93), QColor(0xD7, 0x30, 0x27), QColor(0xF2, 0x8C, 0x1E),
            QColor(0x2E, 0x9E, 0x44), QColor(0x1F, 0x6F, 0xD8), QColor(0x8A, 0x3F, 0xC7)};
}

InkToolPicker::InkToolPicker(InkCanvas* canvas, QWidget* parent) : QWidget(parent), m_canvas(canvas)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    m_pen = addToolButton(QStringLiteral("pencil.tip"), tr("Pen"));
    m_pen->setObjectName(QStringLiteral("inkPenButton"));
    m_eraser = addToolButton(QStringLiteral("eraser"), tr("Eraser"));
    m_eraser->setObjectName(QStringLiteral("inkEraserButton"));
    auto* tools = new QButtonGroup(this);
    tools->addButton(m_pen);
    tools->addButton(m_eraser);
    connect(m_pen, &QToolButton::clicked, m_canvas, [this] { m_canvas->setTool(InkTool::Pen); });
    connect(m_eraser, &QToolButton::clicked, m_canvas, [this] { m_canvas->setTool(InkTool::Eraser); });
    row->addSpacing(8);
    addColorButtons();
    row->addSpacing(8);
    addUndoButtons();
    row->addStretch(1);
    connect(m_canvas, &InkCanvas::toolChanged, this, &InkToolPicker::showTool);
    connect(m_canvas, &InkCanvas::inkColorChanged, this, &InkToolPicker::showColor);
    showTool();
    showColor();
}

QToolButton* InkToolPicker::addToolButton(const QString& symbol, const QString& toolTip)
{
    auto* button = new QToolButton(this);
    button->setIcon(SymbolIcons::icon(symbol));
    button->setToolTip(toolTip);
    button->setCheckable(true);
    button->setAutoRaise(true);
    layout()->addWidget(button);
    return button;
}

void InkToolPicker::addColorButtons()
{
    m_colorGroup = new QButtonGroup(this);
    const QList<QColor> colors = inkColors();
    for (const QColor& color : colors) {
        auto* button = new QToolButton(this);
        button->setIcon(swatchIcon(color));
        button->setToolTip(color.name());
        button->setCheckable(true);
        button->setAutoRaise(true);
        m_colorGroup->addButton(button);
        m_colors.append(button);
        layout()->addWidget(button);
        // Choosing a colour means drawing with it.
        connect(button, &QToolButton::clicked, m_canvas, [this, color] {
            m_canvas->setInkColor(color);
            m_canvas->setTool(InkTool::Pen);
        });
    }
}

void InkToolPicker::addUndoButtons()
{
    const auto add = [this](QAction* action, const QString& symbol, const QString& name) {
        action->setIcon(SymbolIcons::icon(symbol));
        auto* button = new QToolButton(this);
        button->setDefaultAction(action);
        button->setAutoRaise(true);
        button->setObjectName(name);
        layout()->addWidget(button);
    };
    add(m_canvas->undoStack()->createUndoAction(this, tr("Undo")), QStringLiteral("arrow.uturn.left"),
        QStringLiteral("inkUndoButton"));
    add(m_canvas->undoStack()->createRedoAction(this, tr("Redo")), QStringLiteral("arrow.uturn.forward"),
        QStringLiteral("inkRedoButton"));
}

void InkToolPicker::showTool()
{
    m_pen->setChecked(m_canvas->tool() == InkTool::Pen);
    m_eraser->setChecked(m_canvas->tool() == InkTool::Eraser);
}

void InkToolPicker::showColor()
{
    const QList<QColor> colors = inkColors();
    const qsizetype index = colors.indexOf(m_canvas->inkColor());
    if (index >= 0) {
        m_colors[index]->setChecked(true);
        return;
    }
    // A colour not offered (one set in code) leaves no swatch checked.
    m_colorGroup->setExclusive(false);
    for (QToolButton* button : m_colors)
        button->setChecked(false);
    m_colorGroup->setExclusive(true);
}
