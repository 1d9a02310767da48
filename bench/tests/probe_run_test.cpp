// Runs the real probe, with its own Xvfb, against windows that misbehave on purpose, and checks
// that what it reports is consistent and that nothing it started outlives it. No timing is judged.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const std::string kTitle = "FEXO- Scenario Kestrand";

using Record = std::map<std::string, std::string>;

struct ProbeRun {
    int exit_code = -1;
    bool hung = false;
    std::string output;
    std::vector<Record> xvfb;
    std::vector<Record> runs;
    std::vector<Record> commands;
};

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Records keyed by the column names of the header line of their kind ("#run", "#cmd", ...).
void parse_tsv(const std::string& text, ProbeRun& run) {
    std::map<std::string, std::vector<std::string>> headers;
    for (const std::string& line : split(text, '\n')) {
        const auto fields = split(line, '\t');
        if (fields.empty())
            continue;
        if (fields[0].starts_with("#")) {
            headers[fields[0].substr(1)] = fields;
            continue;
        }
        const auto header = headers.find(fields[0]);
        ASSERT_NE(header, headers.end()) << "record before its header: " << line;
        ASSERT_EQ(header->second.size(), fields.size()) << line;
        Record record;
        for (std::size_t i = 1; i < fields.size(); ++i)
            record[header->second[i]] = fields[i];
        auto& into = fields[0] == "run" ? run.runs : fields[0] == "cmd" ? run.commands : run.xvfb;
        into.push_back(std::move(record));
    }
}

