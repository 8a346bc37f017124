#!/usr/bin/env bash
# Compares the R package with the command line on four R data sets
# (modeldata's credit_data, ames and Chicago, palmerpenguins' penguins_raw):
# the documents of the data frame and of its CSV file, and predict against
# `zelcraft apply`, cell for cell (scripts/compare_r_documents.R). Installs
# the package into BUILD/r-lib first. Not part of the tests.
#   bash scripts/compare-r.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build="${ZEL_BUILD_DIR:-build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "${ZEL_JOBS:-2}" >/dev/null
build="$(cd "$build" && pwd)"
mkdir -p "$build/r-lib"
ZELCRAFT_BUILD_DIR="$build" R CMD INSTALL --no-docs --library="$build/r-lib" r \
  >"$build/r-install.log" 2>&1 || { cat "$build/r-install.log" >&2; exit 1; }
TZ="${TZ:-UTC}" Rscript scripts/compare_r_documents.R "$build/r-lib" "$build/bin/zelcraft"
