#include "ActivationReturn.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace {

// The window a dialog belongs to: the main window, or the sheet it was shown from.
QWidget* windowUnder(const QWidget* window)
{
    return window->parentWidget() ? window->parentWidget()->window() : nullptr;
}

// Whether window is base or a dialog shown, directly or through others, over it.
bool standsOn(const QWidget* window, const QWidget* base)
{
    for (const QWidget* at = window; at; at = windowUnder(at)) {
        if (at == base)
            return true;
    }
    return false;
}

} // namespace

ActivationReturn::ActivationReturn() : QObject(QCoreApplication::instance())
{
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &ActivationReturn::onFocusWindowChanged);
}

ActivationReturn& ActivationReturn::instance()
{
    // Made with the first dialog that closes, and gone with the application.
    static QPointer<ActivationReturn> only;
    if (!only)
        only = new ActivationReturn;
    return *only;
}

void ActivationReturn::beforeClosing(const QWidget* closing)
{
    if (closing)
        instance().handOn(closing);
}

void ActivationReturn::handOn(const QWidget* closing)
{
    // Only a dialog that has the keyboard, or has it above it, hands it on; one closing behind another window's
    // back leaves it there.
    const QWidget* holder = keyboardHolder();
    if (!holder || !standsOn(holder, closing))
        return;
    QWidget* under = windowUnder(closing);
    while (under && !under->isVisible())
        under = windowUnder(under);
    if (!under)
        return;
    m_asked = under;
    under->activateWindow();
}

QWidget* ActivationReturn::keyboardHolder() const
{
    // A window that hides stops being the active one at once, before the window it handed the keyboard to has
    // been told; until then that window holds it.
    QWidget* active = QApplication::activeWindow();
    if (active && active->isVisible())
        return active;
    return m_asked;
}

void ActivationReturn::onFocusWindowChanged(QWindow* focus)
{
    // A report for a window that has hidden since is an old request coming in late; any other says where the
    // keyboard is now.
    if (!focus || focus->isVisible())
        m_asked = nullptr;
}
