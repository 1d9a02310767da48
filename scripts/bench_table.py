#!/usr/bin/env python3
"""Turns the start-up probe's TSV into the Markdown table scripts/bench prints.

It only formats and divides what the probe measured; it measures and judges nothing itself.
"""
import argparse
import sys


def read_commands(lines):
    """The probe's per-command summary records, keyed by their header's column names."""
    header = None
    commands = {}
    for line in lines:
        fields = line.rstrip("\n").split("\t")
        if fields[0] == "#cmd":
            header = fields
        elif fields[0] == "cmd":
            if header is None or len(header) != len(fields):
                raise ValueError("summary record without a matching header: " + line.strip())
            record = dict(zip(header[1:], fields[1:]))
            commands[record["name"]] = record
    return commands


def number(record, column):
    value = record.get(column, "NA")
    return None if value == "NA" else float(value)


def timing(record, prefix, missed="timed out"):
    if prefix + "_n" not in record:
        return "-"  # a TSV from a probe that did not measure it
    runs = int(record["runs"])
    measured = int(record[prefix + "_n"])
    median = number(record, prefix + "_median_ms")
    if median is None:
        return missed if runs else "-"
    text = "%.1f (%.1f–%.1f)" % (median, number(record, prefix + "_min_ms"),
                                 number(record, prefix + "_max_ms"))
    if measured < runs:
        text += ", %d of %d %s" % (runs - measured, runs, missed)
    return text


def megabytes(record, column):
    kb = number(record, column)
    return "-" if kb is None else "%.1f" % (kb / 1024.0)


def ratio(numerator, denominator):
    if numerator is None or denominator is None or denominator <= 0:
        return "-"
    return "%.2f" % (numerator / denominator)


def render(commands, floor, qt, subject, sizes, notes, qt_role="default Qt", references=()):
    """references: further (name, role) pairs, each shown after the --qt one and compared
    with the subject first."""
    roles = {floor: "floor", qt: qt_role,
             subject: "Kestrand" if subject == "kestrand" else "in Kestrand's place"}
    roles.update(references)
    nearest = [name for name, _ in references]
    order = [name for name in (floor, qt, *nearest, subject) if name in commands]
    order += [name for name in commands if name not in order]
    runs = sorted({commands[name]["runs"] for name in order})
    out = []
    out.append("Start-up under Xvfb, %s runs each, interleaved after one warm-up round; "
               "times in ms from exec, median (min–max); CPU ms is what the program, all "
               "its threads, had used when its title showed." % "/".join(runs))
    out.extend(notes)
    out.append("")
    out.append("| program | to map | to title | CPU ms | RSS MB | HWM MB | shared objects "
               "| stripped size KB |")
    out.append("|---|---|---|---|---:|---:|---:|---:|")
    for name in order:
        record = commands[name]
        label = name + (" (%s)" % roles[name] if name in roles else "")
        objects = number(record, "shared_objects")
        size = sizes.get(name)
        out.append("| %s | %s | %s | %s | %s | %s | %s | %s |" % (
            label, timing(record, "map"), timing(record, "title"),
            timing(record, "cpu", "not measured"),
            megabytes(record, "rss_median_kb"), megabytes(record, "hwm_median_kb"),
            "-" if objects is None else "%d" % objects,
            "-" if size is None else "%.0f" % (size / 1024.0)))
    if subject in commands:
        out.append("")
        out.append("| ratio of medians | to map | to title | CPU |")
        out.append("|---|---:|---:|---:|")
        for other in (*reversed(nearest), qt, floor):
            if other in commands:
                out.append("| %s / %s | %s |" % (subject, other, " | ".join(
                    ratio(number(commands[subject], column), number(commands[other], column))
                    for column in ("map_median_ms", "title_median_ms", "cpu_median_ms"))))
    return "\n".join(out) + "\n"


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("tsv", help="the probe's --tsv output, '-' for stdin")
    parser.add_argument("--floor", default="ref_xlib")
    parser.add_argument("--qt", default="ref_qt")
    parser.add_argument("--qt-role", default="default Qt",
                        help="what the --qt program stands for, as the table names it")
    parser.add_argument("--reference", action="append", default=[], metavar="NAME=ROLE",
                        help="a further program to compare with, and what it stands for")
    parser.add_argument("--subject", default="kestrand")
    parser.add_argument("--size", action="append", default=[], metavar="NAME=BYTES")
    parser.add_argument("--note", action="append", default=[])
    args = parser.parse_args(argv)
    sizes = {}
    for item in args.size:
        name, _, value = item.partition("=")
        sizes[name] = int(value)
    stream = sys.stdin if args.tsv == "-" else open(args.tsv, encoding="utf-8")
    with stream:
        commands = read_commands(stream)
    if not commands:
        print("bench_table: no summary records in " + args.tsv, file=sys.stderr)
        return 1
    references = [tuple(item.split("=", 1)) for item in args.reference]
    sys.stdout.write(render(commands, args.floor, args.qt, args.subject, sizes, args.note,
                            args.qt_role, references))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
