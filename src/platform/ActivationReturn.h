#pragma once

class QWidget;

// Gives the keyboard back when a window-modal dialog closes. A window manager would activate the window under
// the dialog; without one nothing does, and keys go nowhere until a click. So the window the dialog belongs to
// (the main window, or the sheet a second sheet was shown from) is activated here, and Qt puts the focus back
// where that window had it.
class ActivationReturn {
public:
    // Call while closing is still shown, just before it hides: the application then never passes through a
    // moment without an active window, which would count as going to the background.
    static void beforeClosing(const QWidget* closing);
};
