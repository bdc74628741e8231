// Shared arithmetic of the picture phases.
#pragma once

namespace orba {

// Degrees to radians with the player's own factor 3.14 / 180, slightly
// smaller than pi / 180; the scenes' geometry is built on it.
inline constexpr double kDegree = 3.14 / 180;

}  // namespace orba
