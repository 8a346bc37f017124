#!/usr/bin/env bash
# The report of a 1,000-field document: its size (the line: under 5 MB) and
# the time headless Chromium takes to show it (the line: within two seconds).
# Builds the command when needed; not part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${ZEL_BUILD_DIR:-build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "${ZEL_JOBS:-2}" --target zelcraft_cli >/dev/null
/usr/bin/python3 scripts/report_scale.py --zelcraft "$build/bin/zelcraft" "$@"
