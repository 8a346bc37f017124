#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang under AddressSanitizer and
# UBSan in build-fuzz/ (or ZEL_FUZZ_BUILD_DIR: a build configured there with
# ZEL_FUZZ=ON, such as the test command's sanitizer build, is built as it is
# configured), then runs each for SECONDS seconds (default 30),
# starting from the seed corpus the build generates. New inputs collect in
# build-fuzz/fuzz/work/NAME. A crash, leak, undefined behaviour, an input
# that needs more than 2 GB, or one that runs longer than TIMEOUT seconds
# (default 20) is a fault: the input is saved as build-fuzz/fuzz/artifacts/NAME-*,
# the other targets still run, and the script ends with status 1. The targets
# run ZEL_JOBS (default 2) at a time.
#   bash scripts/fuzz.sh [SECONDS] [TIMEOUT]
# Installs the Debian packages it needs when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
timeout="${2:-20}"
build="${ZEL_FUZZ_BUILD_DIR:-build-fuzz}"
jobs="${ZEL_JOBS:-2}"

bash scripts/install-deps.sh
if ! grep -qx 'ZEL_FUZZ:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZEL_FUZZ=ON -DZEL_SANITIZE=ON -DZEL_BUILD_TESTS=OFF -DZEL_BUILD_BENCHMARKS=OFF >/dev/null
fi
cmake --build "$build" -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
# libFuzzer ends with these statuses on a timeout and on any other fault.
timeout_status=70
fault_status=77
# The targets run JOBS at a time, each on one core for the whole SECONDS;
# each one's output goes to fuzz/logs/NAME.log and its status beside it.
logs="$build/fuzz/logs"
rm -rf "$logs"
mkdir -p "$logs" "$build/fuzz/artifacts"
names=()
for target in "$build"/bin/fuzz_*; do
  name="${target##*/fuzz_}"
  case "$name" in *_seeds) continue ;; esac
  names+=("$name")
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  mkdir -p "$build/fuzz/work/$name"
  echo "fuzzing $name for $seconds s"
  (
    status=0
    "$target" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 \
      -timeout_exitcode="$timeout_status" -error_exitcode="$fault_status" -print_final_stats=1 \
      -artifact_prefix="$build/fuzz/artifacts/$name-" \
      "$build/fuzz/work/$name" "$build/fuzz/corpus/$name" >"$logs/$name.log" 2>&1 || status=$?
    echo "$status" >"$logs/$name.status"
  ) &
done
wait
faults=()
for name in "${names[@]}"; do
  status="$(cat "$logs/$name.status" 2>/dev/null || echo unknown)"
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/$name.log")"
  echo "$name: ${runs:-no} inputs run, status $status"
  case "$status" in
    0) continue ;;
    "$timeout_status") faults+=("$name: an input ran longer than $timeout s (timeout)") ;;
    *) faults+=("$name: a fault (status $status)") ;;
  esac
  tail -n 60 "$logs/$name.log" >&2
done
if [ "${#faults[@]}" -gt 0 ]; then
  printf 'FAILED: %s\n' "${faults[@]}" >&2
  echo "The inputs are in $build/fuzz/artifacts/, the logs in $logs/." >&2
  exit 1
fi
echo "No fuzz target found a fault."
