#include "sequence/SeqFile.h"

#include "sequence/NumberText.h"

#include <utility>

namespace kadenzo {
namespace {

SeqReadResult refused(std::string message) {
    SeqReadResult r;
    r.error = std::move(message);
    return r;
}

std::string lineMessage(size_t line, const char* problem) {
    return "Line " + intToText(static_cast<long long>(line)) + " " + problem;
}

} // namespace

std::string writeSeq(SequenceTable& table, int model) {
    size_t size = 4;
    for (int i = 1; i < table.RowCount(); ++i) {
        for (int c = 0; c < kColumnCount; ++c)
            size += table.cell(c, i).size() + 1;
        size += 1;
    }
    std::string out;
    out.reserve(size);
    out += intToText(model).front();
    out += "\r\n";
    for (int i = 1; i < table.RowCount(); ++i) {
        for (int c : {VoltsColumn, AmpsColumn}) {
            if (table.cell(c, i).empty())
                table.setCell(c, i, cellDefault(c));
        }
        out += table.cell(StepColumn, i);
        out += ',';
        out += table.cell(VoltsColumn, i);
        out += ',';
        out += table.cell(AmpsColumn, i);
        out += ',';
        out += table.cell(CommentColumn, i);
        out += "\r\n";
    }
    out += '*';
    return out;
}

SeqReadResult readSeq(std::string_view bytes) {
    if (bytes.size() > kSeqMaxFileBytes)
        return refused("The file is larger than 200,000 bytes.");
    if (bytes.empty())
        return refused("The file is empty.");

    SeqReadResult result;
    if (bytes[0] == '1')
        result.model = 1;
    else if (bytes[0] == '2')
        result.model = 2;

    // Line 1 is the model line; its first byte may itself be the line end.
    size_t pos = bytes.find('\n');
    size_t line = 2;
    bool marker = false;
    while (pos != std::string_view::npos && ++pos < bytes.size()) {
        if (bytes[pos] == '*') {
            marker = true;
            break;
        }
        const size_t lineEnd = bytes.find('\n', pos);
        const bool ended = lineEnd != std::string_view::npos;
        std::string_view text = bytes.substr(pos, ended ? lineEnd - pos : std::string_view::npos);
        if (ended && !text.empty() && text.back() == '\r')
            text.remove_suffix(1); // CR LF reads as one line end

        size_t comma[3];
        size_t from = 0;
        bool complete = true;
        for (size_t& c : comma) {
            c = text.find(',', from);
            if (c == std::string_view::npos) {
                complete = false;
                break;
            }
            from = c + 1;
        }
        if (!complete) {
            if (ended)
                return refused(lineMessage(line, "has fewer than three commas."));
            break; // an incomplete last record without its line end: not loaded
        }
        std::string_view fields[4] = {
            text.substr(0, comma[0]),
            text.substr(comma[0] + 1, comma[1] - comma[0] - 1),
            text.substr(comma[1] + 1, comma[2] - comma[1] - 1),
            text.substr(comma[2] + 1),
        };
        for (std::string_view f : fields) {
            if (f.size() > kSeqMaxFieldLength)
                return refused(lineMessage(line, "has a field longer than 159 characters."));
        }
        result.steps.push_back(
            {std::string(fields[1]), std::string(fields[2]), std::string(fields[3])});
        pos = lineEnd;
        ++line;
    }
    result.endMarkerMissing = !marker;
    if (result.steps.empty())
        return refused("The file holds no steps.");
    result.ok = true;
    return result;
}

SeqReadResult loadSeq(std::string_view bytes, SequenceTable& table) {
    SeqReadResult result = readSeq(bytes);
    if (result.ok)
        table.replaceSteps(std::move(result.steps));
    return result;
}

} // namespace kadenzo
