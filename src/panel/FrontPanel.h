#pragma once
// Working the supply by hand: output on/off, preset voltage and current limit, and
// fine adjustment during a manual run.
#include "app/Context.h"

namespace kadenzo {

class FrontPanel {
  public:
    explicit FrontPanel(Context& c) : c(c) {}
    void wire();

  private:
    Context& c;
};

} // namespace kadenzo
