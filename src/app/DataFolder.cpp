#include "app/DataFolder.h"

#include <cstdlib>

namespace kadenzo {
namespace {
std::optional<std::string> env(const char* name) {
    const char* v = std::getenv(name);
    if (v == nullptr || *v == '\0')
        return std::nullopt;
    return std::string(v);
}
} // namespace

char pathSeparator() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

std::optional<std::string> dataFolder() {
    const std::string sep(1, pathSeparator());
    if (auto appData = env("APPDATA"))
        return *appData + sep + "Kadenzo";
#if defined(__APPLE__)
    if (auto home = env("HOME"))
        return *home + "/Library/Preferences/Kadenzo";
#elif !defined(_WIN32)
    if (auto xdg = env("XDG_CONFIG_HOME"); xdg && (*xdg)[0] == '/')
        return *xdg + "/Kadenzo";
    if (auto home = env("HOME"))
        return *home + "/.config/Kadenzo";
#endif
    return std::nullopt;
}

} // namespace kadenzo
