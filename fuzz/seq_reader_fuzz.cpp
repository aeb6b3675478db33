// libFuzzer target: the .seq reader and writer.
#include "FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return kadenzo::fuzz::seqReaderOne(data, size);
}
