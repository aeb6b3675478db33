#pragma once
// Start-up, shutdown and the main window's menu commands that only hand over.
#include "app/Context.h"

namespace kadenzo {

class Shell {
public:
    explicit Shell(Context& c) : c(c) {}
    void wire();

    void FormCreate();
    bool FormCloseQuery(); // false keeps the window open
    void FormClose();
    void Quit1Click();
    void About2Click();
    void Editor1Click();
    void Configure1Click();

    // The model limits after the "Instrument" menu checks (one of the three is checked).
    void setLimitsFromCheckedModel();

private:
    Context& c;
};

} // namespace kadenzo
