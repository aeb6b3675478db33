#include "app/Config.h"

#include "app/DataFolder.h"
#include "app/Prompts.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

namespace kadenzo {
namespace {

bool readable(const std::string& path) {
    if (path.empty())
        return false;
    std::ifstream f(path, std::ios::binary);
    return f.good();
}

// " %d , %d , %d": whitespace around numbers and commas; reading stops at the first
// field that is not a number or not preceded by a comma. Fields not read keep their values.
// Parsed by hand so that an out-of-range number saturates instead of being undefined.
void parse(const std::string& text, MainState& st) {
    int32_t* fields[] = {&st.selectedModel, &st.comPort, &st.lineEndMode};
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
    };
    for (int f = 0; f < 3; ++f) {
        skipBlanks();
        if (f > 0) {
            if (i >= text.size() || text[i] != ',')
                return;
            ++i;
            skipBlanks();
        }
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negative = text[i++] == '-';
        if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i])))
            return;
        long long value = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            value = std::min(value * 10 + (text[i] - '0'), 1LL << 32);
            ++i;
        }
        value = negative ? -value : value;
        *fields[f] = static_cast<int32_t>(std::clamp<long long>(
            value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    }
}

char firstDigit(int32_t value) {
    return std::to_string(value)[0];
}

// The port box text as the file's second field. Typed text is kept as it stands when it
// is a port number; anything else (for example "1,5", which would shift the fields that
// follow) is written as 0, like "No COM Port found".
std::string portField(const std::string& text) {
    bool digits = !text.empty() && text.size() <= 5 &&
                  std::all_of(text.begin(), text.end(),
                              [](char ch) { return std::isdigit(static_cast<unsigned char>(ch)); });
    return digits ? text : std::string("0");
}

} // namespace

bool readConfig(MainState& st, Prompts& prompts) {
    auto folder = dataFolder();
    std::string path;
    if (folder) {
        path = *folder + pathSeparator() + "config.INI";
        if (path.size() + 1 > kConfigPathCapacity)
            path.clear();
    }
    st.configPath = path;

    if (!readable(path)) {
        prompts.beep();
        prompts.error(kConfigMissingMessage);
        if (!path.empty()) {
            std::error_code ec;
            std::filesystem::create_directories(*folder, ec);
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out << "1,0,1";
        }
    }

    std::ifstream in(path.empty() ? std::string() : path, std::ios::binary);
    if (path.empty() || !in) {
        st.selectedModel = 1;
        st.lineEndMode = 1;
        return false;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    parse(text, st);
    return true;
}

void writeConfig(const MainState& st, const std::string& portBoxText) {
    if (st.configPath.empty())
        return;
    std::ofstream out(st.configPath, std::ios::binary | std::ios::trunc);
    if (!out)
        return;
    out << firstDigit(st.selectedModel) << ',';
    out << portField(portBoxText);
    out << ',' << firstDigit(st.lineEndMode);
}

} // namespace kadenzo
