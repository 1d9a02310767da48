// The start-up probe's pure parts: command line, /proc text, statistics and TSV records.
// It trusts nothing about the order of /proc fields beyond what the kernel documents.
#include "probe_core.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <set>

namespace kestrand::bench {

namespace {

std::optional<int> parse_int(std::string_view text) {
    int value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc{} || ptr != end)
        return std::nullopt;
    return value;
}

bool unfit_for_tsv(std::string_view text) {
    return text.empty() || text.find_first_of("\t\n\r") != std::string_view::npos;
}

std::string fixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

template <typename T, typename Format>
std::string or_na(const std::optional<T>& value, Format format) {
    return value ? format(*value) : std::string("NA");
}

// A count the kernel prints: digits only, no sign.
std::optional<long long> parse_count(std::string_view text) {
    long long value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || text.front() == '-' || ec != std::errc{} || ptr != end)
        return std::nullopt;
    return value;
}

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

} // namespace

std::string usage() {
    return "usage: kestrand_probe [--runs N] [--timeout MS] [--grace MS] [--no-warmup]\n"
           "                      [--verbose] [--xvfb PATH] [--tsv FILE|-] [--title TITLE]\n"
           "                      --cmd NAME [--title TITLE] [--] PROGRAM [ARG...]\n"
           "                      [--cmd NAME ...]...\n"
           "Starts its own Xvfb and runs each PROGRAM (no shell) N times, interleaved, after\n"
           "one warm-up round, timing from exec to the first map of a top-level window and to\n"
           "the moment its title equals TITLE. A --title before the first --cmd is the default\n"
           "for all of them. Everything after NAME up to the next --cmd is the command line.\n";
}

ParsedArgs parse_args(const std::vector<std::string>& args) {
    Options options;
    std::optional<std::string> default_title;
    auto fail = [](std::string message) { return ParsedArgs{std::nullopt, std::move(message)}; };

    std::size_t i = 0;
    auto next_value = [&]() -> std::optional<std::string> {
        if (i + 1 >= args.size())
            return std::nullopt;
        return args[++i];
    };

    for (; i < args.size() && args[i] != "--cmd"; ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            ParsedArgs parsed;
            parsed.help = true;
            return parsed;
        }
        if (arg == "--no-warmup") {
            options.warmup = false;
            continue;
        }
        if (arg == "--verbose") {
            options.verbose = true;
            continue;
        }
        const auto value = next_value();
        if (!value)
            return fail(arg + " needs a value");
        if (arg == "--runs" || arg == "--timeout" || arg == "--grace") {
            const auto number = parse_int(*value);
            const int least = arg == "--grace" ? 0 : 1;
            if (!number || *number < least)
                return fail(arg + " needs a whole number of at least " + std::to_string(least) +
                            ", not '" + *value + "'");
            (arg == "--runs"      ? options.runs
             : arg == "--timeout" ? options.timeout_ms
                                  : options.grace_ms) = *number;
        } else if (arg == "--xvfb") {
            options.xvfb = *value;
        } else if (arg == "--tsv") {
            options.tsv_path = *value;
        } else if (arg == "--title") {
            default_title = *value;
        } else {
            return fail("unknown option '" + arg + "'");
        }
    }

    while (i < args.size()) {
        // args[i] is "--cmd"
        if (++i >= args.size())
            return fail("--cmd needs a name");
        Command command;
        command.name = args[i++];
        if (unfit_for_tsv(command.name))
            return fail("a command name must be non-empty, without tabs or line breaks");
        if (i + 1 < args.size() && args[i] == "--title") {
            command.title = args[i + 1];
            i += 2;
        } else if (default_title) {
            command.title = *default_title;
        } else {
            return fail("command '" + command.name + "' has no --title and there is no default");
        }
        if (i < args.size() && args[i] == "--")
            ++i;
        for (; i < args.size() && args[i] != "--cmd"; ++i)
            command.argv.push_back(args[i]);
        if (command.argv.empty())
            return fail("command '" + command.name + "' has no program");
        const bool taken = std::any_of(options.commands.begin(), options.commands.end(),
                                       [&](const Command& c) { return c.name == command.name; });
        if (taken)
            return fail("command name '" + command.name + "' is used twice");
        options.commands.push_back(std::move(command));
    }
    if (options.commands.empty())
        return fail("no --cmd given");
    return ParsedArgs{std::move(options), {}};
}

