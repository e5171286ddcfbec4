#pragma once

// The program's composition root: registers every screen with the storyboard by its identifier and wires the
// subsystems together, so that no subsystem needs to know the screens of another.
class ScreenRegistry {
public:
    // Registers (again) every screen; the program calls it before launching, the tests before they run.
    static void registerScreens();
};
