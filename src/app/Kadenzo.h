#pragma once
// The program: its six windows, created in order with each one's creation handler run
// before the next is made, and the behaviour wired to them.
#include "app/Context.h"

#include <memory>

namespace kadenzo {

class Kadenzo {
public:
    Kadenzo(TCWSerial& serial, Prompts& prompts);
    ~Kadenzo();
    Kadenzo(const Kadenzo&) = delete;
    Kadenzo& operator=(const Kadenzo&) = delete;

    Context& context() { return c; }
    // Shows the main window.
    void show();

private:
    Context c;
    std::unique_ptr<Shell> shell_;
    std::unique_ptr<Link> link_;
    std::unique_ptr<Runner> runner_;
    std::unique_ptr<FrontPanel> panel_;
    std::unique_ptr<SequenceEditor> editor_;
    std::unique_ptr<CommsWindow> comms_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm5> form5_;
    std::unique_ptr<TForm6> form6_;
    std::unique_ptr<TForm7> form7_;
};

} // namespace kadenzo
