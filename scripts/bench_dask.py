"""Times one preparation of a CSV file three ways, RUNS times each, and
checks that their documents agree: one process (`zelcraft prepare`) and
the byte-range path (zelcraft.dask.prepare_csv, PARTS ranges, with and
without kept replicas) in turns, with the processor seconds each took,
then the Dask DataFrame path (dask.dataframe.read_csv in PARTS partitions,
frames shipped to zelcraft.dask.prepare), both on a LocalCluster of 2
worker processes of one thread. Then says where the byte-range path's time
goes: a round trip of an empty task, one range read into a replica, one
merge of two states, and the rounds of one preparation.
    python3 scripts/bench_dask.py CLI FILE.csv [RUNS (3)] [PARTS (8)]"""

import os
import re
import resource
import statistics
import subprocess
import sys
import tempfile
import time
import warnings


import dask.dataframe as dd
import distributed

import zelcraft
import zelcraft.dask
from zelcraft import _lockstep, _ranges

CLOCK = re.compile(r"<Timestamp>[^<]*</Timestamp>|processingTimeInSecond=\"[^\"]*\"")


def timed(call, runs):
    times, result = [], None
    for _ in range(runs):
        start = time.perf_counter()
        result = call()
        times.append(time.perf_counter() - start)
    return times, result


def show(name, times):
    print(f"{name:34s} median {statistics.median(times):6.2f} s  "
          f"min {min(times):6.2f}  max {max(times):6.2f}  ({len(times)} runs)", flush=True)


def processor_seconds(client):
    """The processor seconds of this process, its children and the workers."""
    own = resource.getrusage(resource.RUSAGE_SELF)
    children = resource.getrusage(resource.RUSAGE_CHILDREN)
    workers = client.run(time.process_time)
    return (own.ru_utime + own.ru_stime + children.ru_utime + children.ru_stime
            + sum(workers.values()))


def main():
    cli, path = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    parts = int(sys.argv[4]) if len(sys.argv) > 4 else 8
    size = os.path.getsize(path)
    blocksize = -(-size // parts)
    warnings.simplefilter("ignore")
    out = os.path.join(tempfile.mkdtemp(), "one.pmml")

    def one():
        subprocess.run([cli, "prepare", path, "--target", "tip", "-o", out, "-q"], check=True)
        with open(out) as stream:
            return stream.read()

    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as local, \
            distributed.Client(local) as client:
        def ranges(keep=True):
            return zelcraft.dask.prepare_csv(path, target="tip", blocksize=blocksize,
                                             keep=keep).document

        # One process and the byte ranges in turns, so that both meet the
        # same load from other work; with the processor seconds they took
        # (the command's; the client's and the workers' together).
        ranges()
        paths = {"one process (zelcraft prepare)": (one, [], []),
                 f"byte-range path ({parts} ranges)": (ranges, [], []),
                 "byte-range path, keep=False": (lambda: ranges(False), [], [])}
        documents = {}
        for _ in range(runs):
            for name, (call, times, seconds) in paths.items():
                before = processor_seconds(client)
                start = time.perf_counter()
                documents[name] = call()
                times.append(time.perf_counter() - start)
                seconds.append(processor_seconds(client) - before)
        for name, (_, times, seconds) in paths.items():
            show(name, times)
            print(f"{'':34s} processor {statistics.median(seconds):6.2f} s", flush=True)
        print(f"load average {' '.join(f'{load:.1f}' for load in os.getloadavg())}")
        reference = CLOCK.sub("", documents["one process (zelcraft prepare)"])
        range_doc = documents[f"byte-range path ({parts} ranges)"]
        ddf = dd.read_csv(path, blocksize=blocksize, assume_missing=True)
        times, frame_doc = timed(lambda: zelcraft.dask.prepare(ddf, target="tip").document, runs)
        show(f"DataFrame path ({ddf.npartitions} partitions)", times)
        print("byte-range document == one process:", CLOCK.sub("", range_doc) == reference)
        print("DataFrame document == one process: ", CLOCK.sub("", frame_doc) == reference)

        # Where the time goes.
        trip, _ = timed(lambda: client.submit(int, time.time_ns()).result(), 20)
        print(f"round trip of an empty task       median {statistics.median(trip) * 1e3:6.1f} ms")
        recipe = zelcraft._run.build_recipe("tip", None, None, None, None)
        recipe["schema_text"] = zelcraft._options.schema_text(recipe["schema"])
        header = _ranges.header_row(path, ",")
        cut = _ranges.cut(path, header, blocksize)
        found = [_ranges.kinds(part, recipe, ",") for part in cut]
        storages = zelcraft._core.combine_kinds([result["kinds"] for result in found])
        tasks = _ranges.block_tasks(cut, found, stretches=zelcraft.dask._threads())
        read, replica = timed(lambda: _ranges.replica(tasks[0][0], recipe, ",", storages,
                                                      tasks[0][1] + sum(tasks[0][2])), 3)
        kinds_read, _ = timed(lambda: _ranges.kinds(cut[0], recipe, ",") and None, 3)
        state = _lockstep.replica_state(replica, ())
        merge, _ = timed(lambda: _lockstep.merge(state, state), 20)
        print(f"one task's rows read (kinds round) median {statistics.median(kinds_read):6.3f} s")
        print(f"one task's rows read (a pass)      median {statistics.median(read):6.3f} s "
              f"({tasks[0][1] + sum(tasks[0][2])} rows)")
        print(f"merge of two states ({len(state)} B)  "
              f"median {statistics.median(merge) * 1e3:6.2f} ms")
        rounds = []
        original = _lockstep.run

        def counting(replica, read_pass):
            def counted(states):
                start = time.perf_counter()
                merged = read_pass(states)
                rounds.append(time.perf_counter() - start)
                return merged
            return original(replica, counted)

        _lockstep.run = counting
        start = time.perf_counter()
        zelcraft.dask.prepare_csv(path, target="tip", blocksize=blocksize)
        total = time.perf_counter() - start
        _lockstep.run = original
        print(f"one byte-range run: {total:.2f} s, of which {len(rounds)} passes that read "
              f"{sum(rounds):.2f} s ({', '.join(f'{t:.2f}' for t in rounds)}); "
              f"{len(tasks)} tasks a pass", flush=True)


if __name__ == "__main__":
    main()
