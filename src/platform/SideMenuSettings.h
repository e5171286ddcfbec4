#pragma once

#include "SideMenuPresentationStyle.h"

// The tint laid over the screen behind a side menu.
enum class BlurEffectStyle { ExtraLight = 0, Light = 1, Dark = 2 };

// Everything a side menu is shown with. The defaults are a menu of 240 points that slides in over the
// screen from the left in 0.35 s.
struct SideMenuSettings {
    SideMenuPresentationStyle presentationStyle{true, -1, 0, 0.5};
    double menuWidth = 240;
    BlurEffectStyle blurEffectStyle = BlurEffectStyle::Light;
    // Opacity of a status bar at the end of the slide; the desktop window has none, kept for callers.
    double statusBarEndAlpha = 1;
    int presentDurationMs = 350;
    int dismissDurationMs = 350;
};
