#!/usr/bin/env bash
# Checks that `zelcraft apply` streams its data and reads large documents
# in little memory, printing the peak memory (maximum resident set size)
# and the time of each run.
#   bash scripts/apply-memory-check.sh [ROWS]
#     prepares the example data set, writes a large version of it (10
#     million rows by default, about 1.3 GB) into a scratch directory and
#     replays the document on it;
#   bash scripts/apply-memory-check.sh documents [FIELDS] [MB]
#     replays generated documents (scripts/large_document.py) on three rows:
#     FIELDS derived fields (default 50,000) in a chain, each adding 1 to
#     the one before, and the same number all adding 1 to the input (the
#     two should take about the same time); and category maps filling about
#     MB megabytes (default 200), whose peak should stay within five times
#     the document's size (printed as "peak N.N x the document").
set -euo pipefail
cd "$(dirname "$0")/.."
build="${ZEL_BUILD_DIR:-build}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# Runs apply on DIR/document.pmml and DIR/data.csv and prints its figures.
measure() {
  ls -l "$1/document.pmml" | awk '{print $5 " bytes: " $NF}'
  /usr/bin/time -v "$build/bin/zelcraft" apply "$1/document.pmml" "$1/data.csv" -q \
    >/dev/null 2>"$1/time.txt"
  grep -E "Maximum resident set size|Elapsed \(wall clock\)" "$1/time.txt"
  awk -v bytes="$(stat -c %s "$1/document.pmml")" \
    '/Maximum resident set size/ {printf "peak %.1f x the document\n", $NF * 1024 / bytes}' \
    "$1/time.txt"
}

if [ "${1:-}" = documents ]; then
  fields="${2:-50000}"
  megabytes="${3:-200}"
  cmake --build "$build" -j "${ZEL_JOBS:-2}" --target zelcraft_cli >/dev/null
  for kind in chain star maps; do
    mkdir -p "$scratch/$kind"
    size="$fields"
    [ "$kind" = maps ] && size="$megabytes"
    /usr/bin/python3 scripts/large_document.py "$kind" "$size" "$scratch/$kind"
    measure "$scratch/$kind"
    rm -f "$scratch/$kind/document.pmml"
  done
  exit 0
fi

rows="${1:-10000000}"
bash scripts/run-example.sh >/dev/null 2>&1
"$build/bin/zelcraft-example-data" "$scratch" "$rows"
ls -l "$scratch/customers.csv"
/usr/bin/time -v "$build/bin/zelcraft" apply examples/out/customers.pmml \
  "$scratch/customers.csv" -q >/dev/null 2>"$scratch/time.txt"
grep -E "Maximum resident set size|Elapsed \(wall clock\)" "$scratch/time.txt"
