#!/usr/bin/env bash
# Installs the Debian packages Zelcraft builds and tests with, when missing
# (clang and its runtime libraries for the fuzz targets, Chromium for the
# report's browser test, the system Python with numpy, pandas, scikit-learn,
# tqdm, pytest, pybind11 and venv for the Python package; R with Rcpp,
# recipes, rsample, testthat, tibble, hms and the modeldata and
# palmerpenguins data sets for the R package), and a
# comma-decimal locale the tests use to check number formatting.
set -euo pipefail

packages=(cmake g++ make libxml2-dev libxml2-utils libeigen3-dev libboost-math-dev
          nlohmann-json3-dev libcli11-dev libfast-float-dev libgtest-dev libgmock-dev
          libbenchmark-dev locales clang libclang-rt-dev chromium
          python3-dev python3-venv pybind11-dev python3-numpy python3-pandas python3-sklearn
          python3-scipy python3-pytest python3-tqdm python3-dask python3-distributed
          r-base-core r-base-dev r-cran-rcpp r-cran-recipes r-cran-rsample r-cran-testthat
          r-cran-tibble r-cran-hms r-cran-modeldata r-cran-palmerpenguins)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# A comma-decimal locale lets the tests check number formatting under it.
if ! locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
  if [ "$(id -u)" -eq 0 ] && [ -f /etc/locale.gen ]; then
    sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    locale-gen >/dev/null 2>&1 || true
  fi
fi
