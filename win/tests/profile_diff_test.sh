#!/usr/bin/env bash
# Answers the profile corpus's look-ups with the system's profile functions under Wine and with
# the simulated host's reader, and fails on any difference between the two, or between Wine's
# answers and the reference answers recorded in the corpus.
# Usage: profile_diff_test.sh BIN_DIR WINE_DIR PREFIX LINUX_PROBE CORPUS_DIR OUT_DIR
set -euo pipefail
bin_dir=$1 wine_dir=$2 prefix=$3 linux_probe=$4 corpus=$5 out=$6
source "$(dirname "$0")/wine_session.sh"
mkdir -p "$out"

# Wine maps drive Z: to the root of the file system.
windows_corpus="Z:${corpus//\//\\}"
started=$SECONDS
(cd "$bin_dir" && wine_run ProfileProbe.exe "$windows_corpus" "$windows_corpus\\lookups.txt") \
  >"$out/wine.txt"
echo "Wine answered $(wc -l <"$out/wine.txt") look-ups in $((SECONDS - started)) s"
"$linux_probe" "$corpus" "$corpus/lookups.txt" >"$out/linux.txt"

failures=0
if ! diff -u --label wine --label linux "$out/wine.txt" "$out/linux.txt"; then
  echo "FAIL: the simulated host's reader differs from Wine"
  failures=$((failures + 1))
fi
if ! diff -u --label recorded --label wine "$corpus/answers.txt" "$out/wine.txt"; then
  echo "FAIL: Wine's answers differ from those recorded in $corpus/answers.txt"
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
