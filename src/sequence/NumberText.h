#pragma once
// Numbers held as text: reading and writing them the same way on every desktop.
// "." is always the decimal point; nothing here depends on the C or Qt locale.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kadenzo {

// A strict conversion failed; what() is the message the user sees.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The value of the longest leading decimal number of `text`, as a C-style
// conversion reads it: leading blanks skipped, optional sign, digits with an
// optional "." and fraction, optional exponent. Text without a number reads as 0.
double leadingNumber(std::string_view text);

// leadingNumber() converted to single precision.
float leadingFloat(std::string_view text);

// Strict conversions. They throw ConversionError with the messages
// "'<text>' is not a valid integer value" and
// "'<text>' is not a valid floating point value".
int32_t strToInt(std::string_view text);
double strToFloat(std::string_view text);

// printf-style "%<width>.2f" of `value`, right-aligned in `width` characters.
std::string formatFixed2(double value, int width);
inline std::string format42(double value) {
    return formatFixed2(value, 4);
} // "%4.2f"
inline std::string format32(double value) {
    return formatFixed2(value, 3);
} // "%3.2f"

// Decimal text of an integer.
std::string intToText(long long value);

} // namespace kadenzo