ProcMemory parse_proc_status(std::string_view status_text) {
    ProcMemory memory;
    while (!status_text.empty()) {
        const auto eol = status_text.find('\n');
        const std::string_view line = status_text.substr(0, eol);
        status_text =
            eol == std::string_view::npos ? std::string_view{} : status_text.substr(eol + 1);
        const auto colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, colon);
        std::optional<long>* target = key == "VmRSS"   ? &memory.rss_kb
                                      : key == "VmHWM" ? &memory.hwm_kb
                                                       : nullptr;
        if (target == nullptr)
            continue;
        std::string_view value = trim(line.substr(colon + 1));
        if (value.size() < 3 || value.substr(value.size() - 3) != " kB")
            continue;
        value = trim(value.substr(0, value.size() - 3));
        long number = 0;
        const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
        if (ec == std::errc{} && ptr == value.data() + value.size())
            *target = number;
    }
    return memory;
}

bool is_shared_object_path(std::string_view path) {
    constexpr std::string_view deleted = " (deleted)";
    if (path.size() > deleted.size() && path.substr(path.size() - deleted.size()) == deleted)
        path.remove_suffix(deleted.size());
    if (path.empty() || path.front() != '/')
        return false;
    const std::string_view base = path.substr(path.rfind('/') + 1);
    for (auto at = base.find(".so"); at != std::string_view::npos; at = base.find(".so", at + 1)) {
        const auto after = at + 3;
        if (at > 0 && (after == base.size() || base[after] == '.'))
            return true;
    }
    return false;
}

int count_shared_objects(std::string_view maps_text) {
    std::set<std::string_view> paths;
    while (!maps_text.empty()) {
        const auto eol = maps_text.find('\n');
        std::string_view line = maps_text.substr(0, eol);
        maps_text = eol == std::string_view::npos ? std::string_view{} : maps_text.substr(eol + 1);
        // address perms offset dev inode, then the path, which may itself hold spaces
        for (int field = 0; field < 5 && !line.empty(); ++field) {
            const auto start = line.find_first_not_of(' ');
            if (start == std::string_view::npos) {
                line = {};
                break;
            }
            const auto stop = line.find(' ', start);
            line = stop == std::string_view::npos ? std::string_view{} : line.substr(stop);
        }
        const auto path_start = line.find_first_not_of(' ');
        if (path_start == std::string_view::npos)
            continue;
        const std::string_view path = line.substr(path_start);
        if (is_shared_object_path(path))
            paths.insert(path);
    }
    return static_cast<int>(paths.size());
}

std::optional<long long> parse_schedstat_ns(std::string_view schedstat_text) {
    return parse_count(schedstat_text.substr(0, schedstat_text.find_first_of(" \n")));
}

std::optional<long long> parse_stat_cpu_ticks(std::string_view stat_text) {
    // The name in parentheses may hold spaces and ')' itself; the kernel's own ')' is the last.
    const auto close = stat_text.rfind(')');
    if (close == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = stat_text.substr(close + 1);
    // After the name: state is field 3, utime 14 and stime 15.
    std::optional<long long> utime, stime;
    for (int field = 3; field <= 15; ++field) {
        const auto start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos)
            return std::nullopt;
        rest.remove_prefix(start);
        const auto stop = std::min(rest.find_first_of(" \n"), rest.size());
        if (field == 14)
            utime = parse_count(rest.substr(0, stop));
        else if (field == 15)
            stime = parse_count(rest.substr(0, stop));
        rest.remove_prefix(stop);
    }
    if (!utime || !stime)
        return std::nullopt;
    return *utime + *stime;
}

std::optional<double> process_cpu_ms(const std::vector<std::string>& thread_schedstats,
                                     std::string_view stat_text, long ticks_per_second) {
    // schedstat counts ns; stat only clock ticks, 10 ms as a rule: a fallback, nothing more.
    std::optional<long long> ns;
    for (const std::string& text : thread_schedstats)
        if (const auto thread_ns = parse_schedstat_ns(text))
            ns = ns.value_or(0) + *thread_ns;
    if (ns)
        return static_cast<double>(*ns) / 1e6;
    const auto ticks = parse_stat_cpu_ticks(stat_text);
    if (!ticks || ticks_per_second <= 0)
        return std::nullopt;
    return static_cast<double>(*ticks) * 1e3 / static_cast<double>(ticks_per_second);
}

