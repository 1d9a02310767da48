// Start-up probe: runs programs interleaved under an Xvfb of its own and times exec -> first
// top-level map -> expected title, sampling memory then. It reports figures; it judges nothing.
#include "probe_core.hpp"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kb = kestrand::bench;

namespace {

volatile std::sig_atomic_t g_stop_signal = 0;
// Read only by the last-resort cleanup, for when Xlib finds the server gone and would exit.
pid_t g_xvfb_pid = -1;
pid_t g_run_pgid = -1;
bool g_verbose = false;

double now_ms() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void sleep_ms(int ms) {
    timespec ts{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    nanosleep(&ts, nullptr);
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void to_dev_null(int fd, int flags) {
    const int null = open("/dev/null", flags);
    if (null >= 0 && null != fd) {
        dup2(null, fd);
        close(null);
    }
}

bool read_exact(int fd, void* buffer, std::size_t size) {
    auto* at = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t n = read(fd, at, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool group_empty(pid_t pgid) {
    return kill(-pgid, 0) == -1 && errno == ESRCH;
}

void reap_group(pid_t pgid) {
    // The probe is a subreaper, so members orphaned by the leader's death come back to it.
    while (waitpid(-pgid, nullptr, WNOHANG) > 0) {
    }
}

// SIGTERM first so programs that clean up after themselves can; SIGKILL when they dawdle.
bool stop_group(pid_t pgid, int grace_ms) {
    kill(-pgid, SIGTERM);
    for (const double until = now_ms() + grace_ms;;) {
        reap_group(pgid);
        if (group_empty(pgid))
            return true;
        if (now_ms() >= until)
            break;
        sleep_ms(2);
    }
    kill(-pgid, SIGKILL);
    for (const double until = now_ms() + 5000;;) {
        reap_group(pgid);
        if (group_empty(pgid))
            return true;
        if (now_ms() >= until)
            return false;
        sleep_ms(2);
    }
}

void emergency_cleanup() {
    if (g_run_pgid > 0) {
        kill(-g_run_pgid, SIGKILL);
        for (int i = 0; i < 500 && !group_empty(g_run_pgid); ++i) {
            reap_group(g_run_pgid);
            sleep_ms(2);
        }
    }
    if (g_xvfb_pid > 0) {
        kill(g_xvfb_pid, SIGKILL);
        waitpid(g_xvfb_pid, nullptr, 0);
    }
}

void on_stop_signal(int signal) {
    g_stop_signal = signal;
}

int on_x_error(Display* display, XErrorEvent* error) {
    // Windows die under us all the time here (killed runs); only say so when asked.
    if (g_verbose) {
        char text[256];
        XGetErrorText(display, error->error_code, text, sizeof text);
        std::fprintf(stderr, "kestrand_probe: X error: %s (request %d)\n", text,
                     error->request_code);
    }
    return 0;
}

int on_x_io_error(Display*) {
    std::fputs("kestrand_probe: lost the connection to Xvfb\n", stderr);
    emergency_cleanup();
    _exit(4);
}

class Xvfb final {
public:
    static std::optional<Xvfb> start(const std::string& program, bool verbose, std::string& error) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            error = std::string("pipe: ") + std::strerror(errno);
            return std::nullopt;
        }
        const std::string fd_text = std::to_string(fds[1]);
        const pid_t parent = getpid();
        const pid_t pid = fork();
        if (pid < 0) {
            error = std::string("fork: ") + std::strerror(errno);
            close(fds[0]);
            close(fds[1]);
            return std::nullopt;
        }
        if (pid == 0) {
            setpgid(0, 0); // a terminal's ^C goes to the probe, which then stops Xvfb in order
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() != parent)
                _exit(127);
            fcntl(fds[1], F_SETFD, 0);
            std::signal(SIGPIPE, SIG_DFL);
            to_dev_null(STDIN_FILENO, O_RDONLY);
            if (!verbose) {
                to_dev_null(STDOUT_FILENO, O_WRONLY);
                to_dev_null(STDERR_FILENO, O_WRONLY);
            }
            execlp(program.c_str(), program.c_str(), "-displayfd", fd_text.c_str(), "-screen", "0",
                   "1024x768x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        g_xvfb_pid = pid;
        Xvfb server(pid, -1);

        std::string text;
        for (const double until = now_ms() + 15000; text.find('\n') == std::string::npos;) {
            const double left = until - now_ms();
            if (left <= 0) {
                error = "Xvfb did not report a display within 15 s";
                break;
            }
            pollfd wait{fds[0], POLLIN, 0};
            if (poll(&wait, 1, static_cast<int>(std::ceil(left))) < 0 && errno != EINTR)
                break;
            if (g_stop_signal != 0) {
                error = "interrupted";
                break;
            }
            char chunk[32];
            const ssize_t n = wait.revents != 0 ? read(fds[0], chunk, sizeof chunk) : 0;
            if (wait.revents != 0 && n <= 0) {
                error = "Xvfb ended before reporting a display" +
                        std::string(verbose ? "" : " (--verbose shows its output)");
                break;
            }
            text.append(chunk, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        }
        close(fds[0]);
        if (text.find('\n') == std::string::npos)
            return std::nullopt; // server's destructor stops what was started
        server.display_ = std::atoi(text.c_str());
        return server;
    }

    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;
    Xvfb& operator=(Xvfb&&) = delete;
    Xvfb(Xvfb&& other) noexcept : pid_(std::exchange(other.pid_, -1)), display_(other.display_) {}
    ~Xvfb() { stop(); }

    [[nodiscard]] pid_t pid() const { return pid_; }
    [[nodiscard]] int display() const { return display_; }

    void stop() {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGTERM);
        bool gone = false;
        for (const double until = now_ms() + 3000; !gone && now_ms() < until; sleep_ms(5))
            gone = waitpid(pid_, nullptr, WNOHANG) == pid_;
        if (!gone) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
        g_xvfb_pid = -1;
    }

private:
    Xvfb(pid_t pid, int display) : pid_(pid), display_(display) {}
    pid_t pid_;
    int display_;
};

struct Launch {
    pid_t pid = -1;
    double t0_ms = 0;
    int exec_errno = 0;
};

std::optional<Launch> launch(const std::vector<std::string>& argv, bool verbose) {
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return std::nullopt;
    }
    if (pid == 0) {
        close(fds[0]);
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        // Ignored signals survive exec; the probe's choices are not the program's.
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD})
            std::signal(signal, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        to_dev_null(STDIN_FILENO, O_RDONLY);
        if (!verbose) {
            to_dev_null(STDOUT_FILENO, O_WRONLY);
            to_dev_null(STDERR_FILENO, O_WRONLY);
        }
        const double t0 = now_ms();
        (void)!write(fds[1], &t0, sizeof t0);
        execvp(args[0], args.data());
        const int failure = errno;
        (void)!write(fds[1], &failure, sizeof failure);
        _exit(127);
    }
    setpgid(pid, pid); // whichever side runs first, the group exists before we signal it
    close(fds[1]);
    Launch started;
    started.pid = pid;
    const bool got_t0 = read_exact(fds[0], &started.t0_ms, sizeof started.t0_ms);
    int failure = 0;
    // EOF here means exec succeeded: the close-on-exec pipe closed with it.
    if (got_t0 && read_exact(fds[0], &failure, sizeof failure))
        started.exec_errno = failure;
    close(fds[0]);
    if (!got_t0) {
        stop_group(pid, 0);
        return std::nullopt;
    }
    return started;
}

struct Atoms {
    Atom wm_name = XA_WM_NAME;
    Atom net_wm_name = None;
};

bool property_equals(Display* display, Window window, Atom property, const std::string& expected) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    // Ask for a little more than the title so a longer value shows up as such.
    const long words = static_cast<long>(expected.size() / 4 + 2);
    if (XGetWindowProperty(display, window, property, 0, words, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) != Success)
        return false;
    const bool equal = type != None && format == 8 && after == 0 && count == expected.size() &&
                       std::memcmp(data, expected.data(), expected.size()) == 0;
    if (data != nullptr)
        XFree(data);
    return equal;
}

// Follows the top-level windows created during one run. Times are taken as each event is
// handled, so they are upper bounds by the few round trips the handling itself costs.
class RunWatch final {
public:
    RunWatch(Display* display, const Atoms& atoms, std::string title, double t0_ms)
        : display_(display), atoms_(atoms), title_(std::move(title)), t0_ms_(t0_ms) {}

