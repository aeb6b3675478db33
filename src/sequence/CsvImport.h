#pragma once
// Import of comma-separated files: one step per line, "volts,amps". Every value
// is tested against the limits (single precision); an illegal value is replaced
// by its default and the step gets a comment saying which limit it broke.
#include "sequence/SequenceTable.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kadenzo {

inline constexpr const char* kTextIllegalImport =
    "Illegal values in imported data - Look for comments";
inline constexpr const char* kTextVoltsExceeded = "PSU Volts limit exceeded";
inline constexpr const char* kTextAmpsExceeded = "PSU Amps limit exceeded";

struct CsvImportResult {
    bool ok = false;
    std::string error; // when !ok: why nothing was imported
    std::vector<StepTexts> steps;
};

// The import of one file's bytes. A line ends in CR LF, LF or CR; the last line
// may lack its line end; blank lines at the end and a UTF-8 byte-order mark at
// the start are skipped. The Volts field runs to the first "," of the line, the
// I Limit field from there to the line end (a line without "," has an empty
// I Limit field); each is read from at most its first 99 bytes. A file without
// any line is refused.
class CsvImporter {
public:
    CsvImporter(std::string_view data, float maxVolts, float maxAmps);

    // Runs the import; the result holds the steps for the table.
    CsvImportResult ImportCsv();

private:
    void ImportVoltsField();
    void ImportAmpsField();
    void ClearImportField();
    bool atLineEnd() const;
    void readField(size_t end);
    StepTexts& rowAt(int row);

    std::string_view importData;
    size_t importStart = 0; // after the byte-order mark, if any
    size_t importSize = 0;  // end of the data to import (trailing blank lines cut off)
    size_t importPos = 0;
    size_t importFieldStart = 0;
    int importRow = 1;
    char importField[100] = {};
    size_t importFieldLength = 0;
    float maxVolts;
    float maxAmps;
    std::vector<StepTexts> rows; // rows[0] is table row 1
};

// CsvImporter(bytes, maxVolts, maxAmps).ImportCsv().
CsvImportResult importCsv(std::string_view bytes, float maxVolts, float maxAmps);

// importCsv(), then, when it succeeds, its steps move into the table in place of
// its steps (numbered from 1; the current cell stays unless its row is gone),
// leaving the result's `steps` empty. A refused file leaves the table as it
// was. Setting unsavedChanges is the caller's part.
CsvImportResult importCsvInto(std::string_view bytes, float maxVolts, float maxAmps,
                              SequenceTable& table);

} // namespace kadenzo
