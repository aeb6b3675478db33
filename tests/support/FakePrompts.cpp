#include "FakePrompts.h"

#include <algorithm>

namespace kadenzo::test {

void FakePrompts::beep() {
    shown.push_back("beep");
}
void FakePrompts::error(const std::string& text) {
    shown.push_back("error:" + text);
}
void FakePrompts::confirmOk(const std::string& text) {
    shown.push_back("confirmOk:" + text);
}
void FakePrompts::exception(const std::string& text) {
    shown.push_back("exception:" + text);
}

Prompts::Answer FakePrompts::confirm(const std::string& text) {
    shown.push_back("confirm:" + text);
    if (answers.empty())
        return Answer::Cancel;
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

static std::optional<std::string> nextFile(std::deque<std::optional<std::string>>& files,
                                           FileDialogSpec& dialog) {
    if (files.empty())
        return std::nullopt;
    auto f = files.front();
    files.pop_front();
    if (f)
        dialog.fileName = *f;
    return f;
}

std::optional<std::string> FakePrompts::openFile(FileDialogSpec& dialog) {
    shown.push_back("open:" + dialog.filter);
    return nextFile(files, dialog);
}

std::optional<std::string> FakePrompts::saveFile(FileDialogSpec& dialog) {
    shown.push_back("save:" + dialog.filter);
    return nextFile(files, dialog);
}

int FakePrompts::count(const std::string& entry) const {
    return static_cast<int>(std::count(shown.begin(), shown.end(), entry));
}

} // namespace kadenzo::test
