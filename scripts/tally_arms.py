"""Counts, from the table measure_models.py prints, on how many data sets
each Zelcraft arm is better than raw data, the same, or worse by more than
one fold-spread of the raw score, per model, and names the sets past the
spread either way.

    /usr/bin/python3 scripts/tally_arms.py [--suite clean|messy] < measure-models.out
"""

import argparse
import re
import sys

import messy_sets

MODELS = ("linear", "hgb", "knn")
ROW = re.compile(r"^(\S+)\s+(regression|binary|multiclass)\s+\d+\s+(\S+)\s+"
                 r"(-?[\d.]+) ±([\d.]+)\s+(-?[\d.]+) ±([\d.]+)\s+(-?[\d.]+) ±([\d.]+)")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--suite", choices=("clean", "messy", "all"), default="all")
    args = parser.parse_args()
    messy = {s.name for s in messy_sets.SETS}
    scores = {}
    arms = []
    for line in sys.stdin:
        m = ROW.match(line)
        if not m:
            continue
        name, _, arm = m.group(1, 2, 3)
        if args.suite != "all" and (name in messy) != (args.suite == "messy"):
            continue
        values = [float(v) for v in m.groups()[3:]]
        scores[(name, arm)] = {model: (values[2 * i], values[2 * i + 1])
                               for i, model in enumerate(MODELS)}
        if arm not in arms:
            arms.append(arm)
    sets = sorted({name for name, _ in scores}, key=lambda n: list(scores).index((n, "raw")))
    print("against raw data, by more than one fold-spread of the raw score: better / same / worse")
    for arm in arms:
        if arm == "raw":
            continue
        for model in MODELS:
            better, worse, same = [], [], 0
            for name in sets:
                if (name, arm) not in scores:
                    continue
                raw_mean, raw_sd = scores[(name, "raw")][model]
                mean = scores[(name, arm)][model][0]
                if mean > raw_mean + raw_sd:
                    better.append(f"{name} {mean - raw_mean:+.3f}")
                elif mean < raw_mean - raw_sd:
                    worse.append(f"{name} {mean - raw_mean:+.3f}")
                else:
                    same += 1
            print(f"  {arm:<9} {model:<6} {len(better):>2} / {same:>2} / {len(worse):>2}"
                  f"   better: {', '.join(better) or '-'}; worse: {', '.join(worse) or '-'}")


if __name__ == "__main__":
    main()
