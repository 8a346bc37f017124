"""Measures the inputs of the scale model (docs/at-scale.md, "A billion
rows, on paper") and checks it against a merge of 1,000 states.

1. The size of each pass's state per kind of field: a table of the target
   and one continuous input, then one more field of a kind (continuous, nominal with k
   categories, date, and n continuous fields for the pairs), one state of
   the whole table per pass that reads; the field's share is the
   difference.
2. The time to merge two states of each pass (the merge deserializes both
   and serializes the result) and to pickle and unpickle one.
3. The taxi-like table (scripts/taxi_table.py) cut into 1,000 partitions:
   the states of each pass gathered, merged along the tree of a Dask run
   (neighbours pairwise, depth 10), timed on one core, against the model's
   prediction: the sum of the measured merges of two states of the sizes
   met on each level. Times are processor time of this process, which the
   other work on a shared machine does not lengthen.
    python3 scripts/scale_model.py [ROWS (200,000)] [PARTS (1,000)]"""

import os
import pickle
import statistics
import sys
import time
import warnings

import numpy as np
import pandas as pd

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from taxi_table import taxi  # noqa: E402

from zelcraft import _lockstep  # noqa: E402
from zelcraft._run import build_recipe  # noqa: E402


def pass_states(frame, bounds=None):
    """[[state per partition] per pass that reads] of a build over the frame."""
    recipe = build_recipe("y" if "y" in frame else "tip", None, None, None, None)
    replica = _lockstep.make_replica(frame, recipe)
    bounds = bounds or [(0, len(frame))]
    found = []

    def read_pass(_states):
        states = [_lockstep.checked(replica.read_rows(first, count)) for first, count in bounds]
        found.append(states)
        return _lockstep.merge_tree(states, _lockstep.merge)

    _lockstep.run(replica, read_pass)
    return found


def median_time(call, repeat):
    times = []
    for _ in range(repeat):
        start = time.process_time()
        call()
        times.append(time.process_time() - start)
    return statistics.median(times)


def kinds_table(rows=20_000):
    rng = np.random.default_rng(3)
    base = pd.DataFrame({"b": rng.normal(0, 1, rows), "y": rng.normal(0, 1, rows)})
    sizes = lambda frame: [len(states[0]) for states in pass_states(frame)]
    baseline = sizes(base)
    kinds = {"continuous": pd.DataFrame({"x": rng.normal(0, 1, rows)})}
    for k in (10, 100, 1000):
        kinds[f"nominal, {k} categories"] = pd.DataFrame(
            {"c": np.char.add("cat", rng.integers(0, k, rows).astype(str))})
    kinds["date"] = pd.DataFrame({"d": (pd.Timestamp("2020-01-01") + pd.to_timedelta(
        rng.integers(0, 1500, rows), "D")).strftime("%Y-%m-%d")})
    for n in (10, 20):
        kinds[f"{n} continuous (pairs)"] = pd.DataFrame(
            {f"x{i}": rng.normal(0, 1, rows) for i in range(n)})
    print("state bytes per pass that reads, beyond those of the target and one continuous "
          f"input ({baseline})")
    for name, columns in kinds.items():
        found = sizes(pd.concat([columns, base], axis=1))
        print(f"  {name:28s} " + " ".join(f"{b - a:>8d}" for a, b in zip(baseline, found))
              + ("   (passes differ)" if len(found) != len(baseline) else ""))


def main():
    warnings.simplefilter("ignore")
    rows = int(sys.argv[1]) if len(sys.argv) > 1 else 200_000
    parts = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    kinds_table()

    frame = taxi(rows)
    bounds = _lockstep.partition_bounds(rows, parts)
    start = time.process_time()
    found = pass_states(frame, bounds)
    print(f"\ntaxi-like table, {rows:,} rows, 11 fields, {len(bounds)} partitions: "
          f"{len(found)} passes read ({time.process_time() - start:.1f} s with the reads)")
    print("pass  state B (one partition / merged)  merge of two ms  pickle+unpickle ms  "
          "tree of 1,000 s  predicted s")
    for number, states in enumerate(found, 1):
        one, other = states[0], states[1]
        merge = median_time(lambda: _lockstep.merge(one, other), 30)
        pickled = median_time(lambda: pickle.loads(pickle.dumps(one)), 30)
        # The prediction: every merge of the tree, at the time measured for
        # two states of the sizes met on its level.
        predicted, level = 0.0, list(states)
        while len(level) > 1:
            pair = (level[0], level[1])
            level_merge = median_time(lambda: _lockstep.merge(*pair), 5)
            predicted += level_merge * (len(level) // 2)
            level = [_lockstep.merge(level[i], level[i + 1]) if i + 1 < len(level) else level[i]
                     for i in range(0, len(level), 2)]
        start = time.process_time()
        merged = _lockstep.merge_tree(states, _lockstep.merge)
        tree = time.process_time() - start
        print(f"{number:4d}  {len(one):>9,d} / {len(merged):>9,d}          {merge * 1e3:8.3f}"
              f"           {pickled * 1e3:8.3f}      {tree:8.3f}     {predicted:8.3f}", flush=True)


if __name__ == "__main__":
    main()
