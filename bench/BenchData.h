#pragma once
// What the sequence benchmarks share: the test files they work on and how they report.
#include "sequence/SeqFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace kadenzo::bench {

using Clock = std::chrono::steady_clock;

// A .seq file for model 2 of exactly `size` bytes with `steps` steps; the values are
// in the form the editor writes, so loading and saving give the same bytes.
inline std::string seqFile(size_t size, int steps) {
    std::string file = "2\r\n";
    for (int i = 1; i <= steps; ++i) {
        std::string head = std::to_string(i) + "," + std::to_string(i % 30) + ".50,1.00,";
        size_t left = size - 1 - file.size();
        size_t perStep = left / static_cast<size_t>(steps - i + 1);
        size_t comment = perStep > head.size() + 2 ? perStep - head.size() - 2 : 0;
        file += head + std::string(std::min<size_t>(comment, kSeqMaxFieldLength), 'c') + "\r\n";
    }
    file += '*';
    return file;
}

// A CSV file of `lines` lines of volts and current limit.
inline std::string csvFile(int lines) {
    std::string file;
    for (int i = 0; i < lines; ++i)
        file += std::to_string(i % 40) + "." + std::to_string(i % 100) + "," +
                std::to_string(i % 3) + "." + std::to_string(i % 97) + "\r\n";
    return file;
}

// Prints the median, minimum and maximum of the times of one operation.
inline void report(const char* name, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-8s median %8.3f ms   (min %8.3f, max %8.3f, %zu runs)\n", name,
                ms[ms.size() / 2], ms.front(), ms.back(), ms.size());
}

} // namespace kadenzo::bench
