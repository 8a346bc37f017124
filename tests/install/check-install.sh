#!/usr/bin/env bash
# Installs the build into a scratch prefix, builds ThirdPartyHost.cc against
# the installed headers and libraries only, runs it, and checks that the
# component library exports its entry points and hides its internals.
set -euo pipefail
build=$1
cxx=$2
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
lib=$(ls -d "$prefix"/lib*/ | head -n 1)
"$cxx" -std=c++17 -o "$prefix/host" "$here/ThirdPartyHost.cc" -I"$prefix/include/zelcraft" \
  -L"$lib" -lzelcraft -ltorcommon13r -Wl,-rpath,"$lib"
"$prefix/host"

symbols=$(nm -DC --defined-only "$lib/libzelcraft.so")
grep -q 'ZelFactory::CreateTorAlgorithm' <<<"$symbols" || { echo "ZelFactory not exported"; exit 1; }
grep -q 'ZelReporter::SetValues' <<<"$symbols" || { echo "ZelReporter not exported"; exit 1; }
grep -q 'ZelLockstep::MergeStates' <<<"$symbols" || { echo "ZelLockstep not exported"; exit 1; }
if grep -E 'Zel[A-Za-z]*Handler|ZelPassDriver|ZelUnivar|ZelPassState|ZelState' <<<"$symbols"; then
  echo "internal symbols are exported"; exit 1
fi
echo "install ok"
