#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Numbers in fields are read and written with the decimal separator in
// force, never with the C library's global locale.
namespace vor3::model {

// A number as a field shows it: no leading blank, no trailing zeros, up to
// 15 significant digits, the given decimal separator ("-0,5").
std::string format_number(double value, const std::string& decimal_sep);

// The whole text as a number in the user's format (optional sign, digits,
// the separator's first character as decimal point, surrounding blanks
// allowed). Empty text, a lone sign or separator, or anything else is no
// number.
std::optional<double> locale_number(std::string_view text, const std::string& decimal_sep);

// The number at the start of the text with "." as the decimal point;
// reading stops at the first character that does not fit; never fails.
double leading_number(std::string_view text);

// Rounds to the nearest integer, halves to even.
long long round_half_even(double value);

// The value of 1 to 8 hex digits of either case; none for no digits, more
// than 8, or a character that is not a hex digit.
std::optional<std::uint32_t> hex_number(std::string_view digits);

}  // namespace vor3::model
