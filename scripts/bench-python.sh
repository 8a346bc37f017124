#!/usr/bin/env bash
# Compares zelcraft.prepare on a pandas DataFrame with `zelcraft prepare` on
# the same data: the synthetic gemstone table (zelcraft-gems-data, 1,078,800
# rows by default, or ROWS), read into pandas before the timing starts. Each
# side runs RUNS times (default 3) and the fastest run counts, since a
# virtual machine's speed drifts; prints both wall times, their ratio and
# whether the two documents agree. Not part of the tests.
#   bash scripts/bench-python.sh [ROWS [RUNS]]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${ZEL_BUILD_DIR:-build}"
rows="${1:-1078800}"
runs="${2:-3}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "${ZEL_JOBS:-2}" \
  --target zelcraft_cli zelcraft_gems_data zelcraft_python_stage >/dev/null
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
"$build/bin/zelcraft-gems-data" "$scratch/gems.csv" "$rows"
ZELCRAFT_BUILD_DIR="$(cd "$build" && pwd)" PYTHONPATH="$(cd "$build" && pwd)/python" \
  /usr/bin/python3 bench/python_prepare.py "$build/bin/zelcraft" "$scratch" "$runs"
