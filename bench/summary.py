#!/usr/bin/python3
"""Sums up the runs of bench/rounds.sh against a floor, and judges goals on the medians.

    summary.py RESULTS FLOOR [GOAL...]

GOAL is LABEL:KEY<=RATIO (the median of LABEL's KEY at most RATIO times the floor's), or
LABEL:KEY<OTHER (below another program's median). KEY is one that bench/firstpaint.c prints:
paint_ms, map_ms, cpu_ms, rss_kb, hwm_kb or anon_kb.
Prints a table in Markdown and MET/MISSED per goal; exits 1 when a goal is missed or a run failed.
"""
import re
import statistics
import sys


def quartiles(values):
    if len(values) < 2:
        return values[0], values[0]
    q = statistics.quantiles(values, n=4)
    return q[0], q[2]


def main(path, floor, goals):
    runs, order, failed = {}, [], []
    for line in open(path):
        label, round_, *pairs = line.split()
        fields = dict(pair.split("=", 1) for pair in pairs)
        if label not in order:
            order.append(label)
        if fields.get("ok") != "1":
            failed.append(f"{label} round {round_}")
            continue
        runs.setdefault(label, {})[int(round_)] = {k: float(v) for k, v in fields.items()}
    if floor not in runs:
        sys.exit(f"no successful run of the floor {floor}")

    def values(label, key):
        return sorted(run[key] for run in runs.get(label, {}).values())

    def median(label, key):
        return statistics.median(values(label, key))

    def paired(label, key):
        # The ratio within each round, where both ran under the same load.
        same = [r for r in runs[label] if r in runs[floor]]
        return statistics.median(runs[label][r][key] / runs[floor][r][key] for r in same)

    print("| program | first paint, median | spread: min..max; p25..p75 | x floor "
          "| x floor, per round | CPU until then | peak memory (VmHWM) | x floor "
          "| anonymous memory (RssAnon) | x floor |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    for label in order:
        if label not in runs:
            print(f"| {label} | no successful run | | | | | | | | |")
            continue
        paint = values(label, "paint_ms")
        p25, p75 = quartiles(paint)
        print(f"| {label} | {median(label, 'paint_ms'):.1f} ms "
              f"| {paint[0]:.1f}..{paint[-1]:.1f}; {p25:.1f}..{p75:.1f} "
              f"| {median(label, 'paint_ms') / median(floor, 'paint_ms'):.2f} "
              f"| {paired(label, 'paint_ms'):.2f} "
              f"| {median(label, 'cpu_ms'):.1f} ms "
              f"| {median(label, 'hwm_kb') / 1024:.1f} MB "
              f"| {median(label, 'hwm_kb') / median(floor, 'hwm_kb'):.2f} "
              f"| {median(label, 'anon_kb') / 1024:.1f} MB "
              f"| {median(label, 'anon_kb') / median(floor, 'anon_kb'):.2f} |")
    counts = ", ".join(f"{label} {len(runs.get(label, {}))}" for label in order)
    print(f"\nsuccessful runs: {counts}")
    for run in failed:
        print(f"FAILED: {run}")

    met = True
    for goal in goals:
        match = re.fullmatch(r"(\w+):(\w+)(<=|<)([\w.]+)", goal)
        if not match:
            sys.exit(f"not a goal: {goal}")
        label, key, relation, bound = match.groups()
        value = median(label, key)
        if relation == "<=":
            limit = float(bound) * median(floor, key)
            ok = value <= limit
            text = f"{label} {key} <= {bound} x {floor}: {value:.1f} against {limit:.1f}"
        else:
            limit = median(bound, key)
            ok = value < limit
            text = f"{label} {key} below {bound}: {value:.1f} against {limit:.1f}"
        print(("MET    " if ok else "MISSED ") + text)
        met = met and ok
    return 0 if met and not failed else 1


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2], sys.argv[3:]))
