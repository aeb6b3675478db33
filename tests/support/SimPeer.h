#pragma once
// The simulated supply behind FakeSerial's default peer. Tests set its state
// (model, firmware, output, load, settings, faults) through `engine`:
//   serial.sim()->engine.setLoad(10.0);
#include "FakeSerial.h"
#include "sim/Engine.h"

namespace kadenzo::test {

struct FakeSerial::SimPeer {
    sim::Engine engine; // a KM 417R, firmware `any`, no load, output off
};

} // namespace kadenzo::test
