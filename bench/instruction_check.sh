#!/usr/bin/env bash
# The instruction check: counts, with callgrind, the instructions one frame of the plug-in runs
# in each state of bench/plugin_states.h, and fails when any state rises more than 2 % above its
# line in the baseline. A frame counts everything it runs, the C and C++ runtimes included, but
# the host's natives and the simulation: callgrind skips the host functions the plug-in calls
# and the world's step, and the host's round trip, counted in frames of a script that only
# waits, is taken away. So work the plug-in hands to the runtime (a formatted number, a copied
# string) counts as the plug-in's. "menu-caption-copies" counts instead everything that one
# open-menu frame's caption copies run, which the menu rows' by-value GetCaption makes the menu
# pay. A count does not move with the machine's load, as a time does.
#
#   instruction_check.sh PROGRAM BASELINE [--update]
#
# PROGRAM is holdout_frame_instructions; --update writes the counts measured now as BASELINE (a
# commit that moves the baseline says why).
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 PROGRAM BASELINE [--update]" >&2
  exit 2
fi
program=$1
baseline=$2
update=${3:-}
frames=2000
tolerance_percent=2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# What callgrind does not count inside the frames: the host functions the plug-in calls (the
# script host's and the Win32 functions that answer within a frame) and the world's step. Each
# toggles counting off on entry and back on at its return. Outside the counted frames the same
# toggle turns counting on inside them: the state's set-up makes those calls alike in the
# plug-in's run and in the waiting one, so what they add there cancels out.
skipped=()
for function in 'nativeInit(*' 'nativePush64(*' 'nativeCall(*' 'worldGetAllPeds(*' \
  GetTickCount 'sim::World::Advance(*'; do
  skipped+=("--toggle-collect=$function")
done

# All instructions counted in FRAMES frames of STATE, given callgrind's further options (before
# a "--") and the program's.
count_run() {
  local state=$1 out=$work/callgrind.$1 options=()
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    options+=("$1")
    shift
  done
  shift
  valgrind --tool=callgrind --collect-atstart=no --toggle-collect=HoldoutCountedFrames \
    "${options[@]}" --callgrind-out-file="$out" "$program" "$state" "$frames" "$@" \
    >"$work/log" 2>&1 || {
    cat "$work/log" >&2
    echo "instruction check: $program $state $* failed" >&2
    return 1
  }
  callgrind_annotate --threshold=100 --auto=no "$out" 2>/dev/null |
    awk '/PROGRAM TOTALS/ { total = $1; gsub(",", "", total); print total }'
}

# Instructions per frame of STATE, to one decimal: the plug-in's frames less the host's round
# trip.
count_state() {
  local state=$1 frame waited=0
  if [ "$state" = menu-caption-copies ]; then
    frame=$(count_run "$state" --)
  else
    frame=$(count_run "$state" "${skipped[@]}" --)
    waited=$(count_run "$state" "${skipped[@]}" -- --waiting)
  fi
  awk -v frame="$frame" -v waited="$waited" -v frames="$frames" \
    'BEGIN { printf "%.1f\n", (frame - waited) / frames }'
}

declare -A measured
states=$("$program" --states)
for state in $states; do
  measured[$state]=$(count_state "$state")
done

if [ "$update" = "--update" ]; then
  {
    echo "# Instructions per frame by state, counted by bench/instruction_check.sh: everything a"
    echo "# frame runs but the host's natives; for menu-caption-copies, the copies in full."
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
  echo "the baseline ($0 $program $baseline --update) in a commit that says why"
  exit 1
fi