    [[nodiscard]] bool done() const { return title_ms_.has_value(); }
    [[nodiscard]] std::optional<double> map_ms() const { return map_ms_; }
    [[nodiscard]] std::optional<double> title_ms() const { return title_ms_; }
    [[nodiscard]] bool all_destroyed() const {
        return std::all_of(windows_.begin(), windows_.end(),
                           [](const Tracked& w) { return w.destroyed; });
    }

    void handle(const XEvent& event, double at_ms) {
        const Window root = DefaultRootWindow(display_);
        switch (event.type) {
        case CreateNotify: {
            const XCreateWindowEvent& created = event.xcreatewindow;
            if (created.parent != root || find(created.window) != nullptr)
                return;
            windows_.push_back(Tracked{created.window});
            Tracked& window = windows_.back();
            // Its own structure events keep coming even if something reparents it.
            XSelectInput(display_, created.window, StructureNotifyMask | PropertyChangeMask);
            window.titled = titled(created.window);
            // By now it may have been reparented and mapped already, and that MapNotify went
            // only to the new parent's listeners: ask instead, and count the map as seen now.
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display_, created.window, &attributes) != 0 &&
                attributes.map_state != IsUnmapped && !attributes.override_redirect)
                note_map(window, now_ms());
            return;
        }
        case MapNotify: {
            Tracked* window = find(event.xmap.window);
            if (window != nullptr && !event.xmap.override_redirect)
                note_map(*window, at_ms);
            return;
        }
        case UnmapNotify:
            if (Tracked* window = find(event.xunmap.window))
                window->mapped = false;
            return;
        case PropertyNotify: {
            const Atom property = event.xproperty.atom;
            if (property != atoms_.wm_name && property != atoms_.net_wm_name)
                return;
            if (Tracked* window = find(event.xproperty.window)) {
                window->titled = titled(window->id);
                note_title(*window, at_ms);
            }
            return;
        }
        case DestroyNotify:
            if (Tracked* window = find(event.xdestroywindow.window))
                window->destroyed = true;
            return;
        default:
            return;
        }
    }

