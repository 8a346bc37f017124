#!/usr/bin/env bash
# Installs the R package from r/ into BUILD/r-lib, linking the static
# libraries of the CMake build in BUILD (default build/), and runs its
# testthat suite against that build's `zelcraft` command. Without R it exits
# 77, which CTest reports as a skipped test; with ZEL_REQUIRE_R set (the test
# command sets it, after installing R) a missing R fails instead, and so does
# any test of the suite that skips.
#   bash scripts/test-r.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${1:-build}" && pwd)"
if ! command -v Rscript >/dev/null 2>&1; then
  if [ -n "${ZEL_REQUIRE_R:-}" ]; then
    echo "error: R is required here (ZEL_REQUIRE_R) but Rscript is not installed" >&2
    exit 1
  fi
  echo "skipped: the R package's tests need R (Debian's r-base-core and r-cran-* packages;" \
       "bash scripts/install-deps.sh installs them)" >&2
  exit 77
fi
export TZ="${TZ:-UTC}"
bash scripts/install-r.sh "$build"
ZELCRAFT_BUILD_DIR="$build" ZEL_REQUIRE_CLI=1 Rscript scripts/run-r-tests.R "$build/r-lib" r/tests/testthat
