#!/usr/bin/env bash
# Answers a corpus twice, with the Windows build of a probe under Wine and with the Linux build
# of the same question, and fails on any difference between the two, or between Wine's answers
# and the reference answers recorded in the corpus (answers.txt). Where the corpus lists known
# differences between Wine and Windows (wine_differences.txt), the Linux build must give
# Windows's answer there, and Wine its own.
# Usage: corpus_diff_test.sh WHAT BIN_DIR WINE_DIR PREFIX WINDOWS_PROBE LINUX_PROBE CORPUS_DIR
#                            OUT_DIR LINE_ENDS ARGUMENT...
#   WHAT        what is compared, for the messages ("the settings reader")
#   LINE_ENDS   "console" when the Windows probe's lines end in the console's CRLF, which is
#               then taken away; "lf" when it writes LF itself
#   ARGUMENT    the probes' arguments; @CORPUS@ stands for the corpus folder (an argument
#               holding it is given to the Windows probe as Wine's Z: path, others as they are)
set -euo pipefail
what=$1 bin_dir=$2 wine_dir=$3 prefix=$4 windows_probe=$5 linux_probe=$6 corpus=$7 out=$8
line_ends=$9
shift 9
source "$(dirname "$0")/wine_session.sh"
source "$(dirname "$0")/windows_answers.sh"
mkdir -p "$out"

linux_arguments=() windows_arguments=()
for argument in "$@"; do
  linux_argument=${argument//@CORPUS@/$corpus}
  linux_arguments+=("$linux_argument")
  if [ "$argument" = "$linux_argument" ]; then
    windows_arguments+=("$argument")
  else
    # Wine maps drive Z: to the root of the file system.
    windows_arguments+=("Z:${linux_argument//\//\\}")
  fi
done

started=$SECONDS
(cd "$bin_dir" && wine_run "$windows_probe" "${windows_arguments[@]}") >"$out/wine.txt"
if [ "$line_ends" = console ]; then
  sed -i 's/\r$//' "$out/wine.txt"
fi
echo "Wine gave $(wc -l <"$out/wine.txt") answers in $((SECONDS - started)) s"
"$linux_probe" "${linux_arguments[@]}" >"$out/linux.txt"

failures=0
windows_answers "$corpus" >"$out/windows.txt"
if ! diff -u --label "windows (wine's, known differences aside)" --label linux "$out/windows.txt" \
  "$out/linux.txt"; then
  echo "FAIL: the Linux build of $what answers differently from Windows's"
  failures=$((failures + 1))
fi
if ! diff -u --label recorded --label wine "$corpus/answers.txt" "$out/wine.txt"; then
  echo "FAIL: Wine's answers differ from those recorded in $corpus/answers.txt"
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
