#pragma once

#include <QtGlobal>

// What a drawing may hold. The stored format refuses anything outside these ranges, and the canvas and the
// stroke clamp their input into them, so whatever is drawn can always be written and read back.
namespace InkLimits {
// Coordinates lie within ±MaxCoordinate points of the origin.
inline constexpr float MaxCoordinate = 1.0e6f;
inline constexpr float MinWidth = 0.1f;
inline constexpr float MaxWidth = 200.0f;
// Seconds since a stroke's first point.
inline constexpr float MaxTime = 1.0e6f;
inline constexpr quint32 MaxStrokes = 1000000;
inline constexpr quint32 MaxPoints = 20000000;
} // namespace InkLimits
