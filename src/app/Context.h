#pragma once
// What the behaviour of every window works on: the shared state, the serial control,
// the prompts, the six windows and the behaviour objects. Owned by the application.
#include "app/MainState.h"

namespace kadenzo {

class TCWSerial;
class Prompts;
class TForm1;
class TForm2;
class TForm3;
class TForm5;
class TForm6;
class TForm7;
class Shell;
class Link;
class Runner;
class FrontPanel;
class SequenceEditor;
class CommsWindow;

struct Context {
    Context(TCWSerial& serial, Prompts& p) : CWSerial1(serial), prompts(p) {}
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    MainState st;
    TCWSerial& CWSerial1;
    Prompts& prompts;

    TForm1* Form1 = nullptr; // main window
    TForm2* Form2 = nullptr; // sequence editor
    TForm3* Form3 = nullptr; // communication configuration
    TForm5* Form5 = nullptr; // About
    TForm6* Form6 = nullptr; // preset volts
    TForm7* Form7 = nullptr; // preset amps

    Shell* shell = nullptr;
    Link* link = nullptr;
    Runner* runner = nullptr;
    FrontPanel* panel = nullptr;
    SequenceEditor* editor = nullptr;
    CommsWindow* comms = nullptr;
};

} // namespace kadenzo
