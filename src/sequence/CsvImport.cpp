#include "sequence/CsvImport.h"

#include "sequence/NumberText.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kadenzo {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Position after the line end that starts at `pos` (CR LF, LF or CR).
size_t skipLineEnd(std::string_view data, size_t pos) {
    if (pos < data.size() && data[pos] == '\r')
        ++pos;
    else if (pos < data.size() && data[pos] == '\n')
        return pos + 1;
    else
        return pos;
    if (pos < data.size() && data[pos] == '\n')
        ++pos;
    return pos;
}

} // namespace

CsvImporter::CsvImporter(std::string_view data, float maxVolts, float maxAmps)
    : importData(data), maxVolts(maxVolts), maxAmps(maxAmps) {
    size_t start = data.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    importStart = importSize = start;
    // The data ends after the last line that holds more than blanks.
    for (size_t pos = start; pos < data.size();) {
        size_t end = pos;
        bool blank = true;
        while (end < data.size() && !isLineEnd(data[end])) {
            if (data[end] != ' ' && data[end] != '\t')
                blank = false;
            ++end;
        }
        pos = skipLineEnd(data, end);
        if (!blank)
            importSize = pos;
    }
}

CsvImportResult CsvImporter::ImportCsv() {
    ClearImportField();
    importPos = importFieldStart = importStart;
    importRow = 1;
    rows.clear();
    while (importPos < importSize) {
        rowAt(importRow).comment.clear();
        ImportVoltsField();
        ImportAmpsField();
    }
    CsvImportResult result;
    if (rows.empty()) {
        result.error = "The file holds no data to import.";
        return result;
    }
    result.ok = true;
    result.steps = std::move(rows);
    rows.clear();
    return result;
}

void CsvImporter::ImportVoltsField() {
    while (importPos < importSize && importData[importPos] != ',' && !atLineEnd())
        ++importPos;
    readField(importPos);
    if (importPos < importSize && importData[importPos] == ',')
        ++importPos;
    const float v = leadingFloat(std::string_view(importField, importFieldLength));
    StepTexts& row = rowAt(importRow);
    if (v > maxVolts || v < 0.0f) {
        rowAt(1).comment = kTextIllegalImport;
        row.comment = kTextVoltsExceeded;
        row.volts = kDefaultVolts;
    } else {
        row.volts = format42(v);
    }
    importFieldStart = importPos;
    ClearImportField();
}

void CsvImporter::ImportAmpsField() {
    while (importPos < importSize && !atLineEnd())
        ++importPos;
    readField(importPos);
    const float v = leadingFloat(std::string_view(importField, importFieldLength));
    StepTexts& row = rowAt(importRow);
    if (v > maxAmps || v < 0.01f) {
        rowAt(1).comment = kTextIllegalImport;
        row.comment = kTextAmpsExceeded;
        row.amps = kDefaultAmps;
    } else {
        row.amps = format32(v);
    }
    importPos = std::min(skipLineEnd(importData, importPos), importSize);
    importFieldStart = importPos;
    ClearImportField();
    ++importRow;
}

void CsvImporter::ClearImportField() {
    std::memset(importField, 0, sizeof importField);
    importFieldLength = 0;
}

bool CsvImporter::atLineEnd() const {
    return isLineEnd(importData[importPos]);
}

// Copies the field [importFieldStart, end), at most its first 99 bytes.
void CsvImporter::readField(size_t end) {
    size_t n = std::min(end - importFieldStart, sizeof importField - 1);
    if (n > 0)
        std::memcpy(importField, importData.data() + importFieldStart, n);
    importField[n] = '\0';
    importFieldLength = n;
}

StepTexts& CsvImporter::rowAt(int row) {
    if (rows.size() < static_cast<size_t>(row))
        rows.resize(static_cast<size_t>(row));
    return rows[static_cast<size_t>(row) - 1];
}

CsvImportResult importCsv(std::string_view bytes, float maxVolts, float maxAmps) {
    return CsvImporter(bytes, maxVolts, maxAmps).ImportCsv();
}

CsvImportResult importCsvInto(std::string_view bytes, float maxVolts, float maxAmps,
                              SequenceTable& table) {
    CsvImportResult result = importCsv(bytes, maxVolts, maxAmps);
    if (result.ok)
        table.replaceSteps(std::move(result.steps));
    return result;
}

} // namespace kadenzo
