#pragma once

// Waits that screens take before work (so that an indicator is drawn first), scaled by one process-wide
// factor that tests set to 0.
class Delays {
public:
    // milliseconds times the factor, rounded; never negative.
    static int scaled(int milliseconds);
    static void setFactor(double factor);
    static double factor();
};
