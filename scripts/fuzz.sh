#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang under AddressSanitizer and
# UBSan in build-fuzz/, then runs each for SECONDS seconds (default 30),
# starting from the seed corpus the build generates. New inputs collect in
# build-fuzz/fuzz/work/NAME; a crash, leak or undefined behaviour stops the
# script with the input saved as build-fuzz/fuzz/artifacts/NAME-*.
#   bash scripts/fuzz.sh [SECONDS]
# Installs the Debian packages it needs when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
build="${ZEL_FUZZ_BUILD_DIR:-build-fuzz}"
jobs="${ZEL_JOBS:-2}"

bash scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEL_FUZZ=ON \
  -DZEL_SANITIZE=ON -DZEL_BUILD_TESTS=OFF -DZEL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
for target in "$build"/bin/fuzz_*; do
  name="${target##*/fuzz_}"
  case "$name" in *_seeds) continue ;; esac
  mkdir -p "$build/fuzz/work/$name" "$build/fuzz/artifacts"
  echo "fuzzing $name for $seconds s"
  "$target" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz/artifacts/$name-" \
    "$build/fuzz/work/$name" "$build/fuzz/corpus/$name"
done
echo "No fuzz target found a fault."
