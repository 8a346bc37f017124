#!/usr/bin/env bash
# The main job: builds the `zelcraft` command and the example data generator
# (configuring build/ when needed), writes the example customer data set into
# examples/out/ and prepares it twice, printing where the files went: against
# the target churn (the document and the prepared data set), and without a
# target (sparse categories merged by frequency, correlated amounts replaced
# by a constructed feature).
# Installs the Debian packages it needs when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

build="${ZEL_BUILD_DIR:-build}"
out=examples/out
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "${ZEL_JOBS:-2}" --target zelcraft_cli zelcraft_example_data >/dev/null

mkdir -p "$out"
"$build/bin/zelcraft-example-data" "$out"
"$build/bin/zelcraft" prepare "$out/customers.csv" \
  --target churn --frequency-weight weight \
  --schema "$out/customers.schema.json" --settings "$out/customers.settings.json" \
  -o "$out/customers.pmml" --data-out "$out/customers.prepared.csv"
"$build/bin/zelcraft" prepare "$out/customers.csv" \
  --frequency-weight weight \
  --schema "$out/customers.schema.json" --settings "$out/customers.untargeted.settings.json" \
  -o "$out/customers-untargeted.pmml"
