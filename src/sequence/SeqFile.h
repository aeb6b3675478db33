#pragma once
// The .seq sequence file: 8-bit text with CR LF line ends.
//   model digit CR LF
//   step,volts,amps,comment CR LF     (one record per step)
//   *                                  (last byte, no line end)
// Reading and writing are pure: bytes in, bytes out. Opening and saving the
// file is the caller's business.
#include "sequence/SequenceTable.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kadenzo {

inline constexpr size_t kSeqMaxFileBytes = 200000;
inline constexpr size_t kSeqMaxFieldLength = 159;

// The file's bytes for the table. Empty Volts and I Limit cells are first set
// to "0.00" and "0.01" in the table, so the table holds what the file holds.
// The model line is the first character of the decimal text of `model`.
// Bytes longer than kSeqMaxFileBytes would not load again: the caller should
// not write them to a file, but tell the user (kTextSeqTooLargeToSave).
std::string writeSeq(SequenceTable& table, int model);

inline constexpr const char* kTextSeqTooLargeToSave =
    "The sequence is too long to save: a sequence file holds at most 200,000 bytes.";

struct SeqReadResult {
    bool ok = false;
    std::string error;        // when !ok: what is wrong with the file
    std::optional<int> model; // 1 or 2 when the file's first byte selects one
    std::vector<StepTexts> steps;
    bool endMarkerMissing = false; // the data ended before the final "*"
};

// Parses a file. Each CR LF (or a lone LF) ends a line; a lone CR is text.
// Line 1 is the model line, whose first byte is the model ("1", "2"; anything
// else leaves the model alone). Every following line up to one that starts
// with "*" is a record: the step number (ignored), Volts, I Limit, and the
// comment, which runs to the line end and may hold commas. Texts are kept
// byte for byte. A file is refused (ok false, the reason in `error`) when it is
// larger than kSeqMaxFileBytes, has a record with fewer than three commas before
// its line end, a field longer than kSeqMaxFieldLength, or no record at all.
// Without the "*", the complete records are loaded; a last line without a line
// end counts when it holds all four fields.
SeqReadResult readSeq(std::string_view bytes);

// readSeq(), then, when it succeeds, the steps move into the table in place of
// its steps (numbered from 1; the current cell stays unless its row is gone),
// leaving the result's `steps` empty. A refused file leaves the table as it
// was. Selecting the model is the caller's part.
SeqReadResult loadSeq(std::string_view bytes, SequenceTable& table);

} // namespace kadenzo
