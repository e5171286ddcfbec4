#include "ActivationReturn.h"

#include <QApplication>
#include <QWidget>

void ActivationReturn::beforeClosing(const QWidget* closing)
{
    // Only a dialog that has the keyboard hands it on; one closing behind another window's back leaves it there.
    if (!closing || !closing->parentWidget() || QApplication::activeWindow() != closing)
        return;
    QWidget* under = closing->parentWidget()->window();
    if (under->isVisible())
        under->activateWindow();
}
