#pragma once
// Playing the sequence: Start, the automatic step timer with passes, Stop, completion
// and manual stepping.
#include "app/Context.h"

namespace kadenzo {

class Runner {
  public:
    explicit Runner(Context& c) : c(c) {}
    void wire();

  private:
    Context& c;
};

} // namespace kadenzo
