#pragma once
// The communication configuration window's behaviour: port list, port choice, link
// test, line-end choice, suspend and resume.
#include "app/Context.h"

namespace kadenzo {

class CommsWindow {
  public:
    explicit CommsWindow(Context& c) : c(c) {}
    void wire();
    void FormCreate();

  private:
    Context& c;
};

} // namespace kadenzo
