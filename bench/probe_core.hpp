// The start-up probe's pure parts: its command line, reading /proc text, the run records and
// their summary statistics and TSV lines. No X, no processes, no clock: all of it is testable.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace kestrand::bench {

struct Command {
    std::string name;
    std::string title; // the window title that marks the program as ready, compared bytewise
    std::vector<std::string> argv;
};

struct Options {
    int runs = 5;
    int timeout_ms = 10000;
    int grace_ms = 300; // between SIGTERM and SIGKILL of a run's process group
    bool warmup = true;
    bool verbose = false; // keep Xvfb's and the children's stderr, show X errors
    std::string xvfb = "Xvfb";
    std::optional<std::string> tsv_path; // "-" is stdout
    std::vector<Command> commands;
};

struct ParsedArgs {
    std::optional<Options> options; // empty on error or when help was asked for
    std::string error;
    bool help = false;
};

// args excludes the program name.
[[nodiscard]] ParsedArgs parse_args(const std::vector<std::string>& args);
[[nodiscard]] std::string usage();

struct ProcMemory {
    std::optional<long> rss_kb;
    std::optional<long> hwm_kb;
};

[[nodiscard]] ProcMemory parse_proc_status(std::string_view status_text);
[[nodiscard]] bool is_shared_object_path(std::string_view path);
// Distinct shared-object files in a /proc/<pid>/maps text.
[[nodiscard]] int count_shared_objects(std::string_view maps_text);

// The first field of a /proc/<pid>/task/<tid>/schedstat text: ns the thread has run.
[[nodiscard]] std::optional<long long> parse_schedstat_ns(std::string_view schedstat_text);
// utime + stime of a /proc/<pid>/stat text, in clock ticks.
[[nodiscard]] std::optional<long long> parse_stat_cpu_ticks(std::string_view stat_text);
// CPU ms of a whole process: the sum over its threads' schedstat texts when any of them reads
// (a thread that ended meanwhile reads empty), else its stat text's ticks.
[[nodiscard]] std::optional<double>
process_cpu_ms(const std::vector<std::string>& thread_schedstats, std::string_view stat_text,
               long ticks_per_second);

enum class RunStatus {
    ok,            // mapped and titled within the timeout
    title_timeout, // mapped, but the title never matched
    timeout,       // never mapped
    exited,        // the program ended before its title matched
    exec_failed,
};

[[nodiscard]] std::string_view to_string(RunStatus status);

struct RunResult {
    std::string name;
    int round = 0; // 0 is the warm-up round
    pid_t pid = -1;
    RunStatus status = RunStatus::timeout;
    std::optional<double> map_ms;
    std::optional<double> title_ms;
    std::optional<long> rss_kb;
    std::optional<long> hwm_kb;
    std::optional<int> shared_objects;
    std::optional<int> exit_status; // raw wait status when the program ended on its own
    std::optional<double> cpu_ms;   // consumed by the time the title matched
};

struct Spread {
    double min = 0;
    double median = 0;
    double max = 0;
    std::size_t count = 0;
};

[[nodiscard]] std::optional<Spread> spread_of(std::vector<double> values);

struct Summary {
    std::string name;
    std::size_t runs = 0;
    std::optional<Spread> map_ms;
    std::optional<Spread> title_ms;
    std::optional<Spread> rss_kb;
    std::optional<Spread> hwm_kb;
    std::optional<Spread> shared_objects;
    std::optional<Spread> cpu_ms;
};

// Only counted rounds (round >= 1) of the named command contribute.
[[nodiscard]] Summary summarise(const std::string& name, const std::vector<RunResult>& results);

[[nodiscard]] std::string tsv_summary_header();
[[nodiscard]] std::string tsv_summary_line(const Summary& summary);
[[nodiscard]] std::string tsv_run_header();
[[nodiscard]] std::string tsv_run_line(const RunResult& result);

} // namespace kestrand::bench
