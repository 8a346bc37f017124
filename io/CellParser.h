// Parsers for the cell texts of a CSV file: whole numbers, decimal numbers,
// dates, times of day and timestamps. Each accepts exactly its own form, with
// no surrounding blanks, so that inference and loading agree on every cell.
#ifndef ZELCRAFT_IO_CELLPARSER_H_
#define ZELCRAFT_IO_CELLPARSER_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace zelio {

// Optional sign and digits; false when the value does not fit 64 bits.
inline bool ParseInteger(std::string_view text, int64_t* value);
// Optional sign, digits with an optional point, optional exponent; rounded
// correctly. Words such as "inf" or "nan" and overflowing values are refused.
bool ParseReal(std::string_view text, double* value);
// A text of ParseReal's form whose value is a whole number that fits 64 bits
// (181.0, 1.81e2, 18100e-2), weighed exactly from its digits rather than
// through a double, so 2^53 + 1 stays itself and 181.0000000000000000001 is
// not whole; false otherwise.
bool ParseWholeDecimal(std::string_view text, int64_t* value);
// The short decimal form [+-]digits[.digits] as mantissa / 10^decimals,
// when the mantissa stays below 2^53 and there are at most 22 decimals, so
// that one division gives the double ParseReal gives; false otherwise (and
// for a negative zero, which the division cannot give).
inline bool ParseShortDecimal(std::string_view text, int64_t* mantissa, int* decimals);
// "YYYY-MM-DD" as the day number from 1970-01-01 (negative before it).
bool ParseDate(std::string_view text, double* days);
// "HH:MM:SS" with an optional fraction, as seconds since midnight.
bool ParseTime(std::string_view text, double* seconds);
// A date and a time joined by a blank or "T", as seconds since 1970-01-01.
bool ParseTimestamp(std::string_view text, double* seconds);
// A timestamp's calendar day (days from 1970-01-01) and time of day (seconds).
bool ParseTimestampParts(std::string_view text, double* days, double* seconds);
// What a column declared as dates or times reads: a timestamp there counts as
// its calendar day or its time of day, so that the date and time steps derive
// their parts from it. Building and replaying read cells alike.
bool ParseDayCell(std::string_view text, double* days);
bool ParseTimeOfDayCell(std::string_view text, double* seconds);
// The day (from 1970-01-01) and the seconds since that day's midnight of a
// timestamp's seconds since 1970, so that a timestamp handed over as two
// fields gives the same two values from a cell, a held column or a frame.
void SplitTimestamp(double seconds, double* days, double* timeOfDay);

// The two above for texts too long for their inline paths.
bool ParseIntegerChecked(std::string_view text, int64_t* value);
bool ParseShortDecimalChecked(std::string_view text, int64_t* mantissa, int* decimals);

// Inline, as the loader parses every cell: up to 18 digits cannot overflow
// and up to 15 stay below 2^53, so those are read without range checks.
inline bool ParseInteger(std::string_view text, int64_t* value) {
  const char* p = text.data();
  const char* last = p + text.size();
  const bool negative = p != last && *p == '-';
  if (p != last && (*p == '-' || *p == '+')) ++p;
  if (p != last && last - p <= 18) {
    uint64_t v = 0;
    for (; p != last; ++p) {
      const unsigned digit = static_cast<unsigned char>(*p) - 0x30u;
      if (digit > 9) break;
      v = v * 10 + digit;
    }
    if (p == last) {
      *value = negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
      return true;
    }
  }
  return ParseIntegerChecked(text, value);
}

inline bool ParseShortDecimal(std::string_view text, int64_t* mantissa, int* decimals) {
  const char* p = text.data();
  const char* last = p + text.size();
  const bool negative = p != last && *p == '-';
  if (p != last && (*p == '-' || *p == '+')) ++p;
  if (last - p > 15) return ParseShortDecimalChecked(text, mantissa, decimals);
  const char* integerStart = p;
  uint64_t m = 0;
  unsigned digit;
  while (p != last && (digit = static_cast<unsigned char>(*p) - 0x30u) <= 9) {
    m = m * 10 + digit;
    ++p;
  }
  if (p == integerStart) return false;
  int places = 0;
  if (p != last) {
    if (*p != '.') return false;
    const char* fractionStart = ++p;
    while (p != last && (digit = static_cast<unsigned char>(*p) - 0x30u) <= 9) {
      m = m * 10 + digit;
      ++p;
    }
    places = static_cast<int>(p - fractionStart);
    if (places == 0 || p != last) return false;
  }
  if (negative && m == 0) return false;
  *mantissa = negative ? -static_cast<int64_t>(m) : static_cast<int64_t>(m);
  *decimals = places;
  return true;
}

// What a cell of the given storage (a TorStorage code) must look like, for
// messages: "a number", "a date (YYYY-MM-DD)", ...
const char* StorageNoun(int storage);
// A cell's text in quotes for a message, shortened when long.
std::string QuoteCell(std::string_view text);

}  // namespace zelio

#endif  // ZELCRAFT_IO_CELLPARSER_H_
