#!/usr/bin/env bash
# Installs what is missing, then configures, builds and tests Zelcraft twice:
# a normal build in build/ (with the Python package: its pytest suite runs on
# the staged package, and it is installed into a virtual environment once to
# check the installation; and with the R package, which CTest installs into
# build/r-lib and tests with testthat) and a clang AddressSanitizer + UBSan
# build in build-asan/ (Debug at -O1, without the Python and R packages),
# which also holds the fuzz targets; then runs every fuzz target from that
# build for 30 seconds, two at a time (scripts/fuzz.sh).
# The report is checked in headless Chromium, which the script installs.
# Where the PMML 4.0 schema is at hand (../shared, or ZEL_TEST_DATA_DIR), the
# schema tests must run: a skipped one fails the run.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
# Chromium and R are installed above, so the report's browser test and the
# R package's tests must not skip.
export ZEL_REQUIRE_BROWSER=1 ZEL_REQUIRE_R=1

jobs="${ZEL_JOBS:-2}"
data="${ZEL_TEST_DATA_DIR:-$(cd .. && pwd)/shared}"
if [ -f "$data/pmml-4-0.xsd" ]; then
  export ZEL_REQUIRE_SCHEMA=1
else
  echo "note: no PMML 4.0 schema in $data; the schema tests are skipped"
fi
run_config() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DZEL_TEST_DATA_DIR="$data" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
}

run_config build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ZELCRAFT_BUILD_DIR="$PWD/build" /usr/bin/python3 -m pytest -q -p no:cacheprovider python/tests
bash scripts/install-python.sh build/venv
(cd build && venv/bin/python -c \
  "import zelcraft, zelcraft.sklearn; print('installed zelcraft', zelcraft.__version__)")
# One clang build serves the sanitizers' tests and the fuzz targets.
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_config build-asan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DZEL_SANITIZE=ON \
  -DZEL_FUZZ=ON -DZEL_BUILD_BENCHMARKS=OFF
echo "All tests passed in both configurations."
ZEL_FUZZ_BUILD_DIR=build-asan bash scripts/fuzz.sh 30
