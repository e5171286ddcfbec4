#pragma once

#include <QByteArray>
#include <QKeySequence>
#include <QString>
#include <functional>

// One command of a menu. It runs its handler, or, without one, sends its action along the responder
// chain of the window in front. A command with an input is a key command: the input (a key name such
// as "q") with the modifiers is its shortcut.
struct MenuCommand {
    QString title;
    QByteArray action;
    std::function<void()> handler;
    QString input;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    // A command of the application rather than of the window in front (About, Quit): it stays within reach,
    // from the menu bar and by its key, while a dialog covers the window.
    bool applicationWide = false;

    bool isKeyCommand() const { return !input.isEmpty(); }
    QKeySequence shortcut() const
    {
        return isKeyCommand() ? QKeySequence(QKeySequence::fromString(input.toUpper())[0].key() | modifiers)
                              : QKeySequence();
    }
};
