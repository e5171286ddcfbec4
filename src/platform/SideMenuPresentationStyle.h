#pragma once

// How a side menu moves in relation to the screen it is shown over.
struct SideMenuPresentationStyle {
    // The menu lies above the presenting screen rather than beneath it.
    bool menuOnTop = false;
    // How far the menu travels while it slides in, as a share of its width: -1 slides it in from fully
    // outside its edge, 0 leaves it in place.
    double menuTranslateFactor = 0;
    // How far the presenting screen moves aside, as a share of the menu width; 0 keeps it in place.
    double presentingTranslateFactor = 0;
    // Opacity of the shadow the menu casts on the screen beside it, 0 to 1.
    double onTopShadowOpacity = 0;
};