private:
    struct Tracked {
        Window id;
        bool mapped = false;
        bool titled = false;
        bool destroyed = false;
    };

    Tracked* find(Window id) {
        const auto it = std::find_if(windows_.begin(), windows_.end(),
                                     [id](const Tracked& w) { return w.id == id; });
        return it == windows_.end() ? nullptr : &*it;
    }

    bool titled(Window id) const {
        return property_equals(display_, id, atoms_.wm_name, title_) ||
               property_equals(display_, id, atoms_.net_wm_name, title_);
    }

    void note_map(Tracked& window, double at_ms) {
        if (window.mapped)
            return;
        window.mapped = true;
        if (!map_ms_)
            map_ms_ = at_ms - t0_ms_;
        window.titled = titled(window.id);
        note_title(window, at_ms);
    }

    void note_title(const Tracked& window, double at_ms) {
        if (window.mapped && window.titled && !title_ms_)
            title_ms_ = at_ms - t0_ms_;
    }

    Display* display_;
    Atoms atoms_;
    std::string title_;
    double t0_ms_;
    std::optional<double> map_ms_;
    std::optional<double> title_ms_;
    std::vector<Tracked> windows_;
};

void drain(Display* display, RunWatch* watch) {
    while (XPending(display) > 0 && (watch == nullptr || !watch->done())) {
        XEvent event;
        XNextEvent(display, &event);
        if (watch != nullptr)
            watch->handle(event, now_ms());
    }
}

std::vector<std::string> thread_schedstats(const std::string& proc) {
    std::vector<std::string> texts;
    DIR* tasks = opendir((proc + "/task").c_str());
    if (tasks == nullptr)
        return texts;
    while (const dirent* entry = readdir(tasks))
        if (entry->d_name[0] != '.')
            texts.push_back(read_file(proc + "/task/" + entry->d_name + "/schedstat"));
    closedir(tasks);
    return texts;
}

// CPU first: it keeps growing while the slower maps are read, memory hardly does.
void sample_at_title(pid_t pid, kb::RunResult& result) {
    const std::string proc = "/proc/" + std::to_string(pid);
    result.cpu_ms = kb::process_cpu_ms(thread_schedstats(proc), read_file(proc + "/stat"),
                                       sysconf(_SC_CLK_TCK));
    if (const std::string status = read_file(proc + "/status"); !status.empty()) {
        const kb::ProcMemory memory = kb::parse_proc_status(status);
        result.rss_kb = memory.rss_kb;
        result.hwm_kb = memory.hwm_kb;
    }
    if (const std::string maps = read_file(proc + "/maps"); !maps.empty())
        result.shared_objects = kb::count_shared_objects(maps);
}

