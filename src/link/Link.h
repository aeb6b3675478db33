#pragma once
// Command transport, link errors, the status polls and the identification of the supply.
#include "app/Context.h"

#include <cstdint>
#include <string>

namespace kadenzo {

class Link {
  public:
    explicit Link(Context& c) : c(c) {}
    void wire();

    // Writes the line end that lineEndMode chooses (CR, LF or nothing).
    void SendLineEnd();
    // The serial control's error event; runs nested inside the failing call.
    void CWSerial1Error(TCWSerial& sender, int32_t errorCode, const std::string& errMsg);

  private:
    Context& c;
};

} // namespace kadenzo
