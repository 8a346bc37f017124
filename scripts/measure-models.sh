#!/usr/bin/env bash
# Does the preparation help the model? Runs 5-fold cross-validation on the
# data sets that come inside installed Debian packages (scikit-learn's
# bundled data sets, R's datasets package through Rscript): raw data through
# a standard scikit-learn pipeline (impute, one-hot, scale) against Zelcraft
# with the default settings and with each settings profile in profiles/,
# each with a linear model, histogram gradient boosting and k nearest
# neighbours. Every training fold is prepared on its own and the document
# replayed on its test fold. Prints one table (score mean and spread over
# the folds per data set and arm, prepared columns, seconds) and how each
# profile does against raw data, measured against two lines (within one
# fold-spread everywhere, better on half for the linear model). Takes about
# ten minutes on two cores.
#
#   bash scripts/measure-models.sh [--datasets iris,trees] [--arm NAME=PROFILE,KEY=VALUE...]
#
# Builds the `zelcraft` command in build/ (ZEL_BUILD_DIR overrides) when
# needed and installs the Debian packages it uses when they are missing.
# Nothing here is part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
if ! /usr/bin/python3 -c "import sklearn, pandas" 2>/dev/null || ! command -v Rscript >/dev/null; then
  if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq python3-sklearn python3-pandas \
    r-base-core >/dev/null
fi
# The R packages the messy tables come from.
r_packages=(r-cran-modeldata r-cran-ggplot2 r-cran-dslabs r-cran-palmerpenguins r-cran-aer
            r-cran-mlbench r-cran-hsaur3 r-cran-cardata r-cran-zoo)
r_missing=()
for p in "${r_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || r_missing+=("$p")
done
if [ ${#r_missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${r_missing[@]}" >/dev/null
fi

build="${ZEL_BUILD_DIR:-build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "${ZEL_JOBS:-2}" --target zelcraft_cli >/dev/null

echo "machine: $(nproc) cores; load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
# One thread for gradient boosting: its OpenMP threads spin against the
# zelcraft runs and each other on a small machine and run ten times slower.
OMP_NUM_THREADS="${OMP_NUM_THREADS:-1}" /usr/bin/python3 scripts/measure_models.py \
  --zelcraft "$build/bin/zelcraft" --profiles profiles "$@"
