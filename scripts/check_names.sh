#!/usr/bin/env bash
# Holds every name in the project's C++ sources to the README's naming rule: clang-tidy's
# readability-identifier-naming, configured in .clang-tidy, over every source the Linux build
# compiles (src, observers, sim, tools, tests, bench) and the project headers they include.
# Prints each breach once and fails when there is any.
# Usage: scripts/check_names.sh [BUILD_DIR]   (a configured build; default build/linux)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/linux}
log=$build/names.log
started=$SECONDS
# clang-tidy reads the build's compile commands without the precompiled header GCC made for the
# tests (each test file includes its headers itself) and without GCC's own warning options.
commands=$build/names
mkdir -p "$commands"
sed -E 's# -include [^ ]*cmake_pch\.hxx##g; s# -Winvalid-pch##g' "$build/compile_commands.json" \
  >"$commands/compile_commands.json"
if run-clang-tidy -p "$commands" -extra-arg=-Wno-unknown-warning-option -j 2 -quiet \
  "$PWD/(src|observers|sim|tools|tests|bench)/" >"$log" 2>&1; then
  echo "names: every name follows the rule ($((SECONDS - started)) s)"
  exit 0
fi
grep -E '(error|warning):' "$log" | sed "s|$PWD/||" | sort -u >&2 || tail -n 20 "$log" >&2
echo "names: breaches of the naming rule above (clang-tidy's log: $log)" >&2
exit 1
