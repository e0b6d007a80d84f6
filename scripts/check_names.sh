#!/usr/bin/env bash
# Holds every name in the project's C++ sources to the README's naming rule: clang-tidy's
# readability-identifier-naming, configured in .clang-tidy, over every source that a build
# compiles and the project headers they include: the Linux build's, the Windows cross build's
# (win/, and the Windows side of sim/, src/ and tools/, parsed for the mingw-w64 target), the
# programs that build runs on the build machine, and the fuzz targets. The Windows and fuzz
# presets are only configured here, for their compile commands, in folders of their own inside
# BUILD_DIR; nothing of them is built. Prints each breach once and fails when there is any.
# Usage: scripts/check_names.sh [BUILD_DIR]   (a configured Linux build; default build/linux)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/linux}
names=$build/names
log=$build/names.log
started=$SECONDS
mkdir -p "$names"
for preset in windows fuzz; do
  cmake --preset "$preset" -B "$names/$preset" >"$names/$preset.log" 2>&1 ||
    { cat "$names/$preset.log" >&2; echo "names: the $preset preset does not configure" >&2; exit 1; }
done
python3 scripts/names_database.py "$PWD" "$names/compile_commands.json" \
  "$build/compile_commands.json" "$names/windows/compile_commands.json" \
  "$names/windows/native_compile_commands.json" "$names/fuzz/compile_commands.json"
sources=$(grep -c '"file":' "$names/compile_commands.json")
if run-clang-tidy -p "$names" -extra-arg=-Wno-unknown-warning-option -j 2 -quiet >"$log" 2>&1; then
  echo "names: every name follows the rule ($sources sources, $((SECONDS - started)) s)"
  exit 0
fi
grep -E '(error|warning):' "$log" | sed "s|$PWD/||" | sort -u >&2 || tail -n 20 "$log" >&2
echo "names: breaches of the naming rule above (clang-tidy's log: $log)" >&2
exit 1