std::string_view to_string(RunStatus status) {
    switch (status) {
    case RunStatus::ok:
        return "ok";
    case RunStatus::title_timeout:
        return "title-timeout";
    case RunStatus::timeout:
        return "timeout";
    case RunStatus::exited:
        return "exited";
    case RunStatus::exec_failed:
        return "exec-failed";
    }
    return "unknown";
}

std::optional<Spread> spread_of(std::vector<double> values) {
    if (values.empty())
        return std::nullopt;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return Spread{values.front(), median, values.back(), n};
}

Summary summarise(const std::string& name, const std::vector<RunResult>& results) {
    Summary summary;
    summary.name = name;
    std::vector<double> map, title, rss, hwm, objects, cpu;
    for (const RunResult& r : results) {
        if (r.name != name || r.round < 1)
            continue;
        ++summary.runs;
        if (r.map_ms)
            map.push_back(*r.map_ms);
        if (r.title_ms)
            title.push_back(*r.title_ms);
        if (r.rss_kb)
            rss.push_back(static_cast<double>(*r.rss_kb));
        if (r.hwm_kb)
            hwm.push_back(static_cast<double>(*r.hwm_kb));
        if (r.shared_objects)
            objects.push_back(*r.shared_objects);
        if (r.cpu_ms)
            cpu.push_back(*r.cpu_ms);
    }
    summary.map_ms = spread_of(std::move(map));
    summary.title_ms = spread_of(std::move(title));
    summary.rss_kb = spread_of(std::move(rss));
    summary.hwm_kb = spread_of(std::move(hwm));
    summary.shared_objects = spread_of(std::move(objects));
    summary.cpu_ms = spread_of(std::move(cpu));
    return summary;
}

std::string tsv_summary_header() {
    return "#cmd\tname\truns\tmap_n\tmap_min_ms\tmap_median_ms\tmap_max_ms\ttitle_n\t"
           "title_min_ms\ttitle_median_ms\ttitle_max_ms\trss_median_kb\thwm_median_kb\t"
           "shared_objects\tcpu_n\tcpu_min_ms\tcpu_median_ms\tcpu_max_ms";
}

std::string tsv_summary_line(const Summary& s) {
    auto ms = [](double v) { return fixed(v, 2); };
    auto whole = [](double v) { return fixed(v, 0); };
    auto timing = [&](const std::optional<Spread>& spread) {
        const std::string n = std::to_string(spread ? spread->count : 0);
        if (!spread)
            return n + "\tNA\tNA\tNA";
        return n + "\t" + ms(spread->min) + "\t" + ms(spread->median) + "\t" + ms(spread->max);
    };
    auto median = [&](const std::optional<Spread>& spread) {
        return spread ? whole(spread->median) : std::string("NA");
    };
    return "cmd\t" + s.name + "\t" + std::to_string(s.runs) + "\t" + timing(s.map_ms) + "\t" +
           timing(s.title_ms) + "\t" + median(s.rss_kb) + "\t" + median(s.hwm_kb) + "\t" +
           median(s.shared_objects) + "\t" + timing(s.cpu_ms);
}

std::string tsv_run_header() {
    return "#run\tround\tname\tpid\tstatus\tmap_ms\ttitle_ms\trss_kb\thwm_kb\tshared_objects\t"
           "wait_status\tcpu_ms";
}

std::string tsv_run_line(const RunResult& r) {
    auto ms = [](double v) { return fixed(v, 2); };
    auto integer = [](auto v) { return std::to_string(v); };
    return "run\t" + std::to_string(r.round) + "\t" + r.name + "\t" + std::to_string(r.pid) + "\t" +
           std::string(to_string(r.status)) + "\t" + or_na(r.map_ms, ms) + "\t" +
           or_na(r.title_ms, ms) + "\t" + or_na(r.rss_kb, integer) + "\t" +
           or_na(r.hwm_kb, integer) + "\t" + or_na(r.shared_objects, integer) + "\t" +
           or_na(r.exit_status, integer) + "\t" + or_na(r.cpu_ms, ms);
}

} // namespace kestrand::bench
