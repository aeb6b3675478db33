#pragma once
// A supply for the fake serial control that answers each command line from a table,
// so a test can give any reply, a cut one or none at all. Lines end with CR or LF.
#include "FakeSerial.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kadenzo::test {

struct ScriptedSupply {
    // Command line (without its line end) -> the bytes answered. A command not in the
    // table gets no answer, so its read times out.
    std::map<std::string, std::string> replies;
    // Every command line heard, in order.
    std::vector<std::string> heard;
    // Runs when a line is complete, before it is answered.
    std::function<void(const std::string& line)> onLine;

    explicit ScriptedSupply(FakeSerial& serial) : serial_(serial), previous_(serial.peer) {
        serial.peer = [this](std::string_view bytes, std::string& out) {
            for (char ch : bytes) {
                if (ch != '\r' && ch != '\n') {
                    line_ += ch;
                    continue;
                }
                heard.push_back(line_);
                if (onLine)
                    onLine(line_);
                if (auto it = replies.find(line_); it != replies.end())
                    out += it->second;
                line_.clear();
            }
        };
    }
    // The fake gets its simulated supply back.
    ~ScriptedSupply() { serial_.peer = previous_; }
    ScriptedSupply(const ScriptedSupply&) = delete;
    ScriptedSupply& operator=(const ScriptedSupply&) = delete;

private:
    FakeSerial& serial_;
    std::function<void(std::string_view, std::string&)> previous_;
    std::string line_;
};

} // namespace kadenzo::test
