#include "ResponderChain.h"

#include "Application.h"
#include "ApplicationDelegate.h"

#include <QApplication>
#include <QMainWindow>
#include <QMetaMethod>
#include <QQueue>
#include <QWidget>

namespace {

QByteArray signature(const QByteArray& action)
{
    return action + QByteArrayLiteral("(QObject*)");
}

QObject* firstAncestorResponding(QWidget* start, const QByteArray& action)
{
    for (QWidget* widget = start; widget; widget = widget->parentWidget()) {
        if (ResponderChain::responds(widget, action))
            return widget;
    }
    return nullptr;
}

// Breadth first, so an outer screen answers before the widgets inside it.
QObject* firstVisibleDescendantResponding(QWidget* root, const QByteArray& action)
{
    QQueue<QWidget*> queue;
    queue.enqueue(root);
    while (!queue.isEmpty()) {
        QWidget* widget = queue.dequeue();
        if (!widget->isVisibleTo(root) && widget != root)
            continue;
        if (ResponderChain::responds(widget, action))
            return widget;
        for (QObject* child : widget->children()) {
            if (auto* childWidget = qobject_cast<QWidget*>(child); childWidget && !childWidget->isWindow())
                queue.enqueue(childWidget);
        }
    }
    return nullptr;
}

QWidget* sheetOver(QWidget* window)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !window)
        return modal;
    for (QWidget* parent = modal->parentWidget(); parent; parent = parent->parentWidget()) {
        if (parent->window() == window)
            return modal;
    }
    return nullptr;
}

} // namespace

bool ResponderChain::responds(const QObject* receiver, const QByteArray& action)
{
    if (!receiver || receiver->metaObject()->indexOfMethod(signature(action).constData()) < 0)
        return false;
    // A responder may narrow what it answers; the action then goes on to the next one.
    if (receiver->metaObject()->indexOfMethod("canPerformAction(QByteArray)") < 0)
        return true;
    bool can = false;
    QMetaObject::invokeMethod(const_cast<QObject*>(receiver), "canPerformAction", Qt::DirectConnection,
                              Q_RETURN_ARG(bool, can), Q_ARG(QByteArray, action));
    return can;
}

bool ResponderChain::invoke(QObject* receiver, const QByteArray& action, QObject* sender)
{
    if (!responds(receiver, action))
        return false;
    return QMetaObject::invokeMethod(receiver, action.constData(), Qt::DirectConnection, Q_ARG(QObject*, sender));
}

QObject* ResponderChain::target(const QByteArray& action, QWidget* window)
{
    QWidget* front = sheetOver(window);
    QWidget* start = front ? front->focusWidget() : (window ? window->focusWidget() : nullptr);
    if (QObject* found = firstAncestorResponding(start ? start : front, action))
        return found;
    if (auto* mainWindow = qobject_cast<QMainWindow*>(window); mainWindow && mainWindow->centralWidget()) {
        if (QObject* found = firstVisibleDescendantResponding(mainWindow->centralWidget(), action))
            return found;
    }
    if (responds(window, action))
        return window;
    if (auto* delegate = dynamic_cast<QObject*>(Application::delegate()); responds(delegate, action))
        return delegate;
    return nullptr;
}

bool ResponderChain::send(const QByteArray& action, QObject* sender, QWidget* window)
{
    return invoke(target(action, window), action, sender);
}
