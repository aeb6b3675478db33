#include "AppFixture.h"

#include "ui/TForm1.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kadenzo::test {

AppFixture::AppFixture() {
    if (const char* old = std::getenv("APPDATA")) {
        hadAppData_ = true;
        oldAppData_ = old;
    }
    setenv("APPDATA", appData.path().toStdString().c_str(), 1);
}

AppFixture::~AppFixture() {
    app.reset();
    if (hadAppData_)
        setenv("APPDATA", oldAppData_.c_str(), 1);
    else
        unsetenv("APPDATA");
}

std::string AppFixture::dataFolder() const {
    return appData.path().toStdString() + "/Kadenzo";
}
std::string AppFixture::configFile() const {
    return dataFolder() + "/config.INI";
}

void AppFixture::writeConfig(const std::string& bytes) {
    std::filesystem::create_directories(dataFolder());
    std::ofstream(configFile(), std::ios::binary) << bytes;
}

std::string AppFixture::readConfigFile() const {
    std::ifstream in(configFile(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void AppFixture::start() {
    app = std::make_unique<Kadenzo>(serial, prompts);
}

void AppFixture::restartWith(const std::string& config) {
    app.reset();
    writeConfig(config);
    start();
    serial.clearRecords();
    prompts.clear();
}

std::string AppFixture::status() {
    return f()->status().toStdString();
}

} // namespace kadenzo::test
