#pragma once
// Rayleigh velocity of a homogeneous elastic half-space.

namespace vemlari::detail {

// The Rayleigh cubic in z = (c/vs)^2 with parameter sp = vs/vp, sign reversed.
double frhf1(double sp, double z);
// Phase velocity (m/s) of the Rayleigh wave on a half-space with velocities vp, vs.
double frhf(double vp, double vs);

}  // namespace vemlari::detail
