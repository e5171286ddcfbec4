#pragma once

#include "platform/Alert.h"
#include "platform/ViewController.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPalette>

// Closes whatever a test left over root: alerts, the presented sheet, and the controllers waiting to be deleted.
inline void closeSheetsOver(ViewController& root)
{
    for (Alert* alert : Alert::presented())
        alert->close();
    if (root.presentedViewController())
        root.dismiss(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Switches the application to a dark or a light palette, as the desktop does when its scheme changes; answers the
// palette that was in place.
inline QPalette switchScheme(bool dark)
{
    const QPalette previous = QApplication::palette();
    QPalette palette = previous;
    palette.setColor(QPalette::Window, dark ? QColor(0x1e, 0x1e, 0x20) : QColor(0xef, 0xef, 0xef));
    palette.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
    QApplication::setPalette(palette);
    return previous;
}
