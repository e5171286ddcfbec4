#pragma once

// Font sizes and spacings are designed for the tablet; the desktop shows them smaller.
class Metrics {
public:
    static constexpr double DesktopScale = 0.77;

    // True on every idiom but the tablet, fixed once for the process.
    static bool isMacIdiom();
    // The size for this process's idiom, rounded to whole points; 0.5 becomes 1.0 on every idiom.
    static double scaled(double size) { return scaled(size, isMacIdiom()); }
    static double scaled(double size, bool macIdiom);
};
