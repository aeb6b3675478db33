#include "FuzzEntries.h"

#include "sequence/CsvImport.h"
#include "sequence/NumberText.h"
#include "sequence/SeqFile.h"
#include "sequence/SupplyModels.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace kadenzo::fuzz {
namespace {

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz property broken: %s\n", what);
        std::abort();
    }
}

bool isBlankByte(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

int seqReaderOne(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    SequenceTable table;
    table.replaceSteps({{"1.00", "0.10", "before"}, {"2.00", "0.20", ""}});
    const std::vector<StepTexts> before = {{"1.00", "0.10", "before"}, {"2.00", "0.20", ""}};
    SeqReadResult r = loadSeq(bytes, table);
    if (!r.ok) {
        require(!r.error.empty(), "a refused file has a message");
        require(table.stepCount() == 2 && table.step(1) == before[0] && table.step(2) == before[1],
                "a refused file leaves the table as it was");
        return 0;
    }
    require(size <= kSeqMaxFileBytes, "no file over the size limit is accepted");
    require(table.stepCount() >= 1, "at least one step");
    for (int i = 1; i < table.RowCount(); ++i) {
        require(table.cell(StepColumn, i) == intToText(i), "steps are numbered");
        for (int c = VoltsColumn; c <= CommentColumn; ++c) {
            const std::string& text = table.cell(c, i);
            require(text.size() <= kSeqMaxFieldLength, "fields within the length limit");
            require(text.find('\n') == std::string::npos, "no line end inside a field");
            if (c != CommentColumn)
                require(text.find(',') == std::string::npos, "no comma inside a value");
        }
    }

    // What the writer makes of it loads back to the same table and the same bytes.
    const std::string file = writeSeq(table, r.model.value_or(3));
    SequenceTable again;
    SeqReadResult back = loadSeq(file, again);
    if (file.size() > kSeqMaxFileBytes) {
        require(!back.ok, "a written file over the limit is refused");
        return 0;
    }
    require(back.ok && !back.endMarkerMissing, "a written file loads");
    require(again.RowCount() == table.RowCount(), "same number of steps");
    for (int i = 1; i < table.RowCount(); ++i)
        require(again.step(i) == table.step(i), "same steps");
    require(writeSeq(again, back.model.value_or(3)) == file, "same bytes");
    return 0;
}

int csvImportOne(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const SupplyModel& model : supplyModels()) {
        CsvImportResult r = importCsv(bytes, model.maxVolts, model.maxAmps);
        if (!r.ok) {
            std::string_view rest = bytes;
            if (rest.starts_with("\xEF\xBB\xBF"))
                rest.remove_prefix(3);
            bool blank = true;
            for (char c : rest)
                blank = blank && isBlankByte(c);
            require(blank, "only a file without data is refused");
            require(r.steps.empty() && !r.error.empty(), "a refused import has a message");
            continue;
        }
        size_t lineEnds = 0;
        for (char c : bytes)
            lineEnds += c == '\n' || c == '\r';
        require(!r.steps.empty(), "an import holds a step");
        require(r.steps.size() <= lineEnds + 1, "no more steps than lines");
        for (const StepTexts& s : r.steps) {
            const float v = leadingFloat(s.volts);
            const float a = leadingFloat(s.amps);
            require(s.volts == format42(v) && s.amps == format32(a), "values are formatted");
            require(v >= 0.0f && v <= model.maxVolts, "volts within the limits");
            require(a >= 0.01f && a <= model.maxAmps, "amps within the limits");
            require(s.volts.size() <= 5 && s.amps.size() <= 5, "short values");
            require(s.comment.empty() || s.comment == kTextIllegalImport ||
                        s.comment == kTextVoltsExceeded || s.comment == kTextAmpsExceeded,
                    "only the import's own comments");
        }
    }
    return 0;
}

} // namespace kadenzo::fuzz
