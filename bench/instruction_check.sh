#!/usr/bin/env bash
# The instruction check: counts, with callgrind, the instructions one frame of the plug-in runs
# in each state of bench/plugin_states.h, and fails when any state rises more than 2 % above its
# line in the baseline. Only the plug-in's own source files count (the files under SOURCE-DIR,
# their inlined code included), so the simulated host's natives and the C and C++ runtimes are
# left out; "menu-caption-copies" counts instead everything that one open-menu frame's caption
# copies run, the runtime's string copies and heap included, which the menu rows' by-value
# GetCaption makes the menu pay. A count does not move with the machine's load, as a time does.
#
#   instruction_check.sh PROGRAM BASELINE SOURCE-DIR [--update]
#
# PROGRAM is holdout_frame_instructions; --update writes the counts measured now as BASELINE (a
# commit that moves the baseline says why).
set -euo pipefail

if [ $# -lt 3 ]; then
  echo "usage: $0 PROGRAM BASELINE SOURCE-DIR [--update]" >&2
  exit 2
fi
program=$1
baseline=$2
source_dir=$(cd "$3" && pwd)
update=${4:-}
frames=2000
tolerance_percent=2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Instructions per frame of STATE, to one decimal.
count_state() {
  local state=$1 out=$work/callgrind.$1
  valgrind --tool=callgrind --collect-atstart=no --toggle-collect=HoldoutCountedFrames \
    --callgrind-out-file="$out" "$program" "$state" "$frames" >"$work/log" 2>&1 || {
    cat "$work/log" >&2
    echo "instruction check: $program $state failed" >&2
    return 1
  }
  # Each line of callgrind_annotate's table reads "COUNT (PERCENT)  FILE:FUNCTION", the file
  # being where the instructions' source lines are, inlined ones included.
  local all=0
  [ "$state" = menu-caption-copies ] && all=1
  callgrind_annotate --inclusive=no --threshold=100 --auto=no "$out" 2>/dev/null |
    awk -v source="$source_dir/" -v frames="$frames" -v all="$all" '
      /PROGRAM TOTALS/ { total = $1; gsub(",", "", total) }
      /^ *[0-9,]+ \( *[0-9.]+%\)  / && match($0, /%\)  /) {
        if (index(substr($0, RSTART + 4), source) == 1) {
          count = $1; gsub(",", "", count); own += count
        }
      }
      END { printf "%.1f\n", (all ? total : own) / frames }'
}

declare -A measured
states=$("$program" --states)
for state in $states; do
  measured[$state]=$(count_state "$state")
done

if [ "$update" = "--update" ]; then
  {
    echo "# Instructions per frame by state, counted by bench/instruction_check.sh: the plug-in's"
    echo "# own source files only, but for menu-caption-copies, which counts the copies in full."
    echo "# The check fails when a state rises more than $tolerance_percent % above its line; a commit"
    echo "# that moves a line says why."
    for state in $states; do
      echo "$state ${measured[$state]}"
    done
  } >"$baseline"
  echo "instruction check: wrote $baseline"
  exit 0
fi

failed=0
printf '%-22s %12s %12s %8s\n' state baseline now change
for state in $states; do
  expected=$(awk -v state="$state" '$1 == state { print $2 }' "$baseline")
  if [ -z "$expected" ]; then
    echo "instruction check: $baseline has no line for $state" >&2
    failed=1
    continue
  fi
  verdict=$(awk -v now="${measured[$state]}" -v base="$expected" -v limit="$tolerance_percent" '
    BEGIN {
      change = base > 0 ? (now - base) * 100 / base : 0
      printf "%+7.1f%%%s", change, (now > base * (1 + limit / 100) ? "  ABOVE THE BASELINE" : "")
    }')
  printf '%-22s %12s %12s %s\n' "$state" "$expected" "${measured[$state]}" "$verdict"
  case $verdict in *ABOVE*) failed=1 ;; esac
done
if [ "$failed" -ne 0 ]; then
  echo "instruction check: a frame costs more than its baseline allows; make it cheaper, or move"
  echo "the baseline ($0 $program $baseline $3 --update) in a commit that says why"
  exit 1
fi
