#pragma once
// The program's prompts: Qt message boxes, file dialogs and the system beep.
#include "app/Prompts.h"

class QWidget;

namespace kadenzo {

class QtPrompts : public Prompts {
public:
    void beep() override;
    void error(const std::string& text) override;
    Answer confirm(const std::string& text) override;
    void confirmOk(const std::string& text) override;
    void exception(const std::string& text) override;
    std::optional<std::string> openFile(FileDialogSpec& dialog) override;
    std::optional<std::string> saveFile(FileDialogSpec& dialog) override;
};

} // namespace kadenzo
