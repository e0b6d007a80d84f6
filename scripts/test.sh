#!/usr/bin/env bash
# Runs every test of Holdout on a fresh Debian machine: installs what is missing, then builds
# and tests the Linux suite, the naming rule over the sources (clang-tidy), the sanitizer builds
# (ASan+UBSan, TSan), a short fuzzing run, and the Windows cross-build with its checks, the real
# plug-in under Wine and the player package.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

run_preset() {
  echo "== $1"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
  ctest --preset "$1" --parallel 2
}

run_preset linux
echo "== names"
scripts/check_names.sh build/linux

for preset in asan tsan; do
  run_preset "$preset"
done

echo "== fuzz"
fuzz/run.sh

run_preset windows
