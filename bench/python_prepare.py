"""The timing behind scripts/bench-python.sh: the fastest of RUNS wall
times of `zelcraft prepare gems.csv --target price` and of
zelcraft.prepare(frame, target="price") on the frame pandas read from the
same file (outside the timing), with the documents compared."""

import re
import resource
import subprocess
import sys
import time
import warnings
from pathlib import Path

import pandas as pd

import zelcraft


def fastest(runs, work):
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        work()
        best = min(best, time.perf_counter() - start)
    return best


def main():
    cli, scratch, runs = sys.argv[1], Path(sys.argv[2]), int(sys.argv[3])
    csv = scratch / "gems.csv"
    command = [cli, "prepare", str(csv), "--target", "price", "-o", str(scratch / "cli.pmml"),
               "-q"]
    cli_seconds = fastest(runs, lambda: subprocess.run(command, check=True))
    frame = pd.read_csv(csv, float_precision="round_trip")
    read_peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    result = {}

    def python_side():
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            result["prep"] = zelcraft.prepare(frame, target="price", progress=False)

    python_seconds = fastest(runs, python_side)
    peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    clock = re.compile(r"<Timestamp>[^<]*</Timestamp>|processingTimeInSecond=\"[^\"]*\"")
    same = clock.sub("", result["prep"].document) == clock.sub(
        "", (scratch / "cli.pmml").read_text())
    print(f"rows: {len(frame)}, columns: {frame.shape[1]}, "
          f"frame in memory: {frame.memory_usage(deep=True).sum() / 2**20:.0f} MiB")
    print(f"zelcraft prepare (command line, fastest of {runs}): {cli_seconds:.2f} s")
    print(f"zelcraft.prepare(DataFrame) (fastest of {runs}): {python_seconds:.2f} s")
    print(f"ratio Python / command line: {python_seconds / cli_seconds:.2f}")
    print(f"peak memory of the Python process: {read_peak / 1024:.0f} MiB after pandas read "
          f"the file, {peak / 1024:.0f} MiB after the preparations")
    print(f"same document: {'yes' if same else 'no'}")


if __name__ == "__main__":
    main()
