#include "sim/Text.h"

#include "sequence/NumberText.h"

#include <cmath>

namespace kadenzo::sim {

std::string thousandthsText(long long n) {
    std::string out;
    unsigned long long magnitude =
        n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    if (n < 0)
        out += '-';
    out += intToText(static_cast<long long>(magnitude / 1000));
    out += '.';
    std::string frac = intToText(static_cast<long long>(magnitude % 1000));
    out.append(3 - frac.size(), '0');
    out += frac;
    return out;
}

std::string fixed3(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e15)
        return "0.000";
    return thousandthsText(std::llround(value * 1000.0));
}

std::string traceText(std::string_view bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else if (c < 0x20 || c >= 0x7F) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else
            out += static_cast<char>(c);
    }
    return out;
}

} // namespace kadenzo::sim
