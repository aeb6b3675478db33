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

void Link::sendCommand(std::string_view command, std::string_view value) {
    c.CWSerial1.PortWrite(command);
    if (!value.empty())
        c.CWSerial1.PortWrite(value);
    SendLineEnd();
}

std::string Link::query(std::string_view command, int32_t count) {
    sendCommand(command);
    return c.CWSerial1.PortRead(count);
}

// Filled in with the link's behaviour.
void Link::PollStatus() {}
void Link::Timer3Timer() {}
void Link::Timer1Timer() {}
void Link::IdentifyInstrument() {}

} // namespace kadenzo
