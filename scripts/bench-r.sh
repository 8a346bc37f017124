#!/usr/bin/env bash
# Compares zelcraft_prepare on an R data frame with `zelcraft prepare` on the
# same data: the synthetic gemstone table (zelcraft-gems-data, 1,000,000 rows
# by default, or ROWS), read into R by read.csv before the timing starts.
# Each side runs RUNS times (default 3) and the fastest run counts; prints
# both wall times, their ratio against the line it is held to (at most 1.2)
# and whether the two documents agree. Installs the R package into
# BUILD/r-lib first. Not part of the tests.
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
mkdir -p "$build/r-lib"
ZELCRAFT_BUILD_DIR="$build" R CMD INSTALL --no-docs --library="$build/r-lib" r \
  >"$build/r-install.log" 2>&1 || { cat "$build/r-install.log" >&2; exit 1; }
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
"$build/bin/zelcraft-gems-data" "$scratch/gems.csv" "$rows"
TZ="${TZ:-UTC}" Rscript bench/r_prepare.R "$build/r-lib" "$build/bin/zelcraft" "$scratch" "$runs"
