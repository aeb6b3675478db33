#pragma once
// An in-process serial control for tests. It records every PortWrite exactly,
// hands the written bytes to a peer (by default a simulated supply), and answers
// reads from what the peer replied. A silent peer or `muted` makes reads time
// out at once, without waiting.
#include "link/TCWSerial.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace kadenzo::test {

class FakeSerial : public TCWSerial {
public:
    FakeSerial();
    ~FakeSerial() override;

    // --- what the supply received --------------------------------------------
    std::vector<std::string> writes; // one entry per PortWrite, while a port was open
    std::string wire;                // all bytes that reached the supply, in order
    // Every call made on the control, in order: "PortConfigure(1)", "PortReset",
    // "PortWrite(out?)", "PortRead(10)"; control characters as \r and \n.
    std::vector<std::string> calls;
    void clearRecords();

    // --- the far end ----------------------------------------------------------
    // Receives every written chunk and appends any reply bytes to `reply`.
    // Replace it to script a supply; the default is a simulated KM 417R.
    std::function<void(std::string_view bytes, std::string& reply)> peer;
    std::string pending; // reply bytes not read yet
    bool muted = false;  // reads time out at once, writes still arrive

    // --- ports ----------------------------------------------------------------
    std::set<int> existing{1}; // ports that PortExists() reports
    std::set<int> busy;        // ports that give PortInUse when configured
    bool open = false;
    int openPort = 0;

    // --- TCWSerial ------------------------------------------------------------
    void PortConfigure() override;
    void PortReset() override;
    void PortWrite(std::string_view text) override;
    std::string PortRead(int32_t count) override;
    bool PortExists(int n) const override;
    std::string PortDevice(int n) const override;

    // Raises an error event as the real control would (for example DeviceGone).
    void fail(int32_t code) { raiseError(code, "simulated failure"); }

    // The default simulated supply (a KM 417R, firmware `any`, no load). It hears
    // the written bytes only while `peer` is the default one. Declared opaque here
    // so tests that don't need it stay light: include "SimPeer.h" to use it.
    struct SimPeer;
    SimPeer* sim() { return sim_; }

    // The default peer refers to this object's simulated supply: no copies.
    FakeSerial(const FakeSerial&) = delete;
    FakeSerial& operator=(const FakeSerial&) = delete;

private:
    SimPeer* sim_ = nullptr;
};

// Escapes CR and LF as \r and \n, for readable test failures.
std::string visible(std::string_view bytes);

} // namespace kadenzo::test
