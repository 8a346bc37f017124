#!/usr/bin/env bash
# Times the Dask paths against one process on a taxi-like table
# (scripts/taxi_table.py, ROWS rows, default 1,000,000, about 51 MB), RUNS
# times each (default 3), cut in PARTS partitions or byte ranges (default
# 8), on a LocalCluster of 2 worker processes; prints each path's median,
# fastest and slowest run, whether the documents agree, and where the
# byte-range path's time goes (scripts/bench_dask.py). Not part of the tests.
#   bash scripts/bench-dask.sh [ROWS [RUNS [PARTS]]]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${ZEL_BUILD_DIR:-build}"
rows="${1:-1000000}"
runs="${2:-3}"
parts="${3:-8}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "${ZEL_JOBS:-2}" --target zelcraft_cli zelcraft_python_stage >/dev/null
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
/usr/bin/python3 scripts/taxi_table.py "$scratch/taxi.csv" "$rows"
ZELCRAFT_BUILD_DIR="$(cd "$build" && pwd)" PYTHONPATH="$(cd "$build" && pwd)/python" \
  /usr/bin/python3 scripts/bench_dask.py "$build/bin/zelcraft" "$scratch/taxi.csv" "$runs" "$parts"
