// The system's clocks: ticks for the frame timing and the local time of day.
#pragma once

#include <cstdint>

namespace sarvel {

struct LocalTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since the system started, wrapping at 2^32.
  virtual uint32_t TickCount() = 0;
  virtual LocalTime Now() = 0;
};

}  // namespace sarvel
