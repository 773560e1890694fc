// Numbers as text: how settings are stored and how handles are read from the
// command line. The decimal separator is the user's regional one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sarvel {

// Reads a whole text as a number: spaces around it are ignored; an optional
// sign, digits with an optional fraction after `decimal_separator`, an
// optional exponent. Anything else (including an empty text) raises
// Err::kTypeMismatch; a value beyond the double range raises Err::kOverflow.
double ParseNumber(std::string_view text, std::string_view decimal_separator);

// The number at the start of a text: leading spaces skipped, then the longest
// run that reads as a decimal number ("." as the separator); 0 when there is
// none. Never fails.
double LeadingNumber(std::string_view text);

// Decimal text of a 16-bit or 32-bit integer ("-5", "10").
std::string IntegerText(int64_t v);

// Decimal text of a single-precision value rounded to at most 7 significant
// digits, without trailing zeros, with the given separator ("2.5", "2,5",
// "10", "0.1", "1E+07").
std::string SingleText(float v, std::string_view decimal_separator);

// Settings text of each field kind (range-checked: a number outside the type
// raises Err::kOverflow, a non-number Err::kTypeMismatch).
int16_t Int16OfText(std::string_view text, std::string_view decimal_separator);
int32_t Int32OfText(std::string_view text, std::string_view decimal_separator);
float SingleOfText(std::string_view text, std::string_view decimal_separator);

}  // namespace sarvel
