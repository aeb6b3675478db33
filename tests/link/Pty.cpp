#include "Pty.h"

#include "sequence/NumberText.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace kadenzo::test {

Pty::Pty() {
    int master = -1;
    char name[256] = {};
    if (::openpty(&master, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    termios raw{};
    ::tcgetattr(master, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(master, TCSANOW, &raw);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    master_ = master;
    slavePath_ = name;
}

Pty::~Pty() {
    closeMaster();
    if (slave_ >= 0)
        ::close(slave_);
}

void Pty::send(std::string_view bytes) {
    const int fd = master_;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error("write to the pseudo-terminal failed");
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

std::string Pty::received(std::chrono::milliseconds quiet, std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + limit;
    std::string got;
    const int fd = master_;
    while (Clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(quiet.count())) <= 0 || !(p.revents & POLLIN))
            break;
        char buf[256];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        got.append(buf, static_cast<size_t>(n));
    }
    return got;
}

void Pty::closeMaster() {
    const int fd = master_.exchange(-1);
    if (fd >= 0)
        ::close(fd);
}

LaterPeer::LaterPeer(Pty& pty, std::vector<Step> steps)
    : thread_([&pty, steps = std::move(steps)] {
          for (const Step& step : steps) {
              std::this_thread::sleep_for(step.after);
              if (!step.bytes.empty())
                  pty.send(step.bytes);
              if (step.hangUp)
                  pty.closeMaster();
          }
      }) {}

LaterPeer::~LaterPeer() {
    thread_.join();
}

TempDataFolder::TempDataFolder() {
    if (const char* old = std::getenv("APPDATA"))
        savedAppData_ = old;
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kadenzo-serial-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    dataFolder_ = root_ + "/Kadenzo";
    std::filesystem::create_directories(dataFolder_ + "/ports");
    ::setenv("APPDATA", root_.c_str(), 1);
}

TempDataFolder::~TempDataFolder() {
    if (savedAppData_)
        ::setenv("APPDATA", savedAppData_->c_str(), 1);
    else
        ::unsetenv("APPDATA");
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string TempDataFolder::portEntry(int n) const {
    return dataFolder_ + "/ports/COM" + intToText(n);
}

void TempDataFolder::linkPort(int n, const std::string& target) const {
    const std::string entry = portEntry(n);
    ::unlink(entry.c_str());
    if (::symlink(target.c_str(), entry.c_str()) != 0)
        throw std::runtime_error("symlink failed");
}

} // namespace kadenzo::test
