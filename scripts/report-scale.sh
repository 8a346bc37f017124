#!/usr/bin/env bash
# The report of a 1,000-field document: its size (the line: under 5 MB) and
# the time headless Chromium takes to show it (the line: within two seconds).
# Builds the command when needed; not part of the tests.
#   bash scripts/report-scale.sh documents [FIELDS...]
#     instead draws generated documents (scripts/large_document.py) of
#     FIELDS fields each (default 4,000 and 32,000), every field reported:
#     one chain and one star of rescaled fields, printing the time and the
#     page's size against the document's (the line: time and size linear in
#     the fields, the page a small multiple of the document).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${ZEL_BUILD_DIR:-build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "${ZEL_JOBS:-2}" --target zelcraft_cli >/dev/null
if [ "${1:-}" = documents ]; then
  shift
  [ $# -gt 0 ] || set -- 4000 32000
  scratch="$(mktemp -d)"
  trap 'rm -rf "$scratch"' EXIT
  for fields in "$@"; do
    for kind in report-chain report-star; do
      /usr/bin/python3 scripts/large_document.py "$kind" "$fields" "$scratch"
      /usr/bin/time -f "%e s, %M KB peak" "$build/bin/zelcraft" report "$scratch/document.pmml" \
        -q -o "$scratch/page.html" 2>"$scratch/time.txt"
      echo "$kind $fields: document $(stat -c %s "$scratch/document.pmml") bytes," \
        "page $(stat -c %s "$scratch/page.html") bytes, $(cat "$scratch/time.txt")"
    done
  done
  exit 0
fi
/usr/bin/python3 scripts/report_scale.py --zelcraft "$build/bin/zelcraft" "$@"
