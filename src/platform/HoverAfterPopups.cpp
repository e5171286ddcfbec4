#include "HoverAfterPopups.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QHoverEvent>
#include <QTimer>
#include <QWidget>

HoverAfterPopups::HoverAfterPopups(QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

void HoverAfterPopups::leaveStaleWidgets()
{
    const QPoint pointer = QCursor::pos();
    for (QWidget* widget : QApplication::allWidgets()) {
        // A widget the pointer is still over keeps its hover, and so do the widgets that hold it.
        if (!widget->testAttribute(Qt::WA_UnderMouse) ||
            (widget->isVisible() && widget->rect().contains(widget->mapFromGlobal(pointer))))
            continue;
        // Delivering the Leave takes the widget's under-the-pointer mark away; one that follows the pointer over
        // it hears the HoverLeave too, as the application would have told it.
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &leave);
        if (widget->testAttribute(Qt::WA_Hover)) {
            const QPointF outside(-1, -1);
            QHoverEvent hoverLeave(QEvent::HoverLeave, outside, QPointF(pointer),
                                   QPointF(widget->mapFromGlobal(pointer)));
            QCoreApplication::sendEvent(widget, &hoverLeave);
        }
        widget->update();
    }
}

bool HoverAfterPopups::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        const auto* widget = static_cast<QWidget*>(watched);
        // Once the popup has gone and the menu's own work is done, the widgets are looked at.
        if (widget->isWindow() && widget->windowType() == Qt::Popup)
            QTimer::singleShot(0, this, &HoverAfterPopups::leaveStaleWidgets);
    }
    return QObject::eventFilter(watched, event);
}
