#!/usr/bin/env bash
# Answers the position corpus with the plug-in's position reader as the Windows build has it
# (PositionProbe.exe under Wine) and as the Linux build has it (the native probe), and fails on
# any difference between the two, or between Wine's answers and those recorded in the corpus.
# The probe stands for Holdout.asi only while both carry their own formatted-input functions,
# so the test also fails when Holdout.asi imports one from the C runtime DLL.
# Usage: position_diff_test.sh BIN_DIR WINE_DIR PREFIX LINUX_PROBE CORPUS_DIR OUT_DIR OBJDUMP DLL
set -euo pipefail
bin_dir=$1 wine_dir=$2 prefix=$3 linux_probe=$4 corpus=$5 out=$6 objdump=$7 dll=$8
source "$(dirname "$0")/wine_session.sh"
mkdir -p "$out"

failures=0
scanf_imports=$("$objdump" -p "$dll" | grep -Eiw '[a-z_]*scanf[a-z_]*' || true)
if [ -n "$scanf_imports" ]; then
  echo "FAIL: Holdout.asi imports formatted input from the C runtime: $scanf_imports"
  failures=$((failures + 1))
fi

# Wine maps drive Z: to the root of the file system; the console ends lines in CRLF.
windows_corpus="Z:${corpus//\//\\}"
started=$SECONDS
(cd "$bin_dir" && wine_run PositionProbe.exe "$windows_corpus\\texts.txt") | tr -d '\r' \
  >"$out/wine.txt"
echo "Wine answered $(wc -l <"$out/wine.txt") position texts in $((SECONDS - started)) s"
"$linux_probe" "$corpus/texts.txt" >"$out/linux.txt"

if ! diff -u --label wine --label linux "$out/wine.txt" "$out/linux.txt"; then
  echo "FAIL: the Linux build reads positions differently from the Windows build"
  failures=$((failures + 1))
fi
if ! diff -u --label recorded --label wine "$corpus/answers.txt" "$out/wine.txt"; then
  echo "FAIL: Wine's answers differ from those recorded in $corpus/answers.txt"
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
