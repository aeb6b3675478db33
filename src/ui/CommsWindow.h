#pragma once
// The communication configuration window's behaviour: port list, port choice, link
// test, line-end choice, suspend and resume.
#include "app/Context.h"

namespace kadenzo {

// The port list's only entry when no serial port is present.
inline constexpr const char* kNoComPort = "No COM Port found";

class CommsWindow {
public:
    // Ports looked for when the list is built: COM1 to COM256.
    static constexpr int kLastPort = 256;

    explicit CommsWindow(Context& c) : c(c) {}
    void wire();

    // Window created: lists the ports, ticks the line-end box, applies the configured port.
    void FormCreate();
    // Builds the port list, once per program run; each entry shows its device as a tool tip.
    void ListComPorts();
    // The port box's text changed (an entry picked or a character typed): releases the
    // port, then opens the one the text names. A text that is no number throws.
    void comport_comboChange();
    // "Test": asks "*idn?" on the port as it is and shows the reply or "Timed Out".
    void Button1Click();
    // The firmware box: ticked, commands end with LF; clear, with CR.
    void CheckBox1Click();
    // "Suspend" / "Resume".
    void Button2Click();
    // Window closed (hidden): the test's text is cleared.
    void FormClose();

private:
    Context& c;
};

} // namespace kadenzo
