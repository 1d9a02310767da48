// Tests of the probe's pure parts: how it reads its command line and /proc, and that its
// statistics and TSV columns say what their headers claim. No display is needed here.
#include "probe_core.hpp"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace kb = kestrand::bench;

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

// Pairs each field of a TSV line with its header column, so tests name columns, not indexes.
std::map<std::string, std::string> by_column(const std::string& header, const std::string& line) {
    const auto names = split(header, '\t');
    const auto values = split(line, '\t');
    EXPECT_EQ(names.size(), values.size()) << header << "\n" << line;
    std::map<std::string, std::string> fields;
    for (std::size_t i = 0; i < names.size() && i < values.size(); ++i)
        fields[names[i]] = values[i];
    return fields;
}

struct ParseCase {
    const char* what;
    std::vector<std::string> args;
    const char* error; // nullptr: must parse
};

TEST(ProbeArgs, RejectsWhatItCannotRun) {
    const ParseCase cases[] = {
        {"no command at all", {"--runs", "3"}, "no --cmd"},
        {"zero runs", {"--runs", "0", "--title", "T", "--cmd", "a", "p"}, "--runs"},
        {"runs not a number", {"--runs", "7x", "--title", "T", "--cmd", "a", "p"}, "--runs"},
        {"negative grace", {"--grace", "-1", "--title", "T", "--cmd", "a", "p"}, "--grace"},
        {"option without value", {"--timeout"}, "needs a value"},
        {"unknown option", {"--rnus", "3", "--cmd", "a", "p"}, "unknown option"},
        {"no title anywhere", {"--cmd", "a", "p"}, "no --title"},
        {"command without program", {"--title", "T", "--cmd", "a", "--"}, "no program"},
        {"name without anything", {"--title", "T", "--cmd"}, "needs a name"},
        {"same name twice", {"--title", "T", "--cmd", "a", "p", "--cmd", "a", "q"}, "twice"},
        {"tab in a name", {"--title", "T", "--cmd", "a\tb", "p"}, "tabs"},
        {"zero grace is fine", {"--grace", "0", "--title", "T", "--cmd", "a", "p"}, nullptr},
    };
    for (const ParseCase& c : cases) {
        const kb::ParsedArgs parsed = kb::parse_args(c.args);
        if (c.error == nullptr) {
            EXPECT_TRUE(parsed.options.has_value()) << c.what << ": " << parsed.error;
        } else {
            EXPECT_FALSE(parsed.options.has_value()) << c.what;
            EXPECT_NE(parsed.error.find(c.error), std::string::npos)
                << c.what << ": got '" << parsed.error << "'";
        }
    }
}

