#pragma once
// Small text forms the simulated supply writes: three-decimal numbers and
// byte strings made readable for its trace.
#include <string>
#include <string_view>

namespace kadenzo::sim {

// n thousandths as a decimal text with three decimals: 12345 gives "12.345", -5 "-0.005".
std::string thousandthsText(long long n);

// A finite value rounded to three decimals, as "%.3f" writes it ("0.125", "2.060").
std::string fixed3(double value);

// The bytes with CR as \r, LF as \n, TAB as \t, a backslash as \\ and any other
// byte outside printable ASCII as \xHH, so that one line shows them exactly.
std::string traceText(std::string_view bytes);

} // namespace kadenzo::sim
