#include "NoResignTextField.h"

#include <QFocusEvent>
#include <QTimer>

NoResignTextField::NoResignTextField(QWidget* parent) : QLineEdit(parent)
{
}

bool NoResignTextField::resignFirstResponder()
{
    if (!m_canResign)
        return false;
    clearFocus();
    return true;
}

bool NoResignTextField::becomeFirstResponder()
{
    setFocus(Qt::OtherFocusReason);
    return hasFocus();
}

void NoResignTextField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Another window or a popup taking the keyboard is not this window's focus moving: the field gets it
    // back by itself when the window is active again.
    if (m_canResign || event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    // Taken back once the change of focus has finished; refusing inside it would leave two focused widgets.
    QTimer::singleShot(0, this, [this] {
        if (!m_canResign && !hasFocus() && isVisible())
            setFocus(Qt::OtherFocusReason);
    });
}
