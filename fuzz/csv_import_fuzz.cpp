// libFuzzer target: the CSV import.
#include "FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return kadenzo::fuzz::csvImportOne(data, size);
}
