#include "core/base/number_text.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "core/base/checked.h"
#include "core/base/failure.h"

namespace sarvel {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of `s` that reads as a number: sign, digits,
// separator and fraction, exponent. `need_digits` counts mantissa digits.
size_t NumberPrefix(std::string_view s, std::string_view sep, int* mantissa_digits) {
  size_t i = 0;
  int digits = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (!sep.empty() && s.substr(i, sep.size()) == sep) {
    size_t j = i + sep.size();
    int frac = 0;
    while (j < s.size() && IsDigit(s[j])) ++j, ++frac;
    if (digits + frac > 0) {
      i = j;
      digits += frac;
    }
  }
  *mantissa_digits = digits;
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const size_t exp_start = j;
    while (j < s.size() && IsDigit(s[j])) ++j;
    if (j > exp_start) i = j;
  }
  return i;
}

// Converts a number prefix (validated by NumberPrefix) to double.
double ConvertPrefix(std::string_view s, std::string_view sep) {
  std::string canonical;
  canonical.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    if (!sep.empty() && s.substr(i, sep.size()) == sep) {
      canonical += '.';
      i += sep.size();
    } else if (s[i] == '+') {
      ++i;  // from_chars takes no plus sign
    } else {
      canonical += s[i++];
    }
  }
  double value = 0.0;
  const auto [ptr, ec] =
      std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow is a range failure.
    const size_t e = canonical.find_first_of("eE");
    const bool tiny = e != std::string::npos && canonical.find('-', e) != std::string::npos;
    if (tiny) return 0.0;
    Raise(Err::kOverflow);
  }
  if (ec != std::errc() || ptr != canonical.data() + canonical.size()) Raise(Err::kTypeMismatch);
  return value;
}

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

double ParseNumber(std::string_view text, std::string_view decimal_separator) {
  const std::string_view s = TrimSpaces(text);
  int digits = 0;
  const size_t len = NumberPrefix(s, decimal_separator, &digits);
  if (len == 0 || len != s.size()) Raise(Err::kTypeMismatch);
  return ConvertPrefix(s, decimal_separator);
}

double LeadingNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  int digits = 0;
  const size_t len = NumberPrefix(text, ".", &digits);
  if (len == 0) return 0.0;
  try {
    return ConvertPrefix(text.substr(0, len), ".");
  } catch (const RuntimeFailure&) {
    // Far beyond any handle: keep the sign, let the caller's range check fail.
    return text.front() == '-' ? -HUGE_VAL : HUGE_VAL;
  }
}

std::string IntegerText(int64_t v) { return std::to_string(v); }

std::string SingleText(float v, std::string_view decimal_separator) {
  char buf[64];
  const auto [ptr, ec] =
      std::to_chars(buf, buf + sizeof buf, double(v), std::chars_format::general, 7);
  if (ec != std::errc()) return "0";
  std::string out;
  for (const char* p = buf; p != ptr; ++p) {
    if (*p == '.')
      out += decimal_separator;
    else if (*p == 'e')
      out += 'E';
    else
      out += *p;
  }
  return out;
}

int16_t Int16OfText(std::string_view text, std::string_view sep) {
  return ToInt16(ParseNumber(text, sep));
}
int32_t Int32OfText(std::string_view text, std::string_view sep) {
  return ToInt32(ParseNumber(text, sep));
}
float SingleOfText(std::string_view text, std::string_view sep) {
  return ToSingle(ParseNumber(text, sep));
}

}  // namespace sarvel
