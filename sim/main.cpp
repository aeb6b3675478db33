// kadenzo-psu-sim: a simulated bench supply behind a pseudo-terminal.
//
// It opens a pseudo-terminal, links "<data folder>/ports/COM<N>" to its slave
// (the program's port rule), answers the supply's command set on it, and takes
// fault commands on its standard input. Single-threaded around poll().
#include "app/DataFolder.h"
#include "sequence/NumberText.h"
#include "sim/Control.h"
#include "sim/Engine.h"
#include "sim/Text.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#if defined(__APPLE__)
#include <util.h>
#else
#include <pty.h>
#endif

namespace {

using namespace kadenzo;
using namespace kadenzo::sim;

constexpr const char* Name = "kadenzo-psu-sim";
constexpr int MaxPort = 256;
// One byte at 9600 baud, 8N1: a start bit, 8 data bits and a stop bit.
constexpr double ByteMicros = 10.0 * 1'000'000.0 / 9600.0;
// Bytes that may wait for a reader that does not read; beyond this replies are dropped.
constexpr size_t MaxQueuedBytes = 64 * 1024;

int signalPipe[2] = {-1, -1};

extern "C" void onSignal(int sig) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(sig);
    [[maybe_unused]] ssize_t n = write(signalPipe[1], &byte, 1);
    errno = saved;
}

void complain(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", Name, text.c_str());
}

std::string lastError() {
    return std::strerror(errno);
}

struct Options {
    int port = 1;
    Model model = Model::KM417;
    Firmware firmware = Firmware::Any;
    std::optional<double> load;
    double latencyMs = 2.0;
    bool baudPace = false;
    std::string trace;
};

const char* usage() {
    return "usage: kadenzo-psu-sim [--port N] [--model 417|826] [--firmware new|old|any]\n"
           "                       [--load OHMS] [--latency MS] [--baud-pace] [--trace FILE]\n"
           "Simulates a bench supply on a pseudo-terminal linked as port N (default 1) in\n"
           "the ports folder of Kadenzo's data folder. Commands on standard input:\n";
}

// Parses the command line; nothing after printing a message (exit code in `code`).
std::optional<Options> parseOptions(int argc, char** argv, int& code) {
    Options o;
    code = 2;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasValue = false;
        if (auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
            hasValue = true;
        }
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage(), stdout);
            std::fputs(std::string(controlHelp()).c_str(), stdout);
            code = 0;
            return std::nullopt;
        }
        if (arg == "--baud-pace") {
            o.baudPace = true;
            continue;
        }
        const bool known = arg == "--port" || arg == "--model" || arg == "--firmware" ||
                           arg == "--load" || arg == "--latency" || arg == "--trace";
        if (!known) {
            complain("unknown option '" + arg + "'");
            std::fputs(usage(), stderr);
            return std::nullopt;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                complain(arg + " needs a value");
                return std::nullopt;
            }
            value = argv[++i];
        }
        bool ok = true;
        if (arg == "--port") {
            try {
                o.port = strToInt(value);
                ok = o.port >= 1 && o.port <= MaxPort;
            } catch (const ConversionError&) {
                ok = false;
            }
        } else if (arg == "--model") {
            auto m = parseModel(value);
            ok = m.has_value();
            o.model = m.value_or(o.model);
        } else if (arg == "--firmware") {
            auto f = parseFirmware(value);
            ok = f.has_value();
            o.firmware = f.value_or(o.firmware);
        } else if (arg == "--load") {
            auto l = parseLoad(value);
            ok = l.has_value();
            if (ok)
                o.load = *l;
        } else if (arg == "--latency") {
            auto ms = parseMilliseconds(value);
            ok = ms.has_value();
            o.latencyMs = ms.value_or(o.latencyMs);
        } else {
            o.trace = value;
            ok = !value.empty();
        }
        if (!ok) {
            complain("bad value '" + value + "' for " + arg);
            return std::nullopt;
        }
    }
    return o;
}

