#pragma once
// Test helpers for the serial control: a pseudo-terminal whose master end plays
// the supply, and a temporary data folder whose ports folder names the ports.
#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kadenzo::test {

// A pseudo-terminal. The master end (the supply's side) is raw; the slave end
// keeps the system's default (cooked) settings, so only the control under test
// can make it raw. The slave descriptor stays open for the whole test, so the
// terminal outlives the control's closes and its settings can be inspected.
class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    int slaveFd() const { return slave_; }

    // Sends bytes to the control, as the supply would.
    void send(std::string_view bytes);
    // Everything the control wrote, collected until the line stays quiet for
    // `quiet` (at most `limit` in all).
    std::string received(std::chrono::milliseconds quiet = std::chrono::milliseconds(100),
                         std::chrono::milliseconds limit = std::chrono::milliseconds(2000));
    // Closes the master end: the slave end hangs up, like a pulled adapter.
    void closeMaster();

private:
    std::atomic<int> master_{-1};
    int slave_ = -1;
    std::string slavePath_;
};

// A supply that acts later, from a helper thread, while the control's call is
// blocked on the UI thread: each step waits, then sends bytes or hangs up.
class LaterPeer {
public:
    struct Step {
        std::chrono::milliseconds after;
        std::string bytes;   // sent when not empty
        bool hangUp = false; // close the master end
    };
    LaterPeer(Pty& pty, std::vector<Step> steps);
    ~LaterPeer();
    LaterPeer(const LaterPeer&) = delete;
    LaterPeer& operator=(const LaterPeer&) = delete;

private:
    std::thread thread_;
};

// A temporary data folder: APPDATA points at a fresh folder for the object's
// life, so the data folder is "<it>/Kadenzo" and its ports folder "<it>/Kadenzo/ports".
class TempDataFolder {
public:
    TempDataFolder();
    ~TempDataFolder();
    TempDataFolder(const TempDataFolder&) = delete;
    TempDataFolder& operator=(const TempDataFolder&) = delete;

    const std::string& root() const { return root_; }             // the APPDATA folder
    const std::string& dataFolder() const { return dataFolder_; } // <root>/Kadenzo
    std::string portEntry(int n) const;                           // <data>/ports/COM<n>
    // Makes ports/COM<n> a symbolic link to `target` (replacing any entry).
    void linkPort(int n, const std::string& target) const;

private:
    std::string root_;
    std::string dataFolder_;
    std::optional<std::string> savedAppData_;
};

} // namespace kadenzo::test
