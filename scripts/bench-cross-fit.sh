#!/usr/bin/env bash
# Times the prepared training data of a build with target means: writes a
# table of ROWS rows (1 million by default) with one input of 150 categories,
# ten numeric inputs and a continuous target into a scratch directory,
# prepares it with the linear profile (which encodes the 150 categories)
# once without and RUNS times (default 2) with `--data-out`, and prints each
# run's wall time, CPU time (user and system; steadier than the wall time
# on a busy machine) and peak memory. The difference is the cost of the
# prepared data: the pass that gathers the target means by fold, then the
# replay of the document on every row.
#   bash scripts/bench-cross-fit.sh [ROWS [RUNS]]
# ZELCRAFT names another `zelcraft` binary to time (by default build/bin/).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${ZEL_BUILD_DIR:-build}"
rows="${1:-1000000}"
runs="${2:-2}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
if [ -z "${ZELCRAFT:-}" ]; then
  cmake --build "$build" -j "${ZEL_JOBS:-2}" --target zelcraft_cli >/dev/null
  ZELCRAFT="$build/bin/zelcraft"
fi

awk -v rows="$rows" 'BEGIN {
  srand(7)
  printf "city"
  for (k = 1; k <= 10; ++k) printf ",x%d", k
  print ",y"
  for (i = 0; i < rows; ++i) {
    c = int(rand() * 150)
    line = "c" c
    y = c % 17
    for (k = 1; k <= 10; ++k) {
      v = rand()
      if (k % 3 == 0) v = exp(4 * v)  # skewed
      y += v * (k % 4)
      line = line "," (rand() < 0.03 ? "" : sprintf("%.4f", v))
    }
    print line "," sprintf("%.3f", y + rand())
  }
}' >"$scratch/data.csv"
ls -l "$scratch/data.csv" | awk '{printf "%d rows, %d bytes\n", '"$rows"', $5}'

# Runs one preparation with the extra arguments and prints its figures.
run() {
  /usr/bin/time -v "$ZELCRAFT" prepare "$scratch/data.csv" --target y \
    --settings profiles/linear.json -o "$scratch/doc.pmml" -q "$@" \
    >/dev/null 2>"$scratch/time.txt"
  awk '/Elapsed \(wall clock\)/ {wall = $NF} /Maximum resident set size/ {rss = $NF}
       /User time/ {user = $NF} /System time/ {sys = $NF}
       END {printf "%s wall, %.2f s CPU, peak %.0f MB\n", wall, user + sys, rss / 1024}' \
    "$scratch/time.txt"
}

printf "document only:           "
run
for ((k = 1; k <= runs; ++k)); do
  printf "with --data-out (run %d): " "$k"
  run --data-out "$scratch/prepared.csv"
done
grep -c "_targetMean" <(head -1 "$scratch/prepared.csv") >/dev/null &&
  echo "prepared columns: $(head -1 "$scratch/prepared.csv")"
