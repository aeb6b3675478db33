#pragma once
// A whole program on the fake serial control and fake prompts, with a data folder of
// its own, on the offscreen platform.
#include "FakePrompts.h"
#include "FakeSerial.h"
#include "app/Context.h"
#include "app/Kadenzo.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kadenzo::test {

class AppFixture : public ::testing::Test {
protected:
    AppFixture();
    ~AppFixture() override;

    // Writes <data folder>/config.INI before start().
    void writeConfig(const std::string& bytes);
    std::string readConfigFile() const;
    std::string dataFolder() const;
    std::string configFile() const;

    // Creates the program (windows in order, start-up run).
    void start();
    // Starts the program anew with this config.INI; what start-up sent and showed is
    // cleared, so the records hold only what a test does afterwards.
    void restartWith(const std::string& config);

    Context& ctx() { return app->context(); }
    MainState& st() { return ctx().st; }
    TForm1* f() { return ctx().Form1; }
    // The main window's status text.
    std::string status();

    QTemporaryDir appData;
    FakeSerial serial;
    FakePrompts prompts;
    std::unique_ptr<Kadenzo> app;

private:
    std::string oldAppData_;
    bool hadAppData_ = false;
};

} // namespace kadenzo::test
