#include "AppFixture.h"
#include "app/Config.h"
#include "ui/Forms.h"
#include "ui/SequenceEditor.h"
#include "ui/TForm1.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <filesystem>
#include <fstream>

using namespace kadenzo;
using namespace kadenzo::test;

namespace {

using Startup = AppFixture;

TEST_F(Startup, FirstStartCreatesTheDefaultsAndOpensNoPort) {
    start();
    EXPECT_EQ(prompts.count("beep"), 1);
    EXPECT_EQ(prompts.count(std::string("error:") + kConfigMissingMessage), 1);
    EXPECT_EQ(readConfigFile(), "1,0,1");
    EXPECT_EQ(st().selectedModel, 1);
    EXPECT_EQ(st().lineEndMode, 1);
    EXPECT_TRUE(ctx().Form1->KM417R1->isChecked());
    EXPECT_FLOAT_EQ(st().maxVolts, 30.8f);
    EXPECT_FLOAT_EQ(st().maxAmps, 2.06f);
    EXPECT_FALSE(serial.open);
}

TEST_F(Startup, ModelFromTheFileSetsChecksAndLimits) {
    struct Case {
        const char* config;
        int model;
        bool km, vd, zn;
        float volts, amps;
    } cases[] = {
        {"1,0,1", 1, true, false, false, 30.8f, 2.06f},
        {"2,0,1", 2, false, true, false, 35.4f, 5.05f},
        {"3,0,1", 3, false, false, true, 35.4f, 5.05f},
        {"7,0,1", 7, true, false, false, 30.8f, 2.06f},
        {"0,0,1", 0, true, false, false, 30.8f, 2.06f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        app.reset();
        writeConfig(c.config);
        start();
        TForm1* f = ctx().Form1;
        EXPECT_EQ(st().selectedModel, c.model);
        EXPECT_EQ(f->KM417R1->isChecked(), c.km);
        EXPECT_EQ(f->Vd826R1->isChecked(), c.vd);
        EXPECT_EQ(f->Zn826R1->isChecked(), c.zn);
        EXPECT_FALSE(f->Zn826R1->isVisible());
        EXPECT_FLOAT_EQ(st().maxVolts, c.volts);
        EXPECT_FLOAT_EQ(st().maxAmps, c.amps);
    }
}

TEST_F(Startup, ProbesThenOpensTheConfiguredPort) {
    serial.existing = {1, 4};
    writeConfig("1,4,0");
    start();
    EXPECT_EQ(st().comPort, 4);
    EXPECT_TRUE(serial.open);
    EXPECT_EQ(serial.openPort, 4);
    // The probe, then the opening.
    ASSERT_GE(serial.calls.size(), 4u);
    EXPECT_EQ(serial.calls[0], "PortConfigure(4)");
    EXPECT_EQ(serial.calls[1], "PortReset");
    EXPECT_EQ(serial.calls[2], "PortReset");
    EXPECT_EQ(serial.calls[3], "PortConfigure(4)");
    EXPECT_TRUE(serial.writes.empty()) << "start-up sends nothing to the supply";
}

TEST_F(Startup, APortInUseOrMissingIsForgotten) {
    for (int busy : {0, 1}) {
        SCOPED_TRACE(busy ? "in use" : "missing");
        app.reset();
        serial.existing = busy ? std::set<int>{1, 4} : std::set<int>{1};
        serial.busy = busy ? std::set<int>{4} : std::set<int>{};
        writeConfig("1,4,1");
        start();
        EXPECT_EQ(st().comPort, 0);
        EXPECT_FALSE(serial.open);
        EXPECT_EQ(st().lastLinkError, busy ? serr::PortInUse : serr::PortInvalid);
        EXPECT_TRUE(prompts.shown.empty());
    }
}

TEST_F(Startup, EndsIdleWithThePollArmed) {
    writeConfig("1,0,1");
    start();
    TForm1* f = ctx().Form1;
    EXPECT_EQ(st().stepIndex, -1);
    EXPECT_EQ(f->Edit4->text(), " ---");
    EXPECT_TRUE(f->Timer3->enabled());
    EXPECT_EQ(f->Timer3->interval(), 1000);
    EXPECT_FALSE(f->Timer1->enabled());
    EXPECT_FALSE(f->Timer2->enabled());
    EXPECT_EQ(f->status(), "Waiting");
    EXPECT_TRUE(f->Label3->isVisibleTo(f));
    EXPECT_FALSE(f->Edit7->isEnabled());
}

TEST_F(Startup, UnreadableConfigurationShowsTheStatusText) {
    // APPDATA names a file: no folder, no file, defaults.
    std::string blocker = appData.path().toStdString() + "/blocker";
    std::ofstream(blocker) << "x";
    setenv("APPDATA", blocker.c_str(), 1);
    start();
    EXPECT_EQ(ctx().Form1->status(), kConfigUnreadableStatus);
    EXPECT_TRUE(ctx().Form1->KM417R1->isChecked());
    EXPECT_EQ(st().lineEndMode, 1);
}

TEST_F(Startup, CloseWritesTheConfigurationAndReleasesThePort) {
    serial.existing = {1, 3};
    writeConfig("2,3,0");
    start();
    serial.clearRecords();
    ctx().Form1->close();
    EXPECT_EQ(readConfigFile(), "2,3,0");
    EXPECT_EQ(serial.calls, std::vector<std::string>{"PortReset"});
    EXPECT_TRUE(serial.writes.empty()) << "closing sends nothing to the supply";
}

} // namespace

namespace {

TEST_F(Startup, QuitReleasesThePortAndAsksAboutUnsavedData) {
    serial.existing = {1};
    writeConfig("1,1,1");
    start();
    TForm1* f = ctx().Form1;
    f->show();
    ctx().editor->unsavedChanges = 1;
    serial.clearRecords();

    // Cancel: the window stays open, but the port has been released.
    prompts.answers = {Prompts::Answer::Cancel};
    f->Quit1->trigger();
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(serial.calls, std::vector<std::string>{"PortReset"});
    EXPECT_EQ(prompts.shown.back(), "confirm:Unsaved sequence data\r Do you want to save ?");
    EXPECT_FALSE(serial.open);

    // No: the program closes without saving, writes config.INI and resets the port again.
    std::filesystem::remove(configFile());
    serial.clearRecords();
    prompts.answers = {Prompts::Answer::No};
    f->Quit1->trigger();
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(serial.calls, (std::vector<std::string>{"PortReset", "PortReset"}));
    EXPECT_EQ(readConfigFile(), "1,1,1");
    EXPECT_TRUE(serial.writes.empty()) << "quitting sends nothing to the supply";
}

} // namespace

namespace {

TEST_F(Startup, ClosingTheMainWindowEndsTheProgramWithOtherWindowsOpen) {
    writeConfig("1,0,1");
    start();
    TForm1* f = ctx().Form1;
    f->show();
    ctx().Form2->show();
    ctx().Form3->show();
    ctx().Form6->show();
    ctx().Form7->show();

    // The event loop ends with the main window; the fallback ends it with 1 otherwise.
    QTimer::singleShot(0, f, [f] { f->close(); });
    QTimer fallback;
    fallback.setSingleShot(true);
    QObject::connect(&fallback, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    fallback.start(1500);
    EXPECT_EQ(QApplication::exec(), 0) << "the program went on after its main window closed";
}

} // namespace
