"""Tests of scripts/bench_table.py: the rows, timeouts and ratios it prints from probe TSV,
and, where Xvfb and the built probe are at hand, that it reads the probe's real output."""
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
import bench_table  # noqa: E402

# What probes before the CPU columns wrote; their TSVs are still about.
OLD_HEADER = ("#cmd\tname\truns\tmap_n\tmap_min_ms\tmap_median_ms\tmap_max_ms\ttitle_n\t"
              "title_min_ms\ttitle_median_ms\ttitle_max_ms\trss_median_kb\thwm_median_kb\t"
              "shared_objects")
HEADER = OLD_HEADER + "\tcpu_n\tcpu_min_ms\tcpu_median_ms\tcpu_max_ms"


def record(name, runs, map_n, map_ms, title_n, title_ms, rss="NA", hwm="NA", objects="NA",
           cpu_n=0, cpu_ms=(None, None, None)):
    def spread(values):
        return [("%.2f" % v) if v is not None else "NA" for v in values]
    return "\t".join(["cmd", name, str(runs), str(map_n), *spread(map_ms), str(title_n),
                      *spread(title_ms), rss, hwm, objects, str(cpu_n), *spread(cpu_ms)])


def old_record(*args, **kwargs):
    return "\t".join(record(*args, **kwargs).split("\t")[:len(OLD_HEADER.split("\t"))])


def table(lines, header=HEADER, **roles):
    commands = bench_table.read_commands([header] + lines)
    return bench_table.render(commands, roles.get("floor", "ref_xlib"),
                              roles.get("qt", "ref_qt"), roles.get("subject", "kestrand"),
                              roles.get("sizes", {}), [],
                              roles.get("qt_role", "default Qt"), roles.get("references", ()))


def row(text, label):
    rows = [line for line in text.splitlines() if line.startswith("| " + label)]
    if len(rows) != 1:
        raise AssertionError("no single row for %r in:\n%s" % (label, text))
    return [cell.strip() for cell in rows[0].strip("|").split("|")]


