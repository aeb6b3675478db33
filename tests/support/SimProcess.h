#pragma once
// Test helpers: kadenzo-psu-sim as a child process in a temporary data folder,
// and a raw connection to a pseudo-terminal slave made with POSIX calls.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace kadenzo::test {

class SimProcess {
public:
    // Runs `prepare` on a new temporary folder, then starts the simulator in it
    // (APPDATA pointing there; "@" in an argument stands for the folder) and,
    // when `waitReady`, waits until it has linked its port.
    using Prepare = std::function<void(const std::string& appData)>;
    explicit SimProcess(std::vector<std::string> args = {}, bool waitReady = true,
                        const Prepare& prepare = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool ready() const { return ready_; }
    const std::string& appData() const { return appData_; }
    // "<APPDATA>/Kadenzo/ports/COM<n>"
    std::string link(int port = 1) const;
    // The device path the simulator printed last.
    const std::string& device() const { return device_; }
    // A file path inside the temporary folder.
    std::string file(std::string_view name) const { return appData_ + "/" + std::string(name); }
    // Makes this process a program of the simulator's data folder: APPDATA points there
    // (its ports folder names the simulator's port) and config.INI holds `config`.
    void shareDataFolder(const std::string& config = "1,1,1") const;

    // Writes one console line to the simulator's standard input.
    void command(std::string_view line);
    // Reads its standard output until a line that starts with `prefix`; returns
    // the rest of that line, or nothing after `timeoutMs`. "device: " lines
    // also update device().
    std::optional<std::string> waitForLine(std::string_view prefix, int timeoutMs = 3000);
    // Asks for `status` and waits for its line: every console line sent before
    // has then been carried out. Returns the status line.
    std::optional<std::string> sync();
    // Waits for the simulator to end (sending `sig` first unless 0); returns its
    // exit status, or -1 when it did not end in time.
    int finish(int sig, int timeoutMs = 3000);
    // What it wrote to standard error so far.
    std::string errors() const;

private:
    std::string appData_;
    std::string device_;
    std::string outBuf_;
    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    bool ready_ = false;
};

// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::string& path);

// One line of the simulator's trace: milliseconds, then the text after them
// ("out?\\r", "> Out OFF\\n", "# mute").
struct TraceLine {
    double ms;
    std::string text;
};
std::vector<TraceLine> readTrace(const std::string& path);

// One raw, non-blocking terminal connection, as a serial program makes it.
class PtyPeer {
public:
    explicit PtyPeer(const std::string& path);
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    void write(std::string_view bytes);
    // Bytes until an LF arrives (included) or `timeoutMs` passes.
    std::string readLine(int timeoutMs = 2000);
    // Every byte that arrives within `ms`.
    std::string readFor(int ms);
    // True when the far end hangs up (read fails or ends) within `timeoutMs`.
    bool waitHangup(int timeoutMs = 2000);

private:
    int fd_ = -1;
};

// Milliseconds on the monotonic clock.
double nowMs();

} // namespace kadenzo::test
