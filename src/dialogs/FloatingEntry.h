#pragma once

#include "dialogs/FloatingEntryAttributes.h"

#include <QPointer>

class FloatingEntryOverlay;
class ViewController;
class QWidget;

// Shows one view controller as a floating entry over a window: the window dims behind it, the entry sits in
// the centre with a shadow and rounded corners, and slides, scales and fades in. One entry shows at a time;
// displaying another replaces the one shown. Closing starts the exit animation at once; the entry is deleted
// when it has slid out.
class FloatingEntry {
public:
    // Displays entry (taking ownership) over rollbackWindow, or over the key window when
    // presentInsideKeyWindow is set or no rollback window is given.
    static void display(ViewController* entry, const FloatingEntryAttributes& attributes, bool presentInsideKeyWindow,
                        QWidget* rollbackWindow);
    // Closes the entry on display; nothing happens without one.
    static void dismiss();
    // Closes entry when it is the one on display; an entry already replaced or closed is left alone.
    static void dismiss(ViewController* entry);

    static bool isCurrentlyDisplaying();
    // The entry on display (not one on its way out), or nullptr.
    static ViewController* displayedEntry();
    // The dimmed layer of the entry on display, or nullptr.
    static FloatingEntryOverlay* displayedOverlay();
    // The application's main window: the delegate's window, else the key window, else a visible top-level window.
    static QWidget* mainWindow();

private:
    static QPointer<FloatingEntryOverlay>& current();
};
