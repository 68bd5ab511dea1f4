#pragma once
#include <string>
#include <string_view>

namespace vornex {

// a if a > b, otherwise b (so b on equal values and when either is not a number).
float MaxSingle(float a, float b);
// a if a < b, otherwise b on equal values; a when the two cannot be compared.
float MinSingle(float a, float b);

// The canonical text under which the gravity table is keyed: the number written with up to fifteen
// significant digits, no trailing zeros, a zero before the point of a positive fraction but not of a
// negative one ("0.12", "0.5", "1", "2.35", "0", "-.5", "-3"). A text that is not a number comes back
// unchanged.
std::string FixNumberText(std::string_view text);

// The key of a single-precision gravity: FixNumberText of the single's shortest text (7 digits).
std::string gravityKey(float gravity);

} // namespace vornex
