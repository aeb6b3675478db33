#include "link/Link.h"

#include "link/TCWSerial.h"

namespace kadenzo {

void Link::wire() {
    c.CWSerial1.OnError = [this](TCWSerial& s, int32_t code, const std::string& msg) {
        CWSerial1Error(s, code, msg);
    };
}

void Link::SendLineEnd() {
    if (c.st.lineEndMode == 0)
        c.CWSerial1.PortWrite("\r");
    if (c.st.lineEndMode == 1)
        c.CWSerial1.PortWrite("\n");
}

void Link::CWSerial1Error(TCWSerial&, int32_t errorCode, const std::string&) {
    c.st.commsFault = 0;
    c.st.lastLinkError = errorCode;
}

} // namespace kadenzo
