#pragma once
// The whole program on the real serial control, on the pseudo-terminal of a
// kadenzo-psu-sim that the fixture starts, sharing the simulator's data folder
// (its ports folder names COM1, and config.INI opens port 1 with the LF line end).
// The idle poll is stopped after start-up: each test drives or starts what it needs.
#include "FakePrompts.h"
#include "SimProcess.h"
#include "app/Kadenzo.h"
#include "link/QtSerialControl.h"
#include "ui/TForm1.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kadenzo::test {

class SimAppFixture : public ::testing::Test {
protected:
    // Starts the simulator with `simArgs`, then the program.
    void startProgram(const std::vector<std::string>& simArgs = {}) {
        sim = std::make_unique<SimProcess>(simArgs);
        ASSERT_TRUE(sim->ready()) << sim->errors();
        if (const char* old = std::getenv("APPDATA"))
            oldAppData = old;
        sim->shareDataFolder();
        serial = std::make_unique<QtSerialControl>();
        app = std::make_unique<Kadenzo>(*serial, prompts);
        ASSERT_TRUE(serial->isOpen());
        f()->Timer3->setEnabled(false);
    }

    void TearDown() override {
        app.reset();
        serial.reset();
        if (oldAppData)
            setenv("APPDATA", oldAppData->c_str(), 1);
        else
            unsetenv("APPDATA");
    }

    Context& ctx() { return app->context(); }
    TForm1* f() { return ctx().Form1; }
    std::string status() { return f()->status().toStdString(); }

    std::unique_ptr<SimProcess> sim;
    std::optional<std::string> oldAppData;
    FakePrompts prompts;
    std::unique_ptr<QtSerialControl> serial;
    std::unique_ptr<Kadenzo> app;
};

} // namespace kadenzo::test
