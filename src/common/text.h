// Text helpers shared by every rule and file format: blankness, the numeric value of a
// text, halves-to-even rounding and the print forms of numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zorvane {

// Removes spaces (only the space character) from both ends.
std::string trim(std::string_view text);

// A text that is empty once leading and trailing spaces are removed.
bool is_blank(std::string_view text);

// The number at the start of the text, spaces before it ignored; 0 when the text does
// not start with a number. Accepts a sign, digits, a decimal point and an exponent.
double numeric_value(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Values beyond the 64-bit range saturate; NaN gives 0.
long long round_half_even(double value);

// numeric_value rounded halves-to-even: the value of a text where a whole number is needed.
long long whole_value(std::string_view text);

// A whole number as the print statement writes it on a line of its own: a leading space
// for the sign (or "-"), the digits and one trailing space: 30832 -> " 30832 ".
std::string print_number(long long value);

// A whole number converted to text: sign position and digits, no trailing space: " 1".
std::string str_number(long long value);

// The text in double quotes, for messages that name a file: "map.aim".
std::string quoted(std::string_view text);

// How much of a file's line a message quotes: enough to recognise it, short enough for
// a message box.
inline constexpr std::size_t kQuoteLimit = 60;
// How much of a file name taken from a file's contents a message quotes.
inline constexpr std::size_t kPathQuoteLimit = 240;
// The text in double quotes, cut to its first max_bytes bytes (not inside a UTF-8
// character) followed by "..." when longer: for messages that quote file contents. Control
// characters and bytes that are not UTF-8 appear as \xNN, so that a damaged or hostile file
// cannot send a terminal its escape sequences or garble a message box.
std::string quoted_excerpt(std::string_view text, std::size_t max_bytes = kQuoteLimit);

// ASCII lower case; other bytes unchanged.
std::string to_lower_ascii(std::string_view text);

// True when the text holds a control character (bytes 0..31 or 127).
bool has_control_char(std::string_view text);

}  // namespace zorvane
