#pragma once

// Number helpers shared by the solver, the marker placement and the diagram.

namespace ervalun {

// The rounded pi of every bearing conversion; results are compared digit for digit with it.
inline constexpr double kPi = 3.141592654;
// One threshold decides every "is zero" and "are equal" test.
inline constexpr double kEpsilon = 1e-6;

// Truncation toward zero of a value as a double. For values inside the 32-bit range this is
// exactly the 32-bit integer truncation; beyond it (a result from nearly parallel bearings)
// the value is truncated in double, which stays defined. NaN gives 0.
double TruncTowardZero(double v);

// Truncation toward zero to an int, saturating at the limits of int; NaN gives 0.
int TruncToInt(double v);

// a - b for ints, saturating instead of overflowing.
int SaturatingSub(int a, int b);

} // namespace ervalun
