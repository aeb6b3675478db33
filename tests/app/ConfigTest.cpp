#include "app/Config.h"
#include "FakePrompts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace kadenzo;
namespace fs = std::filesystem;

namespace {

class ConfigTest : public ::testing::Test {
protected:
    ConfigTest() {
        root = fs::temp_directory_path() /
               ("kadenzo-config-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(root);
        setenv("APPDATA", root.c_str(), 1);
        st.selectedModel = 1; // as the start-up sets them before the read
        st.comPort = 0;
    }
    ~ConfigTest() override {
        unsetenv("APPDATA");
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path file() const { return root / "Kadenzo" / "config.INI"; }
    void write(const std::string& bytes) {
        fs::create_directories(root / "Kadenzo");
        std::ofstream(file(), std::ios::binary) << bytes;
    }
    std::string read() const {
        std::ifstream in(file(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static inline int counter = 0;
    fs::path root;
    MainState st;
    test::FakePrompts prompts;
};

struct ReadCase {
    const char* bytes;
    int model, port, lineEnd;
};

TEST_F(ConfigTest, ReadsTheThreeFieldsAndStopsAtTheFirstBadOne) {
    const ReadCase cases[] = {
        {"1,0,1", 1, 0, 1},
        {"2,4,0", 2, 4, 0},
        {"2 , 7 , 0\r\n", 2, 7, 0},
        {" \t2\n,\n7 ,0 trailing", 2, 7, 0},
        {"3", 3, 0, 0},
        {"", 1, 0, 0},
        {"2,x,1", 2, 0, 0},
        {"2;5;1", 2, 0, 0},
        {"x,5,1", 1, 0, 0},
        {"1,12,1,9", 1, 12, 1},
        {"7,1,1", 7, 1, 1},
        {"1,99999999999,1", 1, 2147483647, 1},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.bytes);
        write(c.bytes);
        MainState s;
        s.selectedModel = 1;
        EXPECT_TRUE(readConfig(s, prompts));
        EXPECT_EQ(s.selectedModel, c.model);
        EXPECT_EQ(s.comPort, c.port);
        EXPECT_EQ(s.lineEndMode, c.lineEnd);
    }
    EXPECT_TRUE(prompts.shown.empty()) << "a readable file gives no message";
}

TEST_F(ConfigTest, FirstRunBeepsOnceShowsOneBoxAndWritesTheDefaults) {
    EXPECT_TRUE(readConfig(st, prompts));
    EXPECT_EQ(prompts.shown,
              (std::vector<std::string>{"beep", std::string("error:") + kConfigMissingMessage}));
    EXPECT_EQ(read(), "1,0,1");
    EXPECT_EQ(st.configPath, file().string());
    EXPECT_EQ(st.selectedModel, 1);
    EXPECT_EQ(st.comPort, 0);
    EXPECT_EQ(st.lineEndMode, 1);
}

TEST_F(ConfigTest, AFolderThatCannotBeMadeGivesTheDefaults) {
    // APPDATA names a file, so the Kadenzo folder cannot be created inside it.
    std::ofstream(root / "blocker") << "x";
    setenv("APPDATA", (root / "blocker").c_str(), 1);
    st.lineEndMode = 0;
    EXPECT_FALSE(readConfig(st, prompts));
    EXPECT_EQ(prompts.count("beep"), 1);
    EXPECT_EQ(st.selectedModel, 1);
    EXPECT_EQ(st.lineEndMode, 1);
    EXPECT_EQ(st.comPort, 0);
}

TEST_F(ConfigTest, APathTooLongForTheBufferIsTreatedAsUnreadable) {
    fs::path deep = root / std::string(240, 'd');
    fs::create_directories(deep);
    setenv("APPDATA", deep.c_str(), 1);
    EXPECT_FALSE(readConfig(st, prompts));
    EXPECT_EQ(st.selectedModel, 1);
    EXPECT_EQ(st.lineEndMode, 1);
    EXPECT_FALSE(fs::exists(deep / "Kadenzo" / "config.INI"));
}

TEST_F(ConfigTest, CloseWritesModelDigitPortBoxTextAndLineEndDigit) {
    struct Case {
        int model;
        const char* portBox;
        int lineEnd;
        const char* expected;
    } cases[] = {
        // clang-format off
        {1, "12", 1, "1,12,1"},
        {2, "4", 0, "2,4,0"},
        {1, "No COM Port found", 1, "1,0,1"},
        {10, "3", 1, "1,3,1"},
        {3, "007", 0, "3,007,0"},
        // Text that is no port number would shift the line-end field: written as no port.
        {1, "1,5", 1, "1,0,1"},
        {2, "abc", 0, "2,0,0"},
        {1, "", 1, "1,0,1"},
        // clang-format on
    };
    write("");
    ASSERT_TRUE(readConfig(st, prompts));
    for (const Case& c : cases) {
        st.selectedModel = c.model;
        st.lineEndMode = c.lineEnd;
        writeConfig(st, c.portBox);
        EXPECT_EQ(read(), c.expected);
    }
}

} // namespace
