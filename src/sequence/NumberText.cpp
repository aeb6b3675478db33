#include "sequence/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace kadenzo {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the decimal number at the start of `s` (sign, mantissa, exponent), 0 if none.
size_t numberLength(std::string_view s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// Converts a text that numberLength() accepted in full.
double convert(std::string_view number) {
    bool negative = false;
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
        negative = number[0] == '-';
        number.remove_prefix(1);
    }
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                     std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large gives infinity, too small gives zero, as strtod does.
        auto e = number.find_first_of("eE");
        bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    (void)ptr;
    return negative ? -value : value;
}

std::string quoted(std::string_view text, const char* tail) {
    std::string msg = "'";
    msg.append(text);
    msg += "' ";
    msg += tail;
    return msg;
}

} // namespace

double leadingNumber(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    text.remove_prefix(start);
    size_t len = numberLength(text);
    if (len == 0)
        return 0.0;
    return convert(text.substr(0, len));
}

float leadingFloat(std::string_view text) {
    return static_cast<float>(leadingNumber(text));
}

int32_t strToInt(std::string_view text) {
    std::string_view s = text;
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty())
        throw ConversionError(quoted(text, "is not a valid integer value"));
    long long value = 0;
    for (char c : s) {
        if (!isDigit(c))
            throw ConversionError(quoted(text, "is not a valid integer value"));
        value = value * 10 + (c - '0');
        if (value > 2147483648LL)
            throw ConversionError(quoted(text, "is not a valid integer value"));
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min())
        throw ConversionError(quoted(text, "is not a valid integer value"));
    return static_cast<int32_t>(value);
}

double strToFloat(std::string_view text) {
    std::string_view s = text;
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    size_t len = numberLength(s);
    if (len == 0 || len != s.size())
        throw ConversionError(quoted(text, "is not a valid floating point value"));
    double value = convert(s);
    if (std::isinf(value))
        throw ConversionError(quoted(text, "is not a valid floating point value"));
    return value;
}

std::string formatFixed2(double value, int width) {
    char buf[400];
    std::string out;
    if (std::isnan(value)) {
        out = "nan";
    } else if (std::isinf(value)) {
        out = value < 0 ? "-inf" : "inf";
    } else {
        auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
        out.assign(buf, ec == std::errc() ? ptr : buf);
    }
    if (static_cast<int>(out.size()) < width)
        out.insert(0, static_cast<size_t>(width) - out.size(), ' ');
    return out;
}

std::string intToText(long long value) {
    return std::to_string(value);
}

} // namespace kadenzo
