#include "Metrics.h"

#include <cmath>

namespace {

// The desktop build only ever runs on the desktop idiom; the tablet branch of scaled() stays for the callers
// that ask for it explicitly.
bool currentIdiomIsMac()
{
    return true;
}

} // namespace

bool Metrics::isMacIdiom()
{
    // A function-local static is initialised once, safely from any thread.
    static const bool macIdiom = currentIdiomIsMac();
    return macIdiom;
}

double Metrics::scaled(double size, bool macIdiom)
{
    // A hairline of half a point would round away to nothing; it is kept at one point.
    if (size == 0.5)
        return 1.0;
    // std::round rounds halves away from zero.
    return std::round(size * (macIdiom ? DesktopScale : 1.0));
}