kb::RunResult run_once(Display* display, const Atoms& atoms, const kb::Command& command, int round,
                       const kb::Options& options) {
    kb::RunResult result;
    result.name = command.name;
    result.round = round;

    // Whatever the last run's windows still had to say is not this run's business.
    XSync(display, False);
    drain(display, nullptr);

    const std::optional<Launch> started = launch(command.argv, options.verbose);
    if (!started) {
        result.status = kb::RunStatus::exec_failed;
        return result;
    }
    result.pid = started->pid;
    g_run_pgid = started->pid;
    if (started->exec_errno != 0) {
        result.status = kb::RunStatus::exec_failed;
        stop_group(started->pid, 0);
        g_run_pgid = -1;
        return result;
    }

    RunWatch watch(display, atoms, command.title, started->t0_ms);
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, started->pid, 0));
    const double deadline = started->t0_ms + options.timeout_ms;
    bool ended = false;
    for (;;) {
        drain(display, &watch);
        if (watch.done() || ended || g_stop_signal != 0)
            break;
        const double left = deadline - now_ms();
        if (left <= 0)
            break;
        pollfd waits[2] = {{ConnectionNumber(display), POLLIN, 0}, {pidfd, POLLIN, 0}};
        int wait_ms = static_cast<int>(std::ceil(left));
        if (pidfd < 0)
            wait_ms = std::min(wait_ms, 10); // no pidfd: look for the exit by polling
        poll(waits, pidfd >= 0 ? 2 : 1, wait_ms);
        int status = 0;
        if ((pidfd < 0 || waits[1].revents != 0) &&
            waitpid(started->pid, &status, WNOHANG) == started->pid) {
            result.exit_status = status;
            ended = true; // one more pass over the queue, then stop
        }
    }
    if (watch.done())
        sample_at_title(started->pid, result);
    result.map_ms = watch.map_ms();
    result.title_ms = watch.title_ms();
    result.status = watch.done()     ? kb::RunStatus::ok
                    : ended          ? kb::RunStatus::exited
                    : watch.map_ms() ? kb::RunStatus::title_timeout
                                     : kb::RunStatus::timeout;

    if (!stop_group(started->pid, options.grace_ms))
        std::fprintf(stderr, "kestrand_probe: process group %d would not die\n", started->pid);
    if (pidfd >= 0)
        close(pidfd);
    g_run_pgid = -1;

    // Let the server tear the windows down before the next program starts competing.
    for (const double until = now_ms() + 2000; !watch.all_destroyed() && now_ms() < until;) {
        pollfd wait{ConnectionNumber(display), POLLIN, 0};
        if (XPending(display) == 0)
            poll(&wait, 1, 20);
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            watch.handle(event, now_ms());
        }
    }
    return result;
}

std::string ms_text(const std::optional<double>& ms) {
    if (!ms)
        return "       -";
    char text[32];
    std::snprintf(text, sizeof text, "%8.1f", *ms);
    return text;
}

std::string mb_text(const std::optional<long>& kb) {
    if (!kb)
        return "    -";
    char text[32];
    std::snprintf(text, sizeof text, "%5.1f", static_cast<double>(*kb) / 1024.0);
    return text;
}

void print_run(std::FILE* out, const kb::RunResult& r, std::size_t name_width) {
    const std::string round = r.round == 0 ? "warm-up " : "round " + std::to_string(r.round);
    std::fprintf(out,
                 "%-9s %-*s pid %-7d %-13s map %s ms  title %s ms  cpu %s ms  rss %s MB  "
                 "hwm %s MB  so %s\n",
                 round.c_str(), static_cast<int>(name_width), r.name.c_str(), r.pid,
                 std::string(kb::to_string(r.status)).c_str(), ms_text(r.map_ms).c_str(),
                 ms_text(r.title_ms).c_str(), ms_text(r.cpu_ms).c_str(), mb_text(r.rss_kb).c_str(),
                 mb_text(r.hwm_kb).c_str(),
                 r.shared_objects ? std::to_string(*r.shared_objects).c_str() : "-");
}

std::string spread_text(const std::optional<kb::Spread>& s, std::size_t runs) {
    if (!s)
        return "no measurement";
    char text[96];
    std::snprintf(text, sizeof text, "%.1f / %.1f / %.1f", s->min, s->median, s->max);
    std::string out = text;
    if (s->count < runs)
        out += " (" + std::to_string(runs - s->count) + " missed)";
    return out;
}

void print_summary(std::FILE* out, const kb::Summary& s, std::size_t name_width) {
    auto median = [](const std::optional<kb::Spread>& spread) {
        return spread ? std::to_string(std::lround(spread->median)) : std::string("-");
    };
    std::fprintf(
        out, "%-*s runs %zu  map ms %s  title ms %s  cpu ms %s  rss %s KB  hwm %s KB  so %s\n",
        static_cast<int>(name_width), s.name.c_str(), s.runs, spread_text(s.map_ms, s.runs).c_str(),
        spread_text(s.title_ms, s.runs).c_str(), spread_text(s.cpu_ms, s.runs).c_str(),
        median(s.rss_kb).c_str(), median(s.hwm_kb).c_str(), median(s.shared_objects).c_str());
}

} // namespace

