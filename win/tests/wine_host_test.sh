#!/usr/bin/env bash
# Runs the real Holdout.dll under Wine in Host.exe and the stand-in script host, and checks
# Host.exe's report: the script registered before the keyboard handler, every frame starting
# with the four per-frame natives (argument 0, in order), the script unregistered before the
# keyboard handler, the plug-in reading time through the patched GetTickCount, and no faults.
# A second run taps the spawner-menu key to check key messages reach the plug-in. A third puts
# a Holdout.ini beside Host.exe that turns debug on, taps F2, and checks the line the plug-in
# appends to Holdout.log: the settings file found from the real executable path and read by the
# system's profile functions, the log written by the real C runtime (CRLF line ends). Last, two
# plug-ins reduced to their binding show that Host.exe tells a binding the game would load from
# one it would refuse.
# Usage: wine_host_test.sh BIN_DIR WINE_DIR PREFIX
set -euo pipefail
bin_dir=$1 wine_dir=$2 prefix=$3
source "$(dirname "$0")/wine_session.sh"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Runs Host.exe with the given options; its report lands in $report.
run_host() {
  local started=$SECONDS status=0
  report=$(cd "$bin_dir" && wine_run Host.exe "$@") || status=$?
  report=${report//$'\r'/}  # the C runtime writes CRLF line ends
  echo "Host.exe $* -> exit $status, $(wc -l <<<"$report") report lines, $((SECONDS - started)) s"
  [ "$status" -eq 0 ] || fail "Host.exe $* exited with $status"
  grep '^fault ' <<<"$report" && fail "faults reported"
  return 0
}

# Checks the load and unload events and the per-frame natives of a run of $1 frames.
check_lifecycle() {
  local frames=$1 events expected
  events=$(awk '$1 == "event" { print $2, $3 }' <<<"$report" | tr '\n' ';')
  expected="0 script-registered;0 keyboard-handler-registered;"
  expected+="$frames script-unregistered;$frames keyboard-handler-unregistered;"
  [ "$events" = "$expected" ] || fail "events were '$events', expected '$expected'"
  grep -qx "frames $frames" <<<"$report" || fail "the host did not run $frames frames"

  local per_frame wanted="" frame
  per_frame=$(awk '$1 == "call" && $3 ~ /^PerFrameCall/ { print $2, $3, $4 }' <<<"$report")
  for ((frame = 1; frame <= frames; ++frame)); do
    wanted+="$frame PerFrameCallA 0"$'\n'"$frame PerFrameCallB 0"$'\n'
    wanted+="$frame PerFrameCallC 0"$'\n'"$frame PerFrameCallD 0"$'\n'
  done
  [ "$per_frame"$'\n' = "$wanted" ] ||
    fail "per-frame natives differ from A, B, C, D with 0 in every frame"

  # From frame 2 on every frame begins with them (frame 1 first runs the script's set-up).
  local late
  late=$(awk -v want=" PerFrameCallA PerFrameCallB PerFrameCallC PerFrameCallD" '
    $1 == "call" && $2 >= 2 && ++n[$2] <= 4 { first[$2] = first[$2] " " $3 }
    END { for (f in first) if (first[f] != want) print f }' <<<"$report" | sort -n | xargs)
  [ -z "$late" ] || fail "frames $late do not begin with the four per-frame natives"

  local ticks
  ticks=$(awk '$1 == "ticks-read" { print $2 }' <<<"$report")
  [ "${ticks:-0}" -gt 0 ] || fail "the plug-in never read the patched GetTickCount"
}

run_host --frames 30
check_lifecycle 30

# The spawner-menu key (C, 0x43) released before frame 4 opens the first menu in that frame:
# menu text is drawn from frame 4 on and not before.
run_host --frames 8 --tap 4:0x43
check_lifecycle 8
first_text=$(awk '$1 == "call" && $3 == "DrawTextAt" { print $2; exit }' <<<"$report")
[ "${first_text:-none}" = 4 ] ||
  fail "menu text first drawn in frame ${first_text:-none}, expected 4"

# The settings file beside the executable and the log in the working directory.
rm -f "$bin_dir/Holdout.ini" "$bin_dir/Holdout.log"
printf '[Main]\r\nDebug=1\r\n' >"$bin_dir/Holdout.ini"
run_host --frames 6 --tap 4:0x71
rm -f "$bin_dir/Holdout.ini"
expected_log=$'{2700.00000,-1200.00000,48.00000}\r'
if [ ! -f "$bin_dir/Holdout.log" ]; then
  fail "F2 with Debug=1 in Holdout.ini wrote no Holdout.log"
elif [ "$(cat "$bin_dir/Holdout.log")" != "$expected_log" ]; then
  fail "Holdout.log holds '$(od -c "$bin_dir/Holdout.log" | head -3)'"
fi
rm -f "$bin_dir/Holdout.log"

# The binding to the host: a plug-in that imports the host's exported names loads; one that
# imports the GCC symbols, as a plug-in built without the host's names would, is refused with
# the loader's error naming the missing procedure.
binding_report=$(cd "$bin_dir" && wine_run Host.exe --plugin BindingProbe_host.dll --frames 0) ||
  fail "Host.exe refused BindingProbe_host.dll: $binding_report"
binding_status=0
binding_report=$(cd "$bin_dir" && wine_run Host.exe --plugin BindingProbe_gcc_symbol.dll \
                 --frames 0) || binding_status=$?
binding_report=${binding_report//$'\r'/}
echo "Host.exe --plugin BindingProbe_gcc_symbol.dll -> exit $binding_status"
[ "$binding_status" -eq 1 ] || fail "BindingProbe_gcc_symbol.dll gave exit $binding_status, not 1"
grep -q '^fault LoadLibraryA(BindingProbe_gcc_symbol.dll): .* imports _Z10scriptWaitm, .*error 127' \
  <<<"$binding_report" || fail "no loader error for _Z10scriptWaitm: $binding_report"
[ "$(grep -c '^fault LoadLibraryA' <<<"$binding_report")" -eq 9 ] ||
  fail "expected one loader error for each of the nine host functions: $binding_report"

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
