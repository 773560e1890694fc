#include "core/base/checked.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include "core/base/failure.h"

namespace sarvel {

double RoundHalfEven(double v) {
  const double floor = std::floor(v);
  const double diff = v - floor;
  if (diff < 0.5) return floor;
  if (diff > 0.5) return floor + 1.0;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

int16_t ToInt16(double v) {
  const double r = RoundHalfEven(v);
  if (!(r >= -32768.0 && r <= 32767.0)) Raise(Err::kOverflow);
  return static_cast<int16_t>(r);
}

int32_t ToInt32(double v) {
  const double r = RoundHalfEven(v);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) Raise(Err::kOverflow);
  return static_cast<int32_t>(r);
}

int16_t CheckInt16(int64_t v) {
  if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
    Raise(Err::kOverflow);
  return static_cast<int16_t>(v);
}

int32_t CheckInt32(int64_t v) {
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    Raise(Err::kOverflow);
  return static_cast<int32_t>(v);
}

int32_t Div32(int32_t a, int32_t b) {
  if (b == 0) Raise(Err::kDivisionByZero);
  return CheckInt32(int64_t(a) / b);
}

float ToSingle(double v) {
  if (!(std::fabs(v) <= double(FLT_MAX))) Raise(Err::kOverflow);
  return static_cast<float>(v);
}

}  // namespace sarvel
