#include "FakeSerial.h"

#include "SimPeer.h"

namespace kadenzo::test {

std::string visible(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

FakeSerial::FakeSerial() : sim_(new SimPeer) {
    SimPeer* supply = sim_;
    peer = [supply](std::string_view bytes, std::string& reply) {
        reply += supply->engine.respond(bytes);
    };
}

FakeSerial::~FakeSerial() {
    delete sim_;
}

void FakeSerial::clearRecords() {
    writes.clear();
    wire.clear();
    calls.clear();
}

void FakeSerial::PortConfigure() {
    calls.push_back("PortConfigure(" + std::to_string(ComPort) + ")");
    open = false;
    if (!existing.count(ComPort)) {
        raiseError(serr::PortInvalid, "port does not exist");
        return;
    }
    if (busy.count(ComPort)) {
        raiseError(serr::PortInUse, "port in use");
        return;
    }
    open = true;
    openPort = ComPort;
    pending.clear();
}

void FakeSerial::PortReset() {
    calls.push_back("PortReset");
    open = false;
    openPort = 0;
}

void FakeSerial::PortWrite(std::string_view text) {
    calls.push_back("PortWrite(" + visible(text) + ")");
    if (!open) {
        raiseError(serr::NotOpen, "port not open");
        return;
    }
    writes.emplace_back(text);
    wire.append(text);
    peer(text, pending);
    // A muted line loses the supply's answers, so none is left over for a read after unmuting.
    if (muted)
        pending.clear();
}

std::string FakeSerial::PortRead(int32_t count) {
    calls.push_back("PortRead(" + std::to_string(count) + ")");
    if (!open || muted || count <= 0) {
        if (!open || muted)
            raiseError(serr::Timeout, "time-out");
        return {};
    }
    size_t n = std::min(pending.size(), static_cast<size_t>(count));
    size_t lf = pending.find('\n');
    bool complete = false;
    if (lf != std::string::npos && lf < n) {
        n = lf + 1;
        complete = true;
    } else if (n == static_cast<size_t>(count)) {
        complete = true;
    }
    std::string got = pending.substr(0, n);
    pending.erase(0, n);
    if (!complete)
        raiseError(serr::Timeout, "time-out");
    return got;
}

bool FakeSerial::PortExists(int n) const {
    return existing.count(n) != 0;
}

std::string FakeSerial::PortDevice(int n) const {
    return "/dev/fake" + std::to_string(n);
}

} // namespace kadenzo::test