TEST(ProbeArgs, CommandLinesKeepTheirOwnOptions) {
    // Flags after a program belong to that program, even when they look like the probe's.
    const kb::ParsedArgs parsed = kb::parse_args(
        {"--runs", "4",     "--timeout", "2500",    "--grace", "50",   "--no-warmup",  "--title",
         "Main",   "--tsv", "-",         "--cmd",   "first",   "prog", "--title",      "x",
         "--runs", "--cmd", "second",    "--title", "Other",   "--",   "--weird-prog", "--",
         "-v"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const kb::Options& o = *parsed.options;
    EXPECT_EQ(o.runs, 4);
    EXPECT_EQ(o.timeout_ms, 2500);
    EXPECT_EQ(o.grace_ms, 50);
    EXPECT_FALSE(o.warmup);
    EXPECT_EQ(o.tsv_path, "-");
    ASSERT_EQ(o.commands.size(), 2u);
    EXPECT_EQ(o.commands[0].name, "first");
    EXPECT_EQ(o.commands[0].title, "Main");
    EXPECT_EQ(o.commands[0].argv, (std::vector<std::string>{"prog", "--title", "x", "--runs"}));
    EXPECT_EQ(o.commands[1].name, "second");
    EXPECT_EQ(o.commands[1].title, "Other");
    EXPECT_EQ(o.commands[1].argv, (std::vector<std::string>{"--weird-prog", "--", "-v"}));
}

TEST(ProcStatus, FindsResidentAndPeak) {
    const std::string real_looking = "Name:\tref_qt\nUmask:\t0022\nState:\tS (sleeping)\n"
                                     "VmPeak:\t  812345 kB\nVmHWM:\t   41234 kB\n"
                                     "VmRSS:\t   40000 kB\nRssAnon:\t    9000 kB\n";
    struct Case {
        const char* what;
        std::string text;
        std::optional<long> rss;
        std::optional<long> hwm;
    };
    const Case cases[] = {
        {"kernel layout", real_looking, 40000, 41234},
        {"no trailing newline", "VmHWM:\t12 kB\nVmRSS:\t10 kB", 10, 12},
        {"kernel thread has neither", "Name:\tkworker\nState:\tI (idle)\n", {}, {}},
        {"unit missing", "VmRSS:\t10\nVmHWM:\t12 kB\n", {}, 12},
        {"garbage number", "VmRSS:\t1x0 kB\n", {}, {}},
        {"similar keys are not these", "VmRSSx:\t5 kB\nXVmHWM:\t6 kB\n", {}, {}},
        {"empty", "", {}, {}},
    };
    for (const Case& c : cases) {
        const kb::ProcMemory memory = kb::parse_proc_status(c.text);
        EXPECT_EQ(memory.rss_kb, c.rss) << c.what;
        EXPECT_EQ(memory.hwm_kb, c.hwm) << c.what;
    }
}

TEST(ProcMaps, SharedObjectPaths) {
    const std::pair<const char*, bool> cases[] = {
        {"/usr/lib/x86_64-linux-gnu/libc.so.6", true},
        {"/usr/lib/x86_64-linux-gnu/ld-linux-x86-64.so.2", true},
        {"/usr/lib/x86_64-linux-gnu/libQt6Core.so.6.4.2", true},
        {"/opt/plugins/libqxcb.so", true},
        {"/opt/plugins/libqxcb.so (deleted)", true},
        {"/usr/lib/locale/locale-archive", false},
        {"/tmp/.X11-unix/x.sock", false},
        {"/var/cache/fontconfig/cache.sofa", false},
        {"/usr/lib/libx.so.d/data", false}, // a directory named like one does not count
        {"/opt/.so", false},
        {"[vdso]", false},
        {"libc.so.6", false}, // maps only ever shows absolute paths for files
        {"", false},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(kb::is_shared_object_path(path), expected) << path;
}

TEST(ProcMaps, CountsEachLibraryOnce) {
    const std::string maps =
        "55d0c0a00000-55d0c0a01000 r--p 00000000 08:01 1234   /work/build/ref_qt\n"
        "7f10a0000000-7f10a0020000 r--p 00000000 08:01 2001   /usr/lib/x86_64-linux-gnu/libc.so.6\n"
        "7f10a0020000-7f10a0100000 r-xp 00020000 08:01 2001   /usr/lib/x86_64-linux-gnu/libc.so.6\n"
        "7f10a0200000-7f10a0300000 r-xp 00000000 08:01 2002   "
        "/usr/lib/x86_64-linux-gnu/libQt6Core.so.6.4.2\n"
        "7f10a0300000-7f10a0301000 rw-p 00000000 00:00 0 \n"
        "7f10a0400000-7f10a0500000 r--p 00000000 08:01 2003   /opt/my libs/libspace.so.1\n"
        "7f10a0500000-7f10a0600000 r--p 00000000 08:01 2004   /usr/lib/locale/locale-archive\n"
        "7ffd00000000-7ffd00021000 rw-p 00000000 00:00 0      [stack]\n"
        "7ffd00100000-7ffd00102000 r-xp 00000000 00:00 0      [vdso]\n"
        "7f10a0700000-7f10a0701000 r--p 00000000 08:01 2005   "
        "/usr/lib/x86_64-linux-gnu/ld-linux-x86-64.so.2";
    EXPECT_EQ(kb::count_shared_objects(maps), 4); // libc, Qt6Core, libspace, ld-linux
    EXPECT_EQ(kb::count_shared_objects(""), 0);
}

TEST(ProcCpu, ThreadRunTimeFromSchedstat) {
    const std::pair<const char*, std::optional<long long>> cases[] = {
        {"3999586 11333059 2\n", 3999586},
        {"17 0 1", 17},                         // no trailing newline
        {"123456789012 5 9\n", 123456789012LL}, // a busy thread outgrows 32 bits
        {"42\n", 42},
        {"-5 0 0\n", {}},
        {"12x 0 0\n", {}},
        {" 12 0 0\n", {}},
        {"", {}}, // the thread ended between listing and reading
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(kb::parse_schedstat_ns(text), expected) << "'" << text << "'";
}

TEST(ProcCpu, OwnTicksFromStat) {
    // utime 7, stime 3; cutime 500 and cstime 600 are the children's and must not count.
    const std::string after_name = " S 1523 1523 911 0 -1 4194304 99 0 0 0 7 3 500 600 20 0 1 0 "
                                   "166590 3133440 389 18446744073709551615\n";
    struct Case {
        const char* what;
        std::string text;
        std::optional<long long> ticks;
    };
    const Case cases[] = {
        {"kernel layout", "1537 (ref_qt)" + after_name, 10},
        {"name with spaces and parentheses", "1537 (my (odd) prog) 1 2)" + after_name, 10},
        {"no trailing newline", "1 (x) S 1 1 1 0 -1 0 0 0 0 0 2 40", 42},
        {"ends before stime", "1 (x) S 1 1 1 0 -1 0 0 0 0 0 7", {}},
        {"garbage utime", "1 (x) S 1 1 1 0 -1 0 0 0 0 0 7a 3 0 0", {}},
        {"no name at all", "1 x S 1 1 1 0 -1 0 0 0 0 0 7 3 0 0", {}},
        {"empty", "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kb::parse_stat_cpu_ticks(c.text), c.ticks) << c.what;
}

TEST(ProcCpu, ProcessTimeSumsThreadsOrFallsBackToStat) {
    const std::string stat = "9 (w) S 1 1 1 0 -1 0 0 0 0 0 7 3 500 600 20 0 1 0\n"; // 10 ticks
    struct Case {
        const char* what;
        std::vector<std::string> threads;
        std::string stat;
        long ticks_per_second;
        std::optional<double> ms;
    };
    const Case cases[] = {
        {"threads summed", {"1000000 5 1\n", "2500000 3 1\n"}, stat, 100, 3.5},
        {"a thread that ended is skipped", {"1000000 0 0\n", ""}, stat, 100, 1.0},
        {"an idle thread counts as nothing", {"0 0 0\n", "2000000 1 1\n"}, stat, 100, 2.0},
        {"no schedstat: ticks", {}, stat, 100, 100.0},
        {"no schedstat read: ticks, not zero", {"", ""}, stat, 100, 100.0},
        {"another tick rate", {}, stat, 250, 40.0},
        {"tick rate unknown", {}, stat, -1, {}},
        {"nothing readable", {""}, "", 100, {}},
    };
    for (const Case& c : cases) {
        const auto ms = kb::process_cpu_ms(c.threads, c.stat, c.ticks_per_second);
        ASSERT_EQ(ms.has_value(), c.ms.has_value()) << c.what;
        if (ms) {
            EXPECT_DOUBLE_EQ(*ms, *c.ms) << c.what;
        }
    }
}

TEST(Statistics, SpreadOfSamples) {
    struct Case {
        std::vector<double> values;
        double min, median, max;
    };
    const Case cases[] = {
        {{5}, 5, 5, 5},
        {{9, 1, 5}, 1, 5, 9},
        {{4, 1, 3, 2}, 1, 2.5, 4},
        {{7, 7, 7, 100, 7}, 7, 7, 100},
    };
    for (const Case& c : cases) {
        const auto spread = kb::spread_of(c.values);
        ASSERT_TRUE(spread);
        EXPECT_DOUBLE_EQ(spread->min, c.min);
        EXPECT_DOUBLE_EQ(spread->median, c.median);
        EXPECT_DOUBLE_EQ(spread->max, c.max);
        EXPECT_EQ(spread->count, c.values.size());
    }
    EXPECT_FALSE(kb::spread_of({}));
}

kb::RunResult run(const char* name, int round, std::optional<double> map,
                  std::optional<double> title, std::optional<long> rss = {},
                  std::optional<double> cpu = {}) {
    kb::RunResult r;
    r.name = name;
    r.round = round;
    r.map_ms = map;
    r.title_ms = title;
    r.rss_kb = rss;
    r.cpu_ms = cpu;
    r.status = title ? kb::RunStatus::ok
               : map ? kb::RunStatus::title_timeout
                     : kb::RunStatus::timeout;
    return r;
}

TEST(Statistics, SummaryCountsOnlyItsOwnMeasuredRounds) {
    const std::vector<kb::RunResult> results = {
        run("qt", 0, 900, 905, 99999, 800), // warm-up: slow and big, must not count
        run("xlib", 1, 1, 1, 2000, 0.5),    run("qt", 1, 40, 42, 30000, 21),
        run("xlib", 2, 2, 2, 2000, 0.5),    run("qt", 2, 50, {}, {}),
        run("xlib", 3, 3, 3, 2000, 0.5),    run("qt", 3, {}, {}, {}),
    };
    const kb::Summary qt = kb::summarise("qt", results);
    EXPECT_EQ(qt.runs, 3u);
    ASSERT_TRUE(qt.map_ms);
    EXPECT_EQ(qt.map_ms->count, 2u);
    EXPECT_DOUBLE_EQ(qt.map_ms->max, 50);
    ASSERT_TRUE(qt.title_ms);
    EXPECT_EQ(qt.title_ms->count, 1u);
    EXPECT_DOUBLE_EQ(qt.title_ms->median, 42);
    ASSERT_TRUE(qt.rss_kb);
    EXPECT_DOUBLE_EQ(qt.rss_kb->median, 30000);
    ASSERT_TRUE(qt.cpu_ms);
    EXPECT_EQ(qt.cpu_ms->count, 1u);
    EXPECT_DOUBLE_EQ(qt.cpu_ms->max, 21);

    const kb::Summary missing = kb::summarise("nobody", results);
    EXPECT_EQ(missing.runs, 0u);
    EXPECT_FALSE(missing.map_ms);
}

TEST(Tsv, SummaryColumnsMatchTheirHeader) {
    const std::vector<kb::RunResult> results = {
        run("a", 1, 10, 12.5, 1000, 4.5), run("a", 2, 20, 30, 3000, 7.26), run("a", 3, 30, {}, {})};
    const auto fields =
        by_column(kb::tsv_summary_header(), kb::tsv_summary_line(kb::summarise("a", results)));
    EXPECT_EQ(fields.at("#cmd"), "cmd");
    EXPECT_EQ(fields.at("name"), "a");
    EXPECT_EQ(fields.at("runs"), "3");
    EXPECT_EQ(fields.at("map_n"), "3");
    EXPECT_EQ(fields.at("map_min_ms"), "10.00");
    EXPECT_EQ(fields.at("map_median_ms"), "20.00");
    EXPECT_EQ(fields.at("map_max_ms"), "30.00");
    EXPECT_EQ(fields.at("title_n"), "2");
    EXPECT_EQ(fields.at("title_min_ms"), "12.50");
    EXPECT_EQ(fields.at("title_median_ms"), "21.25");
    EXPECT_EQ(fields.at("title_max_ms"), "30.00");
    EXPECT_EQ(fields.at("rss_median_kb"), "2000");
    EXPECT_EQ(fields.at("hwm_median_kb"), "NA");
    EXPECT_EQ(fields.at("cpu_n"), "2");
    EXPECT_EQ(fields.at("cpu_min_ms"), "4.50");
    EXPECT_EQ(fields.at("cpu_median_ms"), "5.88");
    EXPECT_EQ(fields.at("cpu_max_ms"), "7.26");

    const auto nothing = by_column(kb::tsv_summary_header(),
                                   kb::tsv_summary_line(kb::summarise("a", {run("a", 1, {}, {})})));
    EXPECT_EQ(nothing.at("map_n"), "0");
    EXPECT_EQ(nothing.at("map_median_ms"), "NA");
    EXPECT_EQ(nothing.at("title_max_ms"), "NA");
    EXPECT_EQ(nothing.at("cpu_n"), "0");
    EXPECT_EQ(nothing.at("cpu_median_ms"), "NA");
}

TEST(Tsv, RunColumnsMatchTheirHeader) {
    kb::RunResult r = run("late", 2, 301.25, {});
    r.pid = 4321;
    r.exit_status = 768;
    const auto fields = by_column(kb::tsv_run_header(), kb::tsv_run_line(r));
    EXPECT_EQ(fields.at("#run"), "run");
    EXPECT_EQ(fields.at("round"), "2");
    EXPECT_EQ(fields.at("name"), "late");
    EXPECT_EQ(fields.at("pid"), "4321");
    EXPECT_EQ(fields.at("status"), "title-timeout");
    EXPECT_EQ(fields.at("map_ms"), "301.25");
    EXPECT_EQ(fields.at("title_ms"), "NA");
    EXPECT_EQ(fields.at("shared_objects"), "NA");
    EXPECT_EQ(fields.at("wait_status"), "768");
    EXPECT_EQ(fields.at("cpu_ms"), "NA");

    const auto titled =
        by_column(kb::tsv_run_header(), kb::tsv_run_line(run("a", 1, 3, 4, 1, 0.25)));
    EXPECT_EQ(titled.at("cpu_ms"), "0.25");
}

TEST(Tsv, NewColumnsComeAfterTheOldOnes) {
    // Readers that index columns rather than name them must keep finding what they found.
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {kb::tsv_run_header(),
         {"#run", "round", "name", "pid", "status", "map_ms", "title_ms", "rss_kb", "hwm_kb",
          "shared_objects", "wait_status"}},
        {kb::tsv_summary_header(),
         {"#cmd", "name", "runs", "map_n", "map_min_ms", "map_median_ms", "map_max_ms", "title_n",
          "title_min_ms", "title_median_ms", "title_max_ms", "rss_median_kb", "hwm_median_kb",
          "shared_objects"}},
    };
    for (const auto& [header, old_columns] : cases) {
        const auto columns = split(header, '\t');
        ASSERT_GT(columns.size(), old_columns.size()) << header;
        EXPECT_EQ(std::vector<std::string>(columns.begin(), columns.begin() + old_columns.size()),
                  old_columns);
    }
}

} // namespace
