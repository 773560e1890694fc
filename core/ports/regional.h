// The user's regional settings: the decimal separator and the short forms
// of the date and the time of day.
#pragma once

#include <string>

#include "core/ports/clock.h"

namespace sarvel {

class Regional {
 public:
  virtual ~Regional() = default;
  virtual std::string DecimalSeparator() = 0;
  virtual std::string ShortDate(const LocalTime& t) = 0;
  virtual std::string TimeOfDay(const LocalTime& t) = 0;
};

}  // namespace sarvel
