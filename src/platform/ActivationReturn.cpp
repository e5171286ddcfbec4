#include "ActivationReturn.h"

#include <QApplication>
#include <QWidget>

void ActivationReturn::beforeClosing(const QWidget* closing)
{
    // Only a dialog that has the keyboard hands it on; one closing behind another window's back leaves it there.
    if (!closing || !closing->parentWidget() || QApplication::activeWindow() != closing)
        return;
    // A modal dialog shown besides the closing one takes it before the closing one's parent.
    QWidget* next = QApplication::activeModalWidget();
    if (!next || next == closing || !next->isVisible())
        next = closing->parentWidget()->window();
    if (next->isVisible())
        next->activateWindow();
}