bool setNonBlocking(int fd) {
    int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 &&
           fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

// mkdir -p
bool makeFolders(const std::string& path) {
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos < path.size() && path[pos] != '/')
            continue;
        std::string part = path.substr(0, pos);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> linkTarget(const std::string& link) {
    std::vector<char> buf(4096);
    ssize_t n = readlink(link.c_str(), buf.data(), buf.size() - 1);
    if (n < 0)
        return std::nullopt;
    return std::string(buf.data(), static_cast<size_t>(n));
}

class Simulator {
public:
    Simulator(const Options& options, std::string link)
        : options_(options), link_(std::move(link)), engine_(options.model, options.firmware),
          latencyMicros_(options.latencyMs * 1000.0), start_(std::chrono::steady_clock::now()) {
        engine_.setLoad(options.load);
    }

    ~Simulator() {
        unplug(false);
        if (trace_)
            std::fclose(trace_);
    }

    bool openTrace() {
        if (options_.trace.empty())
            return true;
        trace_ = std::fopen(options_.trace.c_str(), "w");
        if (!trace_) {
            complain("cannot write the trace '" + options_.trace + "': " + lastError());
            return false;
        }
        return true;
    }

    // Refuses to replace a file or folder that is not a link (it is not ours).
    bool linkPlaceIsFree() const {
        struct stat st {};
        if (lstat(link_.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
            complain(link_ + " exists and is no symbolic link; not replacing it");
            return false;
        }
        return true;
    }

    bool plug() {
        if (master_ >= 0) {
            complain("already plugged in");
            return true;
        }
        int master = -1;
        int slave = -1;
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
            complain("cannot open a pseudo-terminal: " + lastError());
            return false;
        }
        // Raw, so that bytes pass unchanged: no echo, no line editing, no CR/LF mapping.
        termios tio{};
        if (tcgetattr(slave, &tio) == 0) {
            cfmakeraw(&tio);
            cfsetispeed(&tio, B9600);
            cfsetospeed(&tio, B9600);
            tcsetattr(slave, TCSANOW, &tio);
        }
        const char* name = ttyname(slave);
        if (!name || !setNonBlocking(master) || fcntl(slave, F_SETFD, FD_CLOEXEC) != 0) {
            complain("cannot set up the pseudo-terminal: " + lastError());
            close(master);
            close(slave);
            return false;
        }
        std::string device = name;
        if (!pointLink(device)) {
            close(master);
            close(slave);
            return false;
        }
        master_ = master;
        slave_ = slave; // held open so the master never sees a hang-up between the program's opens
        device_ = device;
        engine_.clearInput();
        event("plug " + device_);
        std::printf("device: %s\n", device_.c_str());
        return true;
    }

    // Closes the pseudo-terminal. Unplugged for a while (`say`), the link stays
    // but leads nowhere: the port is then absent, and neither falls back to
    // another device nor leads to the freed terminal, which another program may
    // get next. At the end the link goes.
    void unplug(bool say) {
        const auto target = linkTarget(link_);
        const bool ours = target && (*target == device_ || *target == unpluggedTarget());
        if (master_ >= 0) {
            close(master_);
            close(slave_);
            master_ = slave_ = -1;
            outgoing_.clear();
            queuedBytes_ = 0;
            writeBlocked_ = false;
            device_.clear();
        }
        if (say) {
            if (ours)
                pointLink(unpluggedTarget());
            event("unplug");
            std::printf("unplugged\n");
        } else if (ours) {
            unlink(link_.c_str());
        }
    }

    int run() {
        bool stdinOpen = true;
        std::string stdinBuf;
        while (!quit_) {
            long long now = micros();
            sendDue(now);
            if (quit_)
                break;

            pollfd fds[3];
            nfds_t n = 0;
            fds[n++] = {signalPipe[0], POLLIN, 0};
            int stdinIndex = -1;
            int masterIndex = -1;
            if (stdinOpen) {
                stdinIndex = static_cast<int>(n);
                fds[n++] = {STDIN_FILENO, POLLIN, 0};
            }
            // While quiet, leave the master out: a hang-up is reported whatever is asked.
            if (master_ >= 0 && (now >= quietUntil_ || writeBlocked_)) {
                short events = now >= quietUntil_ ? POLLIN : 0;
                if (writeBlocked_)
                    events |= POLLOUT;
                masterIndex = static_cast<int>(n);
                fds[n++] = {master_, events, 0};
            }
            int rc = poll(fds, n, timeoutMs(now));
            if (rc < 0) {
                if (errno == EINTR)
                    continue;
                complain("poll failed: " + lastError());
                return 1;
            }
            if (fds[0].revents & POLLIN) {
                unsigned char sig = 0;
                while (read(signalPipe[0], &sig, 1) == 1)
                    quit_ = true;
            }
            if (masterIndex >= 0 && fds[masterIndex].revents != 0) {
                if (fds[masterIndex].revents & POLLOUT)
                    writeBlocked_ = false;
                if (fds[masterIndex].revents & (POLLIN | POLLHUP | POLLERR))
                    readMaster();
            }
            if (stdinIndex >= 0 && fds[stdinIndex].revents != 0)
                stdinOpen = readStdin(stdinBuf);
        }
        event("quit");
        return 0;
    }

private:
    struct Outgoing {
        long long due = 0; // microseconds since start
        std::string bytes;
        size_t sent = 0;
        bool traced = false;
    };

    // A link target that never exists, beside the link.
    std::string unpluggedTarget() const {
        return link_.substr(link_.rfind('/') + 1) + ".unplugged";
    }

    // Points the link at `target` in one step: a reader never finds it missing.
    bool pointLink(const std::string& target) {
        const std::string temp = link_ + ".new" + intToText(getpid());
        unlink(temp.c_str());
        if (symlink(target.c_str(), temp.c_str()) != 0 ||
            rename(temp.c_str(), link_.c_str()) != 0) {
            complain("cannot make the link " + link_ + ": " + lastError());
            unlink(temp.c_str());
            return false;
        }
        return true;
    }

    long long micros() const {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now() - start_)
            .count();
    }

    void traceLine(long long us, std::string_view mark, std::string_view text) {
        if (!trace_)
            return;
        std::string line = thousandthsText(us) + " ";
        line += mark;
        line += traceText(text);
        line += '\n';
        std::fputs(line.c_str(), trace_);
        std::fflush(trace_);
    }

    void event(const std::string& text) { traceLine(micros(), "# ", text); }

    int timeoutMs(long long now) const {
        long long wait = -1;
        if (master_ >= 0 && !outgoing_.empty() && !writeBlocked_) {
            const Outgoing& front = outgoing_.front();
            long long at = front.due;
            if (options_.baudPace)
                at = std::max(at, static_cast<long long>(paceNext_));
            wait = std::max(0LL, at - now);
        }
        if (master_ >= 0 && now < quietUntil_) {
            long long quiet = quietUntil_ - now;
            wait = wait < 0 ? quiet : std::min(wait, quiet);
        }
        if (wait < 0)
            return -1;
        return static_cast<int>((wait + 999) / 1000); // round up: never wake early
    }

    void readMaster() {
        char buf[4096];
        for (;;) {
            ssize_t got = read(master_, buf, sizeof buf);
            if (got > 0) {
                received(std::string_view(buf, static_cast<size_t>(got)));
                continue;
            }
            if (got < 0 && errno == EINTR)
                continue;
            if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
                // No reader on the slave side (should not happen while we hold it):
                // look again a little later instead of spinning.
                quietUntil_ = micros() + 50'000;
            }
            return;
        }
    }

    void received(std::string_view bytes) {
        const long long now = micros();
        for (auto& ex : engine_.receive(bytes)) {
            traceLine(now, "", ex.command);
            if (ex.reply.empty())
                continue;
            if (queuedBytes_ + ex.reply.size() > MaxQueuedBytes) {
                event("reply dropped: nobody reads");
                continue;
            }
            // Replies leave in order, each no sooner than its latency after its line end.
            long long due = now + static_cast<long long>(latencyMicros_);
            if (!outgoing_.empty())
                due = std::max(due, outgoing_.back().due);
            queuedBytes_ += ex.reply.size();
            outgoing_.push_back({due, std::move(ex.reply), 0, false});
        }
    }

    void sendDue(long long now) {
        while (master_ >= 0 && !outgoing_.empty() && !writeBlocked_) {
            Outgoing& front = outgoing_.front();
            if (now < front.due)
                return;
            size_t count = front.bytes.size() - front.sent;
            if (options_.baudPace) {
                if (front.sent == 0 && paceNext_ < static_cast<double>(front.due))
                    paceNext_ = static_cast<double>(front.due); // the line was idle
                if (static_cast<double>(now) < paceNext_)
                    return;
                // As many bytes as the baud rate has allowed by now (at least one).
                auto allowed =
                    static_cast<size_t>((static_cast<double>(now) - paceNext_) / ByteMicros) + 1;
                count = std::min(count, allowed);
            }
            if (!front.traced)
                traceLine(now, "> ", front.bytes);
            front.traced = true;
            ssize_t wrote = write(master_, front.bytes.data() + front.sent, count);
            if (wrote < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK)
                    writeBlocked_ = true;
                else if (errno != EINTR) {
                    event("write failed: " + lastError());
                    outgoing_.pop_front();
                }
                return;
            }
            front.sent += static_cast<size_t>(wrote);
            if (options_.baudPace)
                paceNext_ += static_cast<double>(wrote) * ByteMicros;
            if (front.sent == front.bytes.size()) {
                queuedBytes_ -= front.bytes.size();
                outgoing_.pop_front();
            }
        }
    }

    // Returns false at the end of standard input.
    bool readStdin(std::string& buf) {
        char chunk[1024];
        ssize_t got = read(STDIN_FILENO, chunk, sizeof chunk);
        if (got < 0)
            return errno == EINTR || errno == EAGAIN;
        if (got == 0) {
            if (!buf.empty())
                console(buf);
            buf.clear();
            return false;
        }
        buf.append(chunk, static_cast<size_t>(got));
        size_t nl;
        while ((nl = buf.find('\n')) != std::string::npos) {
            std::string line = buf.substr(0, nl);
            buf.erase(0, nl + 1);
            console(line);
            if (quit_)
                break;
        }
        if (buf.size() > 4096) {
            complain("console line too long; ignored");
            buf.clear();
        }
        return true;
    }

    void console(std::string_view line) {
        std::string error;
        auto control = parseControl(line, error);
        if (!control) {
            if (!error.empty())
                complain(error);
            return;
        }
        event(std::string(line.substr(0, line.find_last_not_of(" \t\r") + 1)));
        if (applyTo(engine_, *control))
            return;
        switch (control->kind) {
        case Control::Kind::Slow:
            latencyMicros_ = control->ms * 1000.0;
            break;
        case Control::Kind::Unplug:
            if (master_ < 0)
                complain("already unplugged");
            else
                unplug(true);
            break;
        case Control::Kind::Plug:
            if (master_ < 0 && plug())
                std::printf("plugged\n");
            else if (master_ >= 0)
                complain("already plugged in");
            break;
        case Control::Kind::Status:
            std::printf("%s%s%s\n", describe(engine_).c_str(),
                        master_ >= 0 ? ", device " : ", unplugged", device_.c_str());
            break;
        case Control::Kind::Help:
            std::fputs(std::string(controlHelp()).c_str(), stdout);
            break;
        case Control::Kind::Quit:
            quit_ = true;
            break;
        default:
            complain("refused: " + std::string(line));
            break;
        }
    }

    Options options_;
    std::string link_;
    Engine engine_;
    double latencyMicros_;
    std::chrono::steady_clock::time_point start_;
    FILE* trace_ = nullptr;
    int master_ = -1;
    int slave_ = -1;
    std::string device_;
    std::deque<Outgoing> outgoing_;
    size_t queuedBytes_ = 0;
    bool writeBlocked_ = false;
    double paceNext_ = 0.0;    // when the next paced byte may go, microseconds
    long long quietUntil_ = 0; // master not read before this, microseconds
    bool quit_ = false;
};

} // namespace