int main(int argc, char** argv) {
    const kb::ParsedArgs parsed = kb::parse_args(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.help) {
        std::fputs(kb::usage().c_str(), stdout);
        return 0;
    }
    if (!parsed.options) {
        std::fprintf(stderr, "kestrand_probe: %s\n%s", parsed.error.c_str(), kb::usage().c_str());
        return 2;
    }
    const kb::Options& options = *parsed.options;
    g_verbose = options.verbose;

    struct sigaction stop {};
    stop.sa_handler = on_stop_signal; // no SA_RESTART: the waits must wake up and notice
    sigemptyset(&stop.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &stop, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    prctl(PR_SET_CHILD_SUBREAPER, 1);

    std::FILE* tsv = nullptr;
    std::FILE* human = stdout;
    if (options.tsv_path) {
        if (*options.tsv_path == "-") {
            tsv = stdout;
            human = stderr;
        } else if ((tsv = std::fopen(options.tsv_path->c_str(), "w")) == nullptr) {
            std::fprintf(stderr, "kestrand_probe: cannot write %s: %s\n", options.tsv_path->c_str(),
                         std::strerror(errno));
            return 2;
        }
    }
    auto tsv_line = [&](const std::string& line) {
        if (tsv != nullptr) {
            std::fprintf(tsv, "%s\n", line.c_str());
            std::fflush(tsv);
        }
    };

    std::string error;
    std::optional<Xvfb> xvfb = Xvfb::start(options.xvfb, options.verbose, error);
    if (!xvfb) {
        std::fprintf(stderr, "kestrand_probe: cannot start %s: %s\n", options.xvfb.c_str(),
                     error.c_str());
        return g_stop_signal != 0 ? 128 + g_stop_signal : 3;
    }
    const std::string display_name = ":" + std::to_string(xvfb->display());
    std::fprintf(human, "Xvfb pid %d on display %s; runs: %d after %s; timeout %d ms\n",
                 xvfb->pid(), display_name.c_str(), options.runs,
                 options.warmup ? "one warm-up round" : "no warm-up", options.timeout_ms);
    std::fflush(human);
    tsv_line("#xvfb\tpid\tdisplay");
    tsv_line("xvfb\t" + std::to_string(xvfb->pid()) + "\t" + display_name);

    setenv("DISPLAY", display_name.c_str(), 1);
    unsetenv("WAYLAND_DISPLAY"); // toolkits would prefer it to our display
    XSetErrorHandler(on_x_error);
    XSetIOErrorHandler(on_x_io_error);
    const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(display_name.c_str()),
                                                              XCloseDisplay);
    if (!display) {
        std::fprintf(stderr, "kestrand_probe: cannot open display %s\n", display_name.c_str());
        return 3;
    }
    XSelectInput(display.get(), DefaultRootWindow(display.get()),
                 SubstructureNotifyMask | PropertyChangeMask);
    Atoms atoms;
    atoms.net_wm_name = XInternAtom(display.get(), "_NET_WM_NAME", False);

    std::size_t name_width = 4;
    for (const kb::Command& command : options.commands)
        name_width = std::max(name_width, command.name.size());

    tsv_line(kb::tsv_run_header());
    std::vector<kb::RunResult> results;
    for (int round = options.warmup ? 0 : 1; round <= options.runs && g_stop_signal == 0; ++round) {
        for (const kb::Command& command : options.commands) {
            kb::RunResult result = run_once(display.get(), atoms, command, round, options);
            if (g_stop_signal != 0)
                break; // an interrupted run measured nothing
            print_run(human, result, name_width);
            std::fflush(human);
            tsv_line(kb::tsv_run_line(result));
            results.push_back(std::move(result));
        }
    }

    std::fprintf(human, "\nsummary (min / median / max):\n");
    tsv_line(kb::tsv_summary_header());
    for (const kb::Command& command : options.commands) {
        const kb::Summary summary = kb::summarise(command.name, results);
        print_summary(human, summary, name_width);
        tsv_line(kb::tsv_summary_line(summary));
    }
    if (tsv != nullptr && tsv != stdout)
        std::fclose(tsv);
    return g_stop_signal != 0 ? 128 + g_stop_signal : 0;
}
