#!/usr/bin/env bash
# Measures the R package against the command line. First on the example
# customers and four R data sets (modeldata's credit_data, ames and Chicago,
# palmerpenguins' penguins_raw): the documents of each data frame and of its
# CSV file, and predict against `zelcraft apply` cell for cell (scripts/compare_r_documents.R). Then the
# time of zelcraft_prepare on a data frame of the synthetic gemstone table
# (zelcraft-gems-data, 1,000,000 rows by default, or ROWS, read by read.csv
# before the timing starts) against `zelcraft prepare` on its file: each side
# runs RUNS times (default 3) and the fastest run counts; prints both wall
# times, their ratio against its line (at most 1.2) and whether the documents
# agree. Installs the package into BUILD/r-lib first. Not part of the tests.
#   bash scripts/bench-r.sh [ROWS [RUNS]]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${ZEL_BUILD_DIR:-build}"
rows="${1:-1000000}"
runs="${2:-3}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "${ZEL_JOBS:-2}" >/dev/null
build="$(cd "$build" && pwd)"
bash scripts/install-r.sh "$build" >/dev/null
export TZ="${TZ:-UTC}"
Rscript scripts/compare_r_documents.R "$build/r-lib" "$build/bin/zelcraft"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
"$build/bin/zelcraft-gems-data" "$scratch/gems.csv" "$rows"
Rscript bench/r_prepare.R "$build/r-lib" "$build/bin/zelcraft" "$scratch" "$runs"
