#!/usr/bin/env bash
# Holds the plug-in's position writer to the C runtime's "{%.5f,%.5f,%.5f}": every position the
# corpus files write, by the Windows build of the position probe under Wine (the runtime of
# mingw-w64) and by its Linux build (glibc's), each with --c-runtime.
# Usage: c_runtime_writing_test.sh BIN_DIR WINE_DIR PREFIX WINDOWS_PROBE LINUX_PROBE CORPUS_FILE...
set -euo pipefail
bin_dir=$1 wine_dir=$2 prefix=$3 windows_probe=$4 linux_probe=$5
shift 5
source "$(dirname "$0")/wine_session.sh"

failures=0
for corpus in "$@"; do
  echo "== $(basename "$corpus")"
  report=$(cd "$bin_dir" && wine_run "$windows_probe" "Z:${corpus//\//\\}" --c-runtime) ||
    failures=$((failures + 1))
  echo "Windows build: ${report//$'\r'/}"
  report=$("$linux_probe" "$corpus" --c-runtime) || failures=$((failures + 1))
  echo "Linux build: $report"
done
[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
