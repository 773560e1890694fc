// Integer arithmetic of the scene and settings: 16-bit and 32-bit signed
// values whose every sum, difference, product and conversion is range-checked.
// A result that does not fit raises Err::kOverflow; converting a float rounds
// to the nearest integer, halves to the even neighbour.
#pragma once

#include <cstdint>

namespace sarvel {

// Rounds to the nearest integer, an exact half going to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double v);

int16_t ToInt16(double v);  // rounded, range-checked
int32_t ToInt32(double v);  // rounded, range-checked
int16_t CheckInt16(int64_t v);
int32_t CheckInt32(int64_t v);

inline int16_t Add16(int32_t a, int32_t b) { return CheckInt16(int64_t(a) + b); }
inline int16_t Sub16(int32_t a, int32_t b) { return CheckInt16(int64_t(a) - b); }
inline int16_t Mul16(int32_t a, int32_t b) { return CheckInt16(int64_t(a) * b); }
inline int32_t Add32(int64_t a, int64_t b) { return CheckInt32(a + b); }
inline int32_t Sub32(int64_t a, int64_t b) { return CheckInt32(a - b); }
inline int32_t Mul32(int64_t a, int64_t b) { return CheckInt32(a * b); }

// Integer division truncating towards zero; raises Err::kDivisionByZero.
int32_t Div32(int32_t a, int32_t b);

// Single-precision value of a double; raises Err::kOverflow beyond the
// float range (NaN included).
float ToSingle(double v);

}  // namespace sarvel
