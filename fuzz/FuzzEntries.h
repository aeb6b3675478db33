#pragma once
// One input of each fuzz target: parse it and check what must hold for any
// bytes. A broken property aborts. Shared by the libFuzzer programs and the
// plain test that replays the seed corpus.
#include <cstddef>
#include <cstdint>

namespace kadenzo::fuzz {

// .seq reader: a refused file changes nothing; an accepted one keeps its
// fields within the layout, and the file written from it loads back the same.
int seqReaderOne(const uint8_t* data, size_t size);

// CSV import: every imported value is within the limits it was imported with
// and formatted; only a file without data is refused.
int csvImportOne(const uint8_t* data, size_t size);

} // namespace kadenzo::fuzz