class Table(unittest.TestCase):
    def test_rows_come_floor_first_with_figures_in_their_columns(self):
        text = table([
            record("kestrand", 21, 21, (40, 50, 90), 21, (41, 55, 95), "20480", "30720", "42",
                   21, (30, 33.3, 48)),
            record("ref_xlib", 21, 21, (5, 10, 12), 21, (5, 10, 12), "2560", "2560", "8",
                   21, (4, 5, 6)),
            record("ref_qt", 21, 21, (80, 100, 150), 21, (80, 110, 150)),
        ], sizes={"kestrand": 200 * 1024})
        labels = [line.split("|")[1].strip() for line in text.splitlines()
                  if line.startswith("| ref_") or line.startswith("| kestrand (")]
        self.assertEqual(labels, ["ref_xlib (floor)", "ref_qt (default Qt)",
                                  "kestrand (Kestrand)"])
        self.assertEqual(row(text, "kestrand (Kestrand)"),
                         ["kestrand (Kestrand)", "50.0 (40.0–90.0)", "55.0 (41.0–95.0)",
                          "33.3 (30.0–48.0)", "20.0", "30.0", "42", "200"])
        self.assertEqual(row(text, "ref_qt"),
                         ["ref_qt (default Qt)", "100.0 (80.0–150.0)", "110.0 (80.0–150.0)",
                          "not measured", "-", "-", "-", "-"])

    def test_ratios_divide_kestrand_by_each_reference(self):
        text = table([
            record("ref_xlib", 21, 21, (5, 10, 12), 21, (5, 10, 12), cpu_n=21, cpu_ms=(3, 4, 5)),
            record("ref_qt", 21, 21, (80, 100, 150), 21, (80, 110, 150),
                   cpu_n=21, cpu_ms=(60, 64, 90)),
            record("kestrand", 21, 21, (40, 50, 90), 21, (41, 55, 95),
                   cpu_n=21, cpu_ms=(20, 24, 40)),
        ])
        self.assertEqual(row(text, "kestrand / ref_qt"),
                         ["kestrand / ref_qt", "0.50", "0.50", "0.38"])
        self.assertEqual(row(text, "kestrand / ref_xlib"),
                         ["kestrand / ref_xlib", "5.00", "5.50", "6.00"])

    def test_further_references_are_named_for_what_they_stand_for_and_compared_first(self):
        text = table([
            record("ref_win32", 15, 15, (5, 10, 12), 15, (5, 10, 12)),
            record("ref_win32_themed", 15, 15, (8, 20, 24), 15, (8, 20, 24)),
            record("ref_form", 15, 15, (18, 21, 25), 15, (18, 21, 25)),
            record("kestrand", 15, 15, (20, 22, 30), 15, (20, 22, 30)),
        ], floor="ref_win32", qt="ref_win32_themed", qt_role="themed floor",
            references=[("ref_form", "same window")])
        self.assertEqual(row(text, "ref_win32_themed")[0], "ref_win32_themed (themed floor)")
        self.assertEqual(row(text, "ref_form")[0], "ref_form (same window)")
        self.assertEqual(row(text, "kestrand / ref_win32_themed")[2], "1.10")
        ratios = [line.split("|")[1].strip() for line in text.splitlines()
                  if line.startswith("| kestrand / ")]
        self.assertEqual(ratios, ["kestrand / ref_form", "kestrand / ref_win32_themed",
                                  "kestrand / ref_win32"])

    def test_timeouts_are_said_not_hidden(self):
        text = table([
            record("ref_xlib", 21, 21, (5, 10, 12), 21, (5, 10, 12)),
            record("kestrand", 21, 19, (40, 50, 90), 0, (None, None, None)),
            record("ref_qt", 21, 21, (80, 100, 150), 17, (80, 110, 150),
                   cpu_n=17, cpu_ms=(60, 64, 90)),
        ])
        cells = row(text, "kestrand (Kestrand)")
        self.assertEqual(cells[1], "50.0 (40.0–90.0), 2 of 21 timed out")
        self.assertEqual(cells[2], "timed out")
        self.assertEqual(cells[3], "not measured")
        self.assertEqual(row(text, "ref_qt")[3], "64.0 (60.0–90.0), 4 of 21 not measured")
        self.assertEqual(row(text, "kestrand / ref_xlib"),
                         ["kestrand / ref_xlib", "5.00", "-", "-"])

    def test_a_tsv_from_before_cpu_times_still_reads(self):
        text = table([
            old_record("ref_xlib", 21, 21, (5, 10, 12), 21, (5, 10, 12), "2560", "2560", "8"),
            old_record("kestrand", 21, 21, (40, 50, 90), 21, (41, 55, 95)),
        ], header=OLD_HEADER)
        self.assertEqual(row(text, "ref_xlib (floor)"),
                         ["ref_xlib (floor)", "10.0 (5.0–12.0)", "10.0 (5.0–12.0)", "-",
                          "2.5", "2.5", "8", "-"])
        self.assertEqual(row(text, "kestrand / ref_xlib"),
                         ["kestrand / ref_xlib", "5.00", "5.50", "-"])

    def test_without_kestrand_there_are_no_ratios(self):
        text = table([record("ref_xlib", 3, 3, (5, 10, 12), 3, (5, 10, 12))])
        self.assertNotIn("ratio", text)

    def test_a_stand_in_is_not_labelled_as_kestrand(self):
        text = table([record("stand-in", 3, 3, (5, 10, 12), 3, (5, 10, 12))],
                     subject="stand-in")
        self.assertEqual(row(text, "stand-in")[0], "stand-in (in Kestrand's place)")

    def test_a_record_that_does_not_fit_its_header_is_refused(self):
        with self.assertRaises(ValueError):
            bench_table.read_commands([HEADER, "cmd\tref_xlib\t21\t21"])


@unittest.skipUnless(os.environ.get("KESTRAND_PROBE") and os.environ.get("KESTRAND_XVFB"),
                     "needs the built probe and Xvfb")
class WithTheRealProbe(unittest.TestCase):
    def test_reads_what_the_probe_writes(self):
        with tempfile.TemporaryDirectory() as work:
            tsv = os.path.join(work, "probe.tsv")
            subprocess.run([os.environ["KESTRAND_PROBE"], "--runs", "1", "--no-warmup",
                            "--xvfb", os.environ["KESTRAND_XVFB"], "--tsv", tsv,
                            "--title", "FEXO- Scenario Kestrand",
                            "--cmd", "ref_xlib", os.environ["KESTRAND_REF_XLIB"]],
                           check=True, stdout=subprocess.DEVNULL, timeout=60)
            with open(tsv, encoding="utf-8") as stream:
                commands = bench_table.read_commands(stream)
        text = bench_table.render(commands, "ref_xlib", "ref_qt", "kestrand", {}, [])
        cells = row(text, "ref_xlib (floor)")
        self.assertRegex(cells[1], r"^\d+\.\d \(\d+\.\d–\d+\.\d\)$")
        self.assertEqual(cells[1], cells[2], "the floor is titled when it maps")
        self.assertRegex(cells[3], r"^\d+\.\d \(\d+\.\d–\d+\.\d\)$")
        self.assertGreater(float(cells[3].split()[0]), 0, "starting a program costs CPU")
        self.assertRegex(cells[4], r"^\d+\.\d$")
        self.assertRegex(cells[6], r"^\d+$")


if __name__ == "__main__":
    unittest.main()
