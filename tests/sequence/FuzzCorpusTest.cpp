// Replays the fuzz targets' seed corpus through their entry functions, so a
// build without libFuzzer still checks every seed.
#include "FuzzEntries.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int replay(const char* corpus, int (*entry)(const uint8_t*, size_t)) {
    int files = 0;
    for (const auto& e :
         std::filesystem::directory_iterator(std::filesystem::path(KADENZO_FUZZ_CORPUS) / corpus)) {
        if (!e.is_regular_file())
            continue;
        std::ifstream in(e.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(e.path().string());
        entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    return files;
}

} // namespace

TEST(FuzzCorpus, SeqReaderSeeds) {
    EXPECT_GT(replay("seq_reader", kadenzo::fuzz::seqReaderOne), 0);
}

TEST(FuzzCorpus, CsvImportSeeds) {
    EXPECT_GT(replay("csv_import", kadenzo::fuzz::csvImportOne), 0);
}
