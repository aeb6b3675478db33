#include "SimProcess.h"

#include "sequence/NumberText.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace kadenzo::test {

double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<TraceLine> readTrace(const std::string& path) {
    std::vector<TraceLine> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        auto gap = line.find(' ');
        if (gap != std::string::npos)
            lines.push_back({leadingNumber(line.substr(0, gap)), line.substr(gap + 1)});
    }
    return lines;
}

SimProcess::SimProcess(std::vector<std::string> args, bool waitReady, const Prepare& prepare) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kadenzo-sim-XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        return;
    appData_ = tmpl;
    if (prepare)
        prepare(appData_);
    for (auto& a : args)
        if (auto at = a.find('@'); at != std::string::npos)
            a.replace(at, 1, appData_);

    int inPipe[2];
    int outPipe[2];
    if (pipe(inPipe) != 0)
        return;
    if (pipe(outPipe) != 0) {
        close(inPipe[0]);
        close(inPipe[1]);
        return;
    }
    const std::string errPath = file("stderr.txt");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inPipe[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1]})
        posix_spawn_file_actions_addclose(&actions, fd);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "APPDATA=", 8) != 0)
            env.emplace_back(*e);
    env.push_back("APPDATA=" + appData_);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    std::string program = KADENZO_PSU_SIM;
    std::vector<char*> argv{program.data()};
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(inPipe[0]);
    close(outPipe[1]);
    in_ = inPipe[1];
    out_ = outPipe[0];
    fcntl(in_, F_SETFD, FD_CLOEXEC);
    fcntl(out_, F_SETFD, FD_CLOEXEC);
    if (rc != 0) {
        pid_ = -1;
        return;
    }
    if (waitReady)
        ready_ = waitForLine("port: ").has_value();
}

SimProcess::~SimProcess() {
    if (pid_ > 0 && finish(SIGTERM) == -1) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (in_ >= 0)
        close(in_);
    if (out_ >= 0)
        close(out_);
    if (!appData_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(appData_, ec);
    }
}

void SimProcess::shareDataFolder(const std::string& config) const {
    setenv("APPDATA", appData_.c_str(), 1);
    const std::string folder = appData_ + "/Kadenzo";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/config.INI", std::ios::binary) << config;
}

std::string SimProcess::link(int port) const {
    return appData_ + "/Kadenzo/ports/COM" + std::to_string(port);
}

void SimProcess::command(std::string_view line) {
    std::string text(line);
    text += '\n';
    [[maybe_unused]] ssize_t n = ::write(in_, text.data(), text.size());
}

std::optional<std::string> SimProcess::waitForLine(std::string_view prefix, int timeoutMs) {
    const double end = nowMs() + timeoutMs;
    for (;;) {
        size_t nl;
        while ((nl = outBuf_.find('\n')) != std::string::npos) {
            std::string line = outBuf_.substr(0, nl);
            outBuf_.erase(0, nl + 1);
            if (line.rfind("device: ", 0) == 0)
                device_ = line.substr(8);
            if (line.rfind(prefix, 0) == 0)
                return line.substr(prefix.size());
        }
        const double left = end - nowMs();
        if (left <= 0 || out_ < 0)
            return std::nullopt;
        pollfd p{out_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left) + 1) <= 0)
            continue;
        char buf[512];
        ssize_t got = read(out_, buf, sizeof buf);
        if (got <= 0)
            return std::nullopt;
        outBuf_.append(buf, static_cast<size_t>(got));
    }
}

std::optional<std::string> SimProcess::sync() {
    command("status");
    for (;;) {
        auto line = waitForLine("");
        if (!line || line->find(", firmware ") != std::string::npos)
            return line;
    }
}

int SimProcess::finish(int sig, int timeoutMs) {
    if (pid_ <= 0)
        return -1;
    if (sig != 0)
        kill(pid_, sig);
    const double end = nowMs() + timeoutMs;
    for (;;) {
        int status = 0;
        pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (nowMs() > end)
            return -1;
        usleep(2000);
    }
}

std::string SimProcess::errors() const {
    return readFile(appData_ + "/stderr.txt");
}

PtyPeer::PtyPeer(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        return;
    termios tio{};
    if (tcgetattr(fd_, &tio) == 0) {
        cfmakeraw(&tio);
        cfsetispeed(&tio, B9600);
        cfsetospeed(&tio, B9600);
        tcsetattr(fd_, TCSANOW, &tio);
    }
}

PtyPeer::~PtyPeer() {
    if (fd_ >= 0)
        close(fd_);
}

void PtyPeer::write(std::string_view bytes) {
    [[maybe_unused]] ssize_t n = ::write(fd_, bytes.data(), bytes.size());
}

std::string PtyPeer::readLine(int timeoutMs) {
    std::string got;
    const double end = nowMs() + timeoutMs;
    while (got.empty() || got.back() != '\n') {
        const double left = end - nowMs();
        if (left <= 0)
            break;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left) + 1) <= 0)
            continue;
        char c;
        ssize_t n = read(fd_, &c, 1);
        if (n == 1)
            got += c;
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return got;
}

std::string PtyPeer::readFor(int ms) {
    std::string got;
    const double end = nowMs() + ms;
    for (;;) {
        const double left = end - nowMs();
        if (left <= 0)
            break;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left) + 1) <= 0)
            continue;
        char buf[256];
        ssize_t n = read(fd_, buf, sizeof buf);
        if (n > 0)
            got.append(buf, static_cast<size_t>(n));
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return got;
}

bool PtyPeer::waitHangup(int timeoutMs) {
    const double end = nowMs() + timeoutMs;
    for (;;) {
        const double left = end - nowMs();
        if (left <= 0)
            return false;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left) + 1) <= 0)
            continue;
        if (p.revents & (POLLHUP | POLLERR))
            return true;
        char buf[256];
        ssize_t n = read(fd_, buf, sizeof buf);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
            return true;
    }
}

} // namespace kadenzo::test
