#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang under AddressSanitizer and
# UBSan in build-fuzz/, then runs each for SECONDS seconds (default 30),
# starting from the seed corpus the build generates. New inputs collect in
# build-fuzz/fuzz/work/NAME. A crash, leak, undefined behaviour, an input
# that needs more than 2 GB, or one that runs longer than TIMEOUT seconds
# (default 20) is a fault: the input is saved as build-fuzz/fuzz/artifacts/NAME-*,
# the other targets still run, and the script ends with status 1.
#   bash scripts/fuzz.sh [SECONDS] [TIMEOUT]
# Installs the Debian packages it needs when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
timeout="${2:-20}"
build="${ZEL_FUZZ_BUILD_DIR:-build-fuzz}"
jobs="${ZEL_JOBS:-2}"

bash scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEL_FUZZ=ON \
  -DZEL_SANITIZE=ON -DZEL_BUILD_TESTS=OFF -DZEL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
# libFuzzer ends with these statuses on a timeout and on any other fault.
timeout_status=70
fault_status=77
faults=()
for target in "$build"/bin/fuzz_*; do
  name="${target##*/fuzz_}"
  case "$name" in *_seeds) continue ;; esac
  mkdir -p "$build/fuzz/work/$name" "$build/fuzz/artifacts"
  echo "fuzzing $name for $seconds s"
  status=0
  "$target" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 \
    -timeout_exitcode="$timeout_status" -error_exitcode="$fault_status" -print_final_stats=1 \
    -artifact_prefix="$build/fuzz/artifacts/$name-" \
    "$build/fuzz/work/$name" "$build/fuzz/corpus/$name" || status=$?
  case "$status" in
    0) ;;
    "$timeout_status") faults+=("$name: an input ran longer than $timeout s (timeout)") ;;
    *) faults+=("$name: a fault (status $status)") ;;
  esac
done
if [ "${#faults[@]}" -gt 0 ]; then
  printf 'FAILED: %s\n' "${faults[@]}" >&2
  echo "The inputs are in $build/fuzz/artifacts/." >&2
  exit 1
fi
echo "No fuzz target found a fault."
