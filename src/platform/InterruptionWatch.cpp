#include "InterruptionWatch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

InterruptionWatch::InterruptionWatch(QObject* parent) : QObject(parent)
{
}

void InterruptionWatch::start(QWidget* widget)
{
    m_widget = widget;
    if (m_watching)
        return;
    m_watching = true;
    qApp->installEventFilter(this);
}

void InterruptionWatch::stop()
{
    if (!m_watching)
        return;
    m_watching = false;
    qApp->removeEventFilter(this);
}

bool InterruptionWatch::eventFilter(QObject* watched, QEvent* event)
{
    if (m_watching && interrupts(watched, event))
        emit interrupted();
    return QObject::eventFilter(watched, event);
}

bool InterruptionWatch::interrupts(QObject* watched, const QEvent* event) const
{
    switch (event->type()) {
    case QEvent::Show: {
        if (!watched->isWidgetType())
            return false;
        const auto* shown = static_cast<const QWidget*>(watched);
        // Tool tips are popups too, but take nothing away; menus and sheets do.
        return shown->isWindow() && (shown->windowType() == Qt::Popup || shown->isModal());
    }
    case QEvent::KeyPress:
        return static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
    case QEvent::WindowDeactivate:
        return m_widget && watched == m_widget->window();
    default:
        return false;
    }
}
