#!/usr/bin/env bash
# Installs the Python package into a virtual environment that sees the
# system's site packages (numpy, pandas, scikit-learn, tqdm from Debian):
# builds the extension with CMake when needed, makes the environment
# (default .venv, or the directory given) and installs the package with pip
# without build isolation and without any package index: nothing is
# downloaded. Afterwards: VENV/bin/python -c "import zelcraft".
set -euo pipefail
cd "$(dirname "$0")/.."
venv="${1:-.venv}"
build="${ZEL_BUILD_DIR:-build}"
python=/usr/bin/python3

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "${ZEL_JOBS:-2}" --target zelcraft_python_stage >/dev/null
if [ ! -x "$venv/bin/python" ]; then
  "$python" -m venv --system-site-packages "$venv"
fi
ZELCRAFT_BUILD_DIR="$(cd "$build" && pwd)" "$venv/bin/python" -m pip install --quiet \
  --no-build-isolation --no-index --no-deps --force-reinstall python/
rm -rf python/build python/zelcraft.egg-info
echo "zelcraft installed into $venv: $venv/bin/python -c 'import zelcraft'"
