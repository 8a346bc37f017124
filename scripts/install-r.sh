#!/usr/bin/env bash
# Installs the R package from r/ into BUILD/r-lib (default build/), linking
# the static libraries of that CMake build, which must be built already (R CMD
# INSTALL r does the same into R's own library). Compiled afresh, since the
# package's objects do not follow the project's headers. The installation's
# log goes to BUILD/r-install.log and is shown when it fails.
#   bash scripts/install-r.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${1:-build}" && pwd)"
export TZ="${TZ:-UTC}"
mkdir -p "$build/r-lib"
ZELCRAFT_BUILD_DIR="$build" R CMD INSTALL --preclean --library="$build/r-lib" r >"$build/r-install.log" 2>&1 ||
  { cat "$build/r-install.log" >&2; exit 1; }
echo "zelcraft installed into $build/r-lib"
