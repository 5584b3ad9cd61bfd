#!/usr/bin/env python3
"""Runs the benchmarks of a build directory and prints one table.

Usage: run_benchmarks.py BUILD_DIR

Each benchmark program writes Google Benchmark JSON into BUILD_DIR/bench/;
every figure in the table is the median of the repetitions. Repetitions of
ours and of the floor are interleaved at random, so a load that comes and goes
on the machine falls on both. A measure whose
benchmark failed is shown as failed, and the script then exits with 1; a
missed goal is shown in the table and is not an error.
"""

import json
import os
import platform
import subprocess
import sys
from datetime import datetime, timezone

REPETITIONS = 5  # the start-up measure sets its own count (40 spawns)

# (measure, label, kind[, floor]); kind decides how ours and the floor (the
# benchmark named "floor" unless a fourth item names another) are compared.
#   ratio:N        ours / floor <= N
#   ratio:-        ours / floor, shown for reference, no goal
#   ratio_frame:N  ours / floor <= N and ours under one 60 Hz frame
#   time:S         ours <= S seconds (the floor is shown for reference)
#   report:S       no floor; met when ours is under S seconds
#   memory:MB      peak RSS of ours - floor <= MB
#   no_alloc:S     no floor; met when ours is at most S seconds and allocates nothing
ROWS = [
    ("decode_rgb_baseline", "Decode RGB, largest baseline plate", "ratio:1.10"),
    ("decode_rgb_progressive", "Decode RGB, largest progressive plate", "ratio:1.10"),
    ("decode_236_baseline", "Decode 236 colours, largest baseline plate", "ratio:1.10"),
    ("decode_236_progressive", "Decode 236 colours, largest progressive plate", "ratio:1.10"),
    ("search_exact_cell", 'SearchTerms exact "cell", whole glossary', "ratio:2.0"),
    ("search_partial_cell", 'SearchTerms partial "cell", whole glossary', "ratio:2.0"),
    ("entry_lines_last", "EntryLines, last entry", "ratio:2.0"),
    ("resolve_result", "ResolveResult", "report:1e-6"),
    ("category_row_keys", "CategoryRowKeys", "report:1e-6"),
    ("store_lookup", "Picture store lookup (last picture, lower case)", "report:1e-6"),
    ("label_hit_test", "Label hit test, one pointer move", "no_alloc:20e-6"),
    ("pointer_move", "Pointer move delivered to Image1 (floor: to a plain widget)", "ratio:-"),
    ("mark_to_paint", "Label mark to painted (floor: whole picture repainted)", "ratio:-"),
    ("select_to_paint", "Category selection to picture painted, largest plate", "time:8e-3"),
    ("search_to_list_e", 'Search button to ListBox1 filled, partial "e"', "ratio_frame:1.3"),
    ("search_to_painted_list_e", 'Search button to ListBox1 painted, partial "e"', "report:16e-3"),
    ("startup", "Process start to first painted window (floor: one text label)", "ratio:1.2", "label"),
    ("startup", "Process start to first painted window (floor: an empty window)", "ratio:-"),
    ("startup", "Peak resident memory", "memory:25"),
]

PROGRAMS = [
    ("bench_core", [f"--benchmark_repetitions={REPETITIONS}"]),
    ("bench_window", [f"--benchmark_repetitions={REPETITIONS}"]),
    ("bench_startup", []),
]

UNIT_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
FRAME_SECONDS = 1 / 60


def run_programs(bench_dir):
    """Returns {measure: {role: entry}} from the median entries of every program."""
    results = {}
    failures = []
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    for program, extra in PROGRAMS:
        out = os.path.join(bench_dir, program + ".json")
        log = os.path.join(bench_dir, program + ".log")
        print(f"running {program} ...", file=sys.stderr, flush=True)
        with open(log, "w") as log_file:
            code = subprocess.call(
                [os.path.join(bench_dir, program), f"--benchmark_out={out}", "--benchmark_out_format=json",
                 "--benchmark_report_aggregates_only=true", "--benchmark_enable_random_interleaving=true",
                 *extra],
                stdout=log_file, stderr=subprocess.STDOUT, env=env)
        if code != 0 or not os.path.exists(out):
            failures.append(f"{program} exited with {code}; see {log}")
            continue
        with open(out) as f:
            data = json.load(f)
        for entry in data["benchmarks"]:
            measure, role = entry.get("run_name", entry["name"]).split("/")[:2]
            slot = results.setdefault(measure, {})
            if entry.get("error_occurred"):
                slot[role] = {"error": entry.get("error_message", "failed")}
            elif entry.get("aggregate_name") == "median" and "error" not in slot.get(role, {}):
                slot[role] = entry
    return results, failures


