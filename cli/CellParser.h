// Parsers for the cell texts of a CSV file: whole numbers, decimal numbers,
// dates, times of day and timestamps. Each accepts exactly its own form, with
// no surrounding blanks, so that inference and loading agree on every cell.
#ifndef ZELCRAFT_CLI_CELLPARSER_H_
#define ZELCRAFT_CLI_CELLPARSER_H_

#include <cstdint>
#include <string_view>

namespace zelcli {

// Optional sign and digits; false when the value does not fit 64 bits.
bool ParseInteger(std::string_view text, int64_t* value);
// Optional sign, digits with an optional point, optional exponent; rounded
// correctly. Words such as "inf" or "nan" and overflowing values are refused.
bool ParseReal(std::string_view text, double* value);
// "YYYY-MM-DD" as the day number from 1970-01-01 (negative before it).
bool ParseDate(std::string_view text, double* days);
// "HH:MM:SS" with an optional fraction, as seconds since midnight.
bool ParseTime(std::string_view text, double* seconds);
// A date and a time joined by a blank or "T", as seconds since 1970-01-01.
bool ParseTimestamp(std::string_view text, double* seconds);
// A timestamp's calendar day (days from 1970-01-01) and time of day (seconds).
bool ParseTimestampParts(std::string_view text, double* days, double* seconds);

// Days from 1970-01-01 to the given day of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int month, int day);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_CELLPARSER_H_
