#include "frontends/offscreen/offscreen_platform.h"

#include <cstdio>
#include <cstdlib>

namespace sarvel::headless {

std::string MapStore::Read(const std::string& /*app*/, const std::string& /*section*/,
                           const std::string& key, const std::string& default_text) {
  const auto it = values.find(key);
  return it == values.end() ? default_text : it->second;
}

void MapStore::Write(const std::string& /*app*/, const std::string& /*section*/,
                     const std::string& key, const std::string& text) {
  values[key] = text;
}

void ManualClock::AdvanceTimeOfDay(int32_t ms) {
  LocalTime& t = now;
  t.millisecond += ms;
  while (t.millisecond >= 1000) {
    t.millisecond -= 1000;
    if (++t.second == 60) {
      t.second = 0;
      if (++t.minute == 60) {
        t.minute = 0;
        t.hour = (t.hour + 1) % 24;
      }
    }
  }
}

std::string FixedRegional::ShortDate(const LocalTime& t) {
  char buf[32];
  if (day_first)
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", t.day, t.month, t.year);
  else
    std::snprintf(buf, sizeof buf, "%d/%d/%04d", t.month, t.day, t.year);
  return buf;
}

std::string FixedRegional::TimeOfDay(const LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return buf;
}

void OffscreenProcess::FatalError(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::exit(1);
}

}  // namespace sarvel::headless