int main(int argc, char** argv) {
    int code = 0;
    auto options = parseOptions(argc, argv, code);
    if (!options)
        return code;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    auto folder = kadenzo::dataFolder();
    if (!folder) {
        complain("no data folder: set APPDATA, XDG_CONFIG_HOME or HOME");
        return 1;
    }
    const std::string ports = *folder + "/ports";
    if (!makeFolders(ports)) {
        complain("cannot make the folder " + ports + ": " + lastError());
        return 1;
    }
    const std::string link = ports + "/COM" + kadenzo::intToText(options->port);

    if (pipe(signalPipe) != 0 || !setNonBlocking(signalPipe[0]) || !setNonBlocking(signalPipe[1])) {
        complain("cannot make a pipe: " + lastError());
        return 1;
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaction(sig, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    Simulator sim(*options, link);
    if (!sim.openTrace() || !sim.linkPlaceIsFree() || !sim.plug())
        return 1;
    std::string load = options->load ? kadenzo::formatFixed2(*options->load, 0) + " ohm" : "none";
    std::printf("link: %s\nport: %d\n", link.c_str(), options->port);
    std::fprintf(stderr, "%s: simulated %s, firmware %s, load %s; type help for commands\n", Name,
                 std::string(modelName(options->model)).c_str(),
                 std::string(firmwareName(options->firmware)).c_str(), load.c_str());
    return sim.run();
}