class TempDir final {
public:
    TempDir() {
        char pattern[] = "/tmp/kestrand-probe-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made != nullptr ? made : "/tmp";
    }
    ~TempDir() {
        for (const char* file : {"/out.txt", "/runs.tsv"})
            unlink((path_ + file).c_str());
        rmdir(path_.c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    [[nodiscard]] const std::string& path() const { return path_; }

private:
    std::string path_;
};

pid_t spawn_probe(const std::vector<std::string>& args, const TempDir& dir) {
    std::vector<std::string> full = {KESTRAND_PROBE, "--xvfb", KESTRAND_XVFB, "--tsv",
                                     dir.path() + "/runs.tsv"};
    full.insert(full.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : full)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string out = dir.path() + "/out.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, STDOUT_FILENO);
        dup2(fd, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// A guard against a hung probe, not a measurement: it is far above any sane run's length.
ProbeRun wait_probe(pid_t pid, const TempDir& dir, int guard_s = 60) {
    ProbeRun run;
    int status = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(guard_s);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            run.hung = true;
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.output = slurp(dir.path() + "/out.txt");
    parse_tsv(slurp(dir.path() + "/runs.tsv"), run);
    return run;
}

ProbeRun run_probe(const std::vector<std::string>& args) {
    TempDir dir;
    return wait_probe(spawn_probe(args, dir), dir);
}

// A zombie is not left running; anything else with the pid is.
bool running(pid_t pid) {
    const std::string stat = slurp("/proc/" + std::to_string(pid) + "/stat");
    const auto close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

bool group_empty(pid_t pgid) {
    return kill(-pgid, 0) == -1 && errno == ESRCH;
}

std::vector<pid_t> children_of(pid_t parent) {
    std::vector<pid_t> children;
    DIR* proc = opendir("/proc");
    if (proc == nullptr)
        return children;
    while (const dirent* entry = readdir(proc)) {
        const pid_t pid = std::atoi(entry->d_name);
        if (pid <= 0)
            continue;
        const std::string stat = slurp("/proc/" + std::to_string(pid) + "/stat");
        const auto close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(stat.substr(close + 2));
        std::string state;
        pid_t ppid = 0;
        rest >> state >> ppid;
        if (ppid == parent)
            children.push_back(pid);
    }
    closedir(proc);
    return children;
}

void expect_nothing_left(const ProbeRun& run) {
    ASSERT_EQ(run.xvfb.size(), 1u) << run.output;
    const pid_t xvfb = std::stoi(run.xvfb[0].at("pid"));
    EXPECT_FALSE(running(xvfb)) << "Xvfb " << xvfb << " outlived the probe";
    for (const Record& r : run.runs) {
        const pid_t pid = std::stoi(r.at("pid"));
        if (pid <= 0)
            continue;
        EXPECT_FALSE(running(pid)) << r.at("name") << " pid " << pid << " outlived the probe";
        EXPECT_TRUE(group_empty(pid)) << "process group " << pid << " outlived the probe";
    }
}

std::optional<double> number(const Record& r, const std::string& column) {
    const std::string& text = r.at(column);
    if (text == "NA")
        return std::nullopt;
    return std::stod(text);
}

bool have_xvfb() {
    return std::string(KESTRAND_XVFB).size() > 0;
}

struct Case {
    const char* what;
    std::vector<std::string> behaviour; // bench_testwin flags
    int timeout_ms;
    const char* status;
    double map_at_least;   // below zero: must not be measured
    double title_at_least; // below zero: must not be measured
    bool titled_at_map;    // the title was there when the window appeared
};

TEST(ProbeRuns, ReportsWhatEachProgramDid) {
    if (!have_xvfb())
        GTEST_SKIP() << "no Xvfb";
    const Case cases[] = {
        {"late mapper, later title",
         {"--map-delay", "300", "--title-delay", "300"},
         5000,
         "ok",
         300,
         600,
         false},
        {"titled before mapping", {}, 5000, "ok", 0, 0, true},
        {"title only in WM_NAME", {"--wm-only"}, 5000, "ok", 0, 0, true},
        {"title only in _NET_WM_NAME", {"--net-only"}, 5000, "ok", 0, 0, true},
        {"wrong title first, right one later",
         {"--initial-title", "FEXO- Scenario", "--title-delay", "200"},
         5000,
         "ok",
         0,
         200,
         false},
        {"reparented into an untitled frame", {"--reparent"}, 5000, "ok", 0, 0, false},
        {"deaf to SIGTERM, with a child",
         {"--ignore-term", "--grandchild"},
         5000,
         "ok",
         0,
         0,
         true},
        {"never maps", {"--no-map"}, 1000, "timeout", -1, -1, false},
        {"never maps, deaf to SIGTERM, with a child",
         {"--no-map", "--ignore-term", "--grandchild"},
         1000,
         "timeout",
         -1,
         -1,
         false},
        {"title one byte short",
         {"--title", "FEXO- Scenario Kestran"},
         1000,
         "title-timeout",
         0,
         -1,
         false},
        {"title one byte long",
         {"--title", "FEXO- Scenario Kestrand "},
         1000,
         "title-timeout",
         0,
         -1,
         false},
        {"title differs in case",
         {"--title", "FEXO- scenario Kestrand"},
         1000,
         "title-timeout",
         0,
         -1,
         false},
        {"ends before mapping", {"--no-map", "--exit-after", "100"}, 5000, "exited", -1, -1, false},
        {"ends mapped but untitled",
         {"--title", "x", "--exit-after", "100"},
         5000,
         "exited",
         0,
         -1,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args = {"--runs",
                                         "2",
                                         "--no-warmup",
                                         "--grace",
                                         "100",
                                         "--timeout",
                                         std::to_string(c.timeout_ms),
                                         "--title",
                                         kTitle,
                                         "--cmd",
                                         "w",
                                         KESTRAND_TESTWIN};
        args.insert(args.end(), c.behaviour.begin(), c.behaviour.end());
        const ProbeRun run = run_probe(args);
        ASSERT_FALSE(run.hung) << run.output;
        EXPECT_EQ(run.exit_code, 0) << run.output;
        ASSERT_EQ(run.runs.size(), 2u) << run.output;
        for (const Record& r : run.runs) {
            EXPECT_EQ(r.at("status"), c.status) << run.output;
            const auto map = number(r, "map_ms");
            const auto title = number(r, "title_ms");
            EXPECT_EQ(map.has_value(), c.map_at_least >= 0) << run.output;
            EXPECT_EQ(title.has_value(), c.title_at_least >= 0) << run.output;
            if (map) {
                EXPECT_GE(*map, c.map_at_least);
            }
            if (title) {
                EXPECT_GE(*title, c.title_at_least);
            }
            if (map && title) {
                EXPECT_GE(*title, *map);
            }
            if (c.titled_at_map) {
                EXPECT_EQ(r.at("title_ms"), r.at("map_ms"));
            }
            // Memory is read at the title moment, so only a titled run has it.
            const auto rss = number(r, "rss_kb");
            const auto hwm = number(r, "hwm_kb");
            const auto objects = number(r, "shared_objects");
            EXPECT_EQ(rss.has_value(), title.has_value());
            if (rss && hwm && objects) {
                EXPECT_GT(*rss, 0);
                EXPECT_GE(*hwm, *rss);
                EXPECT_GE(*objects, 2); // at least libX11 and the dynamic loader
            }
            // CPU is read with memory, and a wall clock it is not: a sleeping program uses little.
            const auto cpu = number(r, "cpu_ms");
            EXPECT_EQ(cpu.has_value(), title.has_value()) << run.output;
            if (cpu && title) {
                EXPECT_GT(*cpu, 0.2) << "exec, the loader and an X connection cost more";
                if (c.title_at_least > 0) {
                    EXPECT_LT(*cpu * 4, *title) << "it sleeps through most of that time";
                }
            }
            if (std::string(c.status) == "exited") {
                const int wait_status = std::stoi(r.at("wait_status"));
                EXPECT_TRUE(WIFEXITED(wait_status) && WEXITSTATUS(wait_status) == 3);
            }
        }
        ASSERT_EQ(run.commands.size(), 1u);
        const Record& summary = run.commands[0];
        EXPECT_EQ(summary.at("runs"), "2");
        EXPECT_EQ(summary.at("map_n"), c.map_at_least >= 0 ? "2" : "0");
        EXPECT_EQ(summary.at("title_n"), c.title_at_least >= 0 ? "2" : "0");
        EXPECT_EQ(summary.at("cpu_n"), c.title_at_least >= 0 ? "2" : "0");
        expect_nothing_left(run);
    }
}

TEST(ProbeRuns, ReportsAProgramThatCannotStart) {
    if (!have_xvfb())
        GTEST_SKIP() << "no Xvfb";
    const ProbeRun run = run_probe({"--runs", "2", "--title", kTitle, "--cmd", "missing",
                                    "/nonexistent/kestrand", "--cmd", "fine", KESTRAND_TESTWIN});
    ASSERT_FALSE(run.hung);
    EXPECT_EQ(run.exit_code, 0) << run.output;
    ASSERT_EQ(run.runs.size(), 6u) << run.output;
    for (const Record& r : run.runs)
        EXPECT_EQ(r.at("status"), r.at("name") == "missing" ? "exec-failed" : "ok");
    expect_nothing_left(run);
}

TEST(ProbeRuns, InterleavesCommandsAfterOneWarmUpRound) {
    if (!have_xvfb())
        GTEST_SKIP() << "no Xvfb";
    const ProbeRun run =
        run_probe({"--runs", "2", "--title", kTitle, "--cmd", "a", KESTRAND_TESTWIN, "--cmd", "b",
                   KESTRAND_TESTWIN, "--wm-only", "--cmd", "c", KESTRAND_REF_XLIB});
    ASSERT_FALSE(run.hung);
    EXPECT_EQ(run.exit_code, 0) << run.output;
    std::vector<std::string> order;
    std::set<std::string> pids;
    for (const Record& r : run.runs) {
        order.push_back(r.at("round") + r.at("name"));
        pids.insert(r.at("pid"));
        EXPECT_EQ(r.at("status"), "ok") << run.output;
    }
    EXPECT_EQ(order,
              (std::vector<std::string>{"0a", "0b", "0c", "1a", "1b", "1c", "2a", "2b", "2c"}));
    EXPECT_EQ(pids.size(), order.size()) << "each run is a program of its own";
    ASSERT_EQ(run.commands.size(), 3u);
    for (const Record& summary : run.commands) {
        EXPECT_EQ(summary.at("runs"), "2") << "the warm-up round is not counted";
        EXPECT_EQ(summary.at("title_n"), "2");
    }
    expect_nothing_left(run);
}

TEST(ProbeRuns, StoppedMidRunLeavesNothingBehind) {
    if (!have_xvfb())
        GTEST_SKIP() << "no Xvfb";
    TempDir dir;
    const pid_t probe =
        spawn_probe({"--runs", "3", "--timeout", "30000", "--title", kTitle, "--cmd", "w",
                     KESTRAND_TESTWIN, "--no-map", "--ignore-term", "--grandchild"},
                    dir);
    // Wait until the program under test and its own child are both up, then stop the probe.
    std::optional<pid_t> program;
    std::optional<pid_t> grandchild;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!grandchild && std::chrono::steady_clock::now() < until) {
        ProbeRun so_far;
        parse_tsv(slurp(dir.path() + "/runs.tsv"), so_far);
        if (!so_far.xvfb.empty()) {
            const pid_t xvfb = std::stoi(so_far.xvfb[0].at("pid"));
            for (const pid_t child : children_of(probe))
                if (child != xvfb)
                    program = child;
            if (program && !children_of(*program).empty())
                grandchild = children_of(*program).front();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(grandchild) << "the program under test never started";
    kill(probe, SIGTERM);
    const ProbeRun run = wait_probe(probe, dir);
    ASSERT_FALSE(run.hung);
    EXPECT_EQ(run.exit_code, 128 + SIGTERM) << run.output;
    EXPECT_TRUE(run.runs.empty()) << "an interrupted run is not a result";
    EXPECT_FALSE(running(*program));
    EXPECT_FALSE(running(*grandchild));
    EXPECT_TRUE(group_empty(*program));
    expect_nothing_left(run);
}

} // namespace
