#pragma once

#include <QByteArray>

class QObject;
class QWidget;

// Delivers an action that has no target to the first object able to handle it, the way menu and
// toolbar commands reach whichever screen is in front. An action is an invokable member taking the
// sender (QObject*). The chain runs from the focused widget (inside a window-modal sheet when one is
// shown) up through its parents, then through the visible screens of the window's central area, then
// the application delegate.
class ResponderChain {
public:
    // Sends action to the first object of window's chain that has it; false when none has it.
    static bool send(const QByteArray& action, QObject* sender, QWidget* window);
    // The object that would receive action, or nullptr.
    static QObject* target(const QByteArray& action, QWidget* window);
    // Calls action(sender) on receiver; false when receiver has no such member.
    static bool invoke(QObject* receiver, const QByteArray& action, QObject* sender);
    // Whether receiver has action and, when it answers canPerformAction(QByteArray), agrees to perform it.
    static bool responds(const QObject* receiver, const QByteArray& action);
};
