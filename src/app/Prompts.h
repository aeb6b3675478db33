#pragma once
// Every modal box, file dialog and beep of the program goes through this interface,
// so behaviour can be tested without a window ever blocking.
#include <optional>
#include <string>

namespace kadenzo {

// What a file dialog is set up with. `fileName` is the name last chosen in it;
// a dialog that returns a name stores it there, so the next use proposes it again.
struct FileDialogSpec {
    std::string filter;     // for example "Kadenzo Files|*.seq"
    std::string defaultExt; // for example "*.seq"
    std::string initialDir; // empty: the dialog's own default
    std::string fileName;
    bool promptOverwrite = false;
};

class Prompts {
public:
    enum class Answer { Yes, No, Cancel, Ok };

    virtual ~Prompts() = default;

    // The system's default beep.
    virtual void beep() = 0;
    // Error box with one OK button (caption "Error").
    virtual void error(const std::string& text) = 0;
    // Confirmation box with Yes, No and Cancel.
    virtual Answer confirm(const std::string& text) = 0;
    // Confirmation box with only an OK button.
    virtual void confirmOk(const std::string& text) = 0;
    // The toolkit's standard report of a failed operation (for example a conversion
    // error such as "'abc' is not a valid integer value").
    virtual void exception(const std::string& text) = 0;
    // File dialogs: the chosen path, or nothing when cancelled.
    virtual std::optional<std::string> openFile(FileDialogSpec& dialog) = 0;
    virtual std::optional<std::string> saveFile(FileDialogSpec& dialog) = 0;
};

} // namespace kadenzo
