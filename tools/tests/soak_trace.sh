#!/usr/bin/env bash
# Plays the same seeded soak twice with --trace and checks that the two native-call traces are
# byte-identical and name texts by their content; and that --trace never overwrites a file.
# Usage: soak_trace.sh HOLDOUT FRAMES
set -euo pipefail
holdout=$1 frames=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for round in 1 2; do
  "$holdout" soak --frames "$frames" --seed 5 --trace "$work/trace$round" >/dev/null
done
cmp "$work/trace1" "$work/trace2"
grep -q '^[0-9]* PerFrameCallA(0x0)$' "$work/trace1" || {
  echo "FAIL: no per-frame native in the trace" >&2
  exit 1
}
grep -q 'DrawTextAt\|"' "$work/trace1" || {
  echo "FAIL: no text argument in the trace" >&2
  exit 1
}
echo keep >"$work/existing"
status=0
"$holdout" soak --frames 10 --trace "$work/existing" 2>/dev/null || status=$?
[ "$status" -eq 2 ] && [ "$(cat "$work/existing")" = keep ] || {
  echo "FAIL: soak --trace over an existing file gave $status and left '$(cat "$work/existing")'" >&2
  exit 1
}
echo "PASS: $(wc -l <"$work/trace1") traced calls, twice the same"
