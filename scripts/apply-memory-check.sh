#!/usr/bin/env bash
# Checks that `zelcraft apply` streams: it prepares the example data set,
# writes a large version of it (10 million rows by default, about 1.3 GB)
# into a scratch directory, replays the document on it and prints the peak
# memory (maximum resident set size) the command needed.
#   bash scripts/apply-memory-check.sh [ROWS]
set -euo pipefail
cd "$(dirname "$0")/.."
rows="${1:-10000000}"
build="${ZEL_BUILD_DIR:-build}"
bash scripts/run-example.sh >/dev/null 2>&1

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
"$build/bin/zelcraft-example-data" "$scratch" "$rows"
ls -l "$scratch/customers.csv"
/usr/bin/time -v "$build/bin/zelcraft" apply examples/out/customers.pmml \
  "$scratch/customers.csv" -q >/dev/null 2>"$scratch/time.txt"
grep -E "Maximum resident set size|Elapsed \(wall clock\)" "$scratch/time.txt"
