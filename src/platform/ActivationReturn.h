#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

// Gives the keyboard back when one of our window-modal dialogs (a sheet, an alert) closes. A window manager would
// activate the window under the dialog; without one nothing does, and keys go nowhere until a click. So when a
// dialog hides while it, or a dialog above it, has the keyboard, the nearest window below it that is still shown
// is activated, and Qt puts the focus back where that window had it.
//
// The platform activates a window some time after it is asked to, so an alert whose button closes the sheet
// under it hides that sheet while the alert still counts as the active window. The window asked for is therefore
// remembered as the keyboard's holder until the platform reports an activation: one rule, whatever order a
// chain of dialogs closes in.
class ActivationReturn : public QObject {
    Q_OBJECT

public:
    // Call while closing is still shown, just before it hides: the application then never passes through a
    // moment without an active window, which would count as going to the background.
    static void beforeClosing(const QWidget* closing);

private:
    ActivationReturn();
    static ActivationReturn& instance();

    void handOn(const QWidget* closing);
    QWidget* keyboardHolder() const;
    void onFocusWindowChanged(QWindow* focus);

    // The window asked to take the keyboard, until the platform reports where the keyboard went.
    QPointer<QWidget> m_asked;
};