def seconds(entry):
    return entry["real_time"] * UNIT_SECONDS[entry["time_unit"]]


def show_time(value):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("µs", 1e-6)):
        if value >= scale:
            return f"{value / scale:.3g} {unit}"
    return f"{value / 1e-9:.3g} ns"


def table_row(results, measure, label, kind, floor_role="floor"):
    """Returns (cells, failed) for one line of the table."""
    goal_kind, goal_value = kind.split(":")
    goal = float(goal_value) if goal_value != "-" else None
    entries = results.get(measure, {})
    ours, floor = entries.get("ours"), entries.get(floor_role)
    needs_floor = goal_kind in ("ratio", "ratio_frame", "time", "memory")
    for entry in (ours, floor if needs_floor else {}):
        if entry is None or "error" in entry:
            reason = entry["error"] if entry else "not run"
            return [label, "failed", "", "", "", reason], True
    if ours.get("label"):
        label = f"{label} ({ours['label']})"

    if goal_kind == "memory":
        mine, base = ours["peak_rss_mb"], floor["peak_rss_mb"]
        extra = mine - base
        return [label, f"{mine:.1f} MB", f"{base:.1f} MB", f"+{extra:.1f} MB", f"≤ +{goal:g} MB",
                "yes" if extra <= goal else "NO"], False

    mine = seconds(ours)
    if "allocations" in ours:
        label = f"{label}, {ours['allocations']:.2g} allocations a move"
    if goal_kind == "no_alloc":
        met = mine <= goal and ours.get("allocations") == 0
        return [label, show_time(mine), "—", "—", f"≤ {show_time(goal)}, no allocation",
                "yes" if met else "NO"], False
    if goal_kind == "report":
        return [label, show_time(mine), "—", "—", f"report (< {show_time(goal)})",
                "yes" if mine < goal else "NO"], False

    base = seconds(floor)
    ratio = mine / base
    if goal_kind == "ratio" and goal is None:
        return [label, show_time(mine), show_time(base), f"{ratio:.2f}×", "—", "—"], False
    if goal_kind == "ratio":
        return [label, show_time(mine), show_time(base), f"{ratio:.2f}×", f"≤ {goal_value}×",
                "yes" if ratio <= goal else "NO"], False
    if goal_kind == "ratio_frame":
        met = ratio <= goal and mine < FRAME_SECONDS
        return [label, show_time(mine), show_time(base), f"{ratio:.2f}×", f"≤ {goal_value}× and < 16 ms",
                "yes" if met else "NO"], False
    # time: an absolute goal, the floor shown beside it
    return [label, show_time(mine), show_time(base), f"{ratio:.2f}×", f"≤ {show_time(goal)}",
            "yes" if mine <= goal else "NO"], False


def machine():
    model = platform.processor() or "unknown CPU"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    return f"{model}, {os.cpu_count()} cores, {platform.system()} {platform.release()}"


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    bench_dir = os.path.join(sys.argv[1], "bench")
    results, failures = run_programs(bench_dir)

    header = ["Measure", "Ours", "Floor", "Ratio", "Goal", "Met?"]
    rows = []
    for measure, label, kind, *floor_role in ROWS:
        cells, failed = table_row(results, measure, label, kind, *floor_role)
        rows.append(cells)
        if failed:
            failures.append(f"{measure}: {cells[-1]}")
    widths = [max(len(r[i]) for r in [header] + rows) for i in range(len(header))]

    def line(cells):
        return "| " + " | ".join(c.ljust(w) for c, w in zip(cells, widths)) + " |"

    print()
    print(f"Pictolex benchmarks, {datetime.now(timezone.utc):%Y-%m-%d}, release build, offscreen Qt platform")
    print(f"Machine: {machine()}")
    print("Medians: 5 repetitions in process; 40 spawns for the start-up.")
    print()
    print(line(header))
    print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    for cells in rows:
        print(line(cells))
    for failure in failures:
        print(f"failed: {failure}", file=sys.stderr)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
