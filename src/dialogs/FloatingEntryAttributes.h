#pragma once

#include <QColor>
#include <QSize>

// How a floating entry is shown: its size, what a click on the dimmed screen does, its colours, shadow,
// corners and animations. Times are in milliseconds.
struct FloatingEntryAttributes {
    // A touch outside the entry closes it without running any of the entry's actions, or passes nowhere.
    enum class ScreenInteraction { Dismiss, AbsorbTouches };

    struct Animation {
        int slideMs = 0;
        double slideDamping = 1.0;
        double slideInitialVelocity = 0.0;
        int scaleMs = 0;
        double scaleFrom = 1.0;
        double scaleTo = 1.0;
        int fadeMs = 0;
        double fadeFrom = 1.0;
        double fadeTo = 1.0;
    };

    bool infiniteDuration = true;
    QSize size{300, 300};
    // Whether the entry keeps above an on-screen keyboard; the desktop has none, so this only records it.
    bool boundToKeyboard = false;
    int keyboardBottomOffset = 0;
    int keyboardScreenEdgeResistance = 0;
    ScreenInteraction screenInteraction = ScreenInteraction::AbsorbTouches;
    bool entryAbsorbsTouches = true;
    QColor entryBackground = Qt::transparent;
    QColor screenBackground = Qt::transparent;
    QColor shadowColor = Qt::black;
    double shadowOpacity = 0.0;
    double shadowRadius = 0.0;
    int cornerRadius = 0;
    Animation entrance;
    Animation exit;
    Animation pop;

    // A centred floating entry with slide-in and slide-out and no dimming.
    static FloatingEntryAttributes centerFloat();
    // The settings every floating dialog shares, for an entry of the given size; the dimming follows the
    // style at the moment this is called.
    static FloatingEntryAttributes dialog(const QSize& size);
};
