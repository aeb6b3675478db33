#pragma once
// Prompts that never open a window: everything shown is recorded in `shown`,
// and questions and dialogs are answered from the scripted queues.
#include "app/Prompts.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kadenzo::test {

class FakePrompts : public Prompts {
public:
    // One entry per prompt, in order: "beep", "error:<text>", "confirm:<text>",
    // "confirmOk:<text>", "exception:<text>", "open:<filter>", "save:<filter>".
    std::vector<std::string> shown;

    std::deque<Answer> answers;                   // for confirm(); empty: Cancel
    std::deque<std::optional<std::string>> files; // for openFile()/saveFile(); empty: cancel

    void beep() override;
    void error(const std::string& text) override;
    Answer confirm(const std::string& text) override;
    void confirmOk(const std::string& text) override;
    void exception(const std::string& text) override;
    std::optional<std::string> openFile(FileDialogSpec& dialog) override;
    std::optional<std::string> saveFile(FileDialogSpec& dialog) override;

    // Number of entries of `shown` equal to `entry`.
    int count(const std::string& entry) const;
    void clear() { shown.clear(); }
};

} // namespace kadenzo::test
