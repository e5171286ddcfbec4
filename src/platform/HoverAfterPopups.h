#pragma once

#include <QObject>

// While a menu holds the pointer, X11 tells no widget under it that the pointer has left, and once the menu closes
// the button that opened it keeps its hover frame wherever the pointer went, until the pointer passes over it
// again. When a popup closes, every widget still marked as under the pointer that the pointer is no longer over
// is told that it has left.
class HoverAfterPopups : public QObject {
    Q_OBJECT

public:
    // Watches the application's popups for as long as it lives.
    explicit HoverAfterPopups(QObject* parent = nullptr);

    // Tells every widget the pointer has left, but which still shows it as under the pointer, that it has left.
    static void leaveStaleWidgets();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
