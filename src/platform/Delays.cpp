#include "Delays.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

std::atomic<double>& currentFactor()
{
    static std::atomic<double> factor{1.0};
    return factor;
}

} // namespace

int Delays::scaled(int milliseconds)
{
    return std::max(0, int(std::lround(milliseconds * currentFactor().load())));
}

void Delays::setFactor(double factor)
{
    currentFactor().store(std::max(0.0, factor));
}

double Delays::factor()
{
    return currentFactor().load();
}
