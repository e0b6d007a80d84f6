#!/usr/bin/env bash
# Runs the real Holdout.asi under Wine as a player's game folder holds it: the player package
# installed beside the stand-in script host, its plug-in loader dinput8.dll and Host.exe in place
# of the game, which loads the loader, which loads every *.asi of the folder. Checks Host.exe's
# report: the script registered before the keyboard handler, every frame starting with the four
# per-frame natives (argument 0, in order), the script unregistered before the keyboard handler,
# the plug-in reading time through the patched GetTickCount, and no faults. A second run taps
# the spawner-menu key to check key messages reach the plug-in. A third puts a Holdout.ini that
# turns debug on in place of the shipped one, taps F2, and checks the line the plug-in appends
# to Holdout.log: the settings file found from the real executable path and read by the
# system's profile functions, the log written by the real C runtime (CRLF line ends); and the
# same in a folder named in Chinese and in one whose Holdout.ini has a path past MAX_PATH, read
# through a copy in the temp folder that is deleted again; and with Holdout.asi in scripts\,
# where the loader finds it after the game folder. Then what
# the loader does with other folders: a plug-in shipped as Holdout.dll is never loaded, a broken
# .asi beside the good one does not stop it, and without the override Wine loads its own
# dinput8.dll and no plug-in at all. Then two plug-ins reduced to their binding show that
# Host.exe tells a binding the game would load from one it would refuse. Last, the game quits
# by ExitProcess with the plug-in loaded, and the plug-in calls nothing of the host's then.
# Usage: wine_host_test.sh BUILD_DIR BIN_DIR WINE_DIR PREFIX
set -euo pipefail
build=$1 bin_dir=$2 wine_dir=$3 prefix=$4
source "$(dirname "$0")/wine_session.sh"
source "$(dirname "$0")/game_folder.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"; wine_session_stop' EXIT
game=$work/game
make_game_folder "$build" "$bin_dir" "$game"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Runs Host.exe of the game folder with the given options; its report lands in $report.
run_host() {
  local started=$SECONDS status=0
  report=$(cd "$game" && wine_run Host.exe "$@") || status=$?
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
grep -qx 'loader loaded Holdout.asi' <<<"$report" || fail "the loader did not load Holdout.asi"

# The spawner-menu key (C, 0x43) released before frame 4 opens the first menu in that frame:
# menu text is drawn from frame 4 on and not before.
run_host --frames 8 --tap 4:0x43
check_lifecycle 8
first_text=$(awk '$1 == "call" && $3 == "DrawTextAt" { print $2; exit }' <<<"$report")
[ "${first_text:-none}" = 4 ] ||
  fail "menu text first drawn in frame ${first_text:-none}, expected 4"

# The settings file beside the executable and the log in the working directory.
rm -f "$game/Holdout.log"
printf '[Main]\r\nDebug=1\r\n' >"$game/Holdout.ini"
run_host --frames 6 --tap 4:0x71
expected_log=$'{2700.00000,-1200.00000,48.00000}\r'
if [ ! -f "$game/Holdout.log" ]; then
  fail "F2 with Debug=1 in Holdout.ini wrote no Holdout.log"
elif [ "$(cat "$game/Holdout.log")" != "$expected_log" ]; then
  fail "Holdout.log holds '$(od -c "$game/Holdout.log" | head -3)'"
fi
rm -f "$game/Holdout.log"

# Runs the game of FOLDER by its full path from the working directory WORKING (where the log
# goes), taps F2 with Debug=1 in its Holdout.ini, and checks the logged position: the setting
# took effect. Checks too that no copy of Holdout.ini is left in the prefix's temp folders.
expect_debug_setting_read() {
  local folder=$1 working=$2 what=$3 output
  mkdir -p "$working"
  rm -f "$working/Holdout.log"
  output=$(cd "$working" && wine_run "$folder/Host.exe" --frames 6 --tap 4:0x71) || true
  output=${output//$'\r'/}
  grep -q '^event 6 script-unregistered' <<<"$output" || fail "Host.exe $what did not run: $output"
  grep '^fault ' <<<"$output" && fail "faults reported $what"
  [ "$(cat "$working/Holdout.log" 2>/dev/null)" = "$expected_log" ] ||
    fail "the plug-in missed Holdout.ini (Debug=1) $what"
  local left
  left=$(find "$WINEPREFIX/drive_c/users" -iname 'hol*.tmp' | wc -l)
  [ "$left" -eq 0 ] || fail "$left copies of Holdout.ini left in the temp folder $what"
}

# The same game in a folder named in Chinese, outside Wine's ANSI code page (1252 here): the
# plug-in opens the folder's own wide path.
chinese="$work/游戏 Spiel"
cp -r "$game" "$chinese"
expect_debug_setting_read "$chinese" "$chinese" "in a folder named in Chinese"

# The same game in a folder whose Holdout.ini has a path of more than 300 characters, which the
# profile functions do not open: the plug-in reads a copy it makes in the temp folder, also of a
# read-only file, and deletes it. Wine cannot enter a working directory that long, so the game
# runs by its full path from a shorter one.
deep="$work/deep"
while [ $(("${#deep}" + 2 + 12)) -le 300 ]; do
  deep+="/$(printf 'Level%.0s' {1..10})"
done
mkdir -p "$(dirname "$deep")"
cp -r "$game" "$deep"
chmod 444 "$deep/Holdout.ini"
echo "Holdout.ini at a path of $(("${#deep}" + 2 + 12)) characters under Wine"
expect_debug_setting_read "$deep" "$work/deep-run" "in a folder past MAX_PATH"

# Holdout.asi in scripts\: the loader finds it there after the game folder, and the plug-in
# reads Holdout.ini beside the game's executable, not beside itself.
scripts="$work/scripts-game"
cp -r "$game" "$scripts"
mkdir "$scripts/scripts"
mv "$scripts/Holdout.asi" "$scripts/scripts/"
expect_debug_setting_read "$scripts" "$scripts" "with Holdout.asi in scripts\\"
loaded=$(cd "$scripts" && wine_run Host.exe --frames 1 | tr -d '\r' | grep '^loader') || true
[ "$loaded" = 'loader loaded scripts\Holdout.asi' ] ||
  fail "the loader did not load scripts\\Holdout.asi alone: $loaded"

# A broken .asi beside the good one: the loader reports it with the system's error and goes on.
printf 'not a library\r\n' >"$game/Broken.asi"
run_host --frames 3
check_lifecycle 3
grep -q '^loader failed Broken.asi: error 193 ' <<<"$report" ||
  fail "no loader error for Broken.asi: $(grep '^loader' <<<"$report")"
rm "$game/Broken.asi"

# Host.exe of FOLDER with the given options must exit 1 and report TEXT; its report lands in
# $refusal.
expect_refusal() {
  local folder=$1 text=$2 status=0
  shift 2
  refusal=$(cd "$folder" && wine_run Host.exe "$@") || status=$?
  refusal=${refusal//$'\r'/}
  echo "Host.exe in $(basename "$folder") -> exit $status"
  [ "$status" -eq 1 ] || fail "Host.exe in $folder gave exit $status, not 1"
  grep -qF -- "$text" <<<"$refusal" || fail "Host.exe in $folder did not say '$text': $refusal"
  return 0
}

# The plug-in under the name of an ordinary DLL: no loader picks it up.
make_game_folder "$build" "$bin_dir" "$work/dll-only"
mv "$work/dll-only/Holdout.asi" "$work/dll-only/Holdout.dll"
expect_refusal "$work/dll-only" "fault no plug-in was loaded" --frames 1

# Without the override Wine loads its own dinput8.dll, and that loads no plug-in.
WINEDLLOVERRIDES="mscoree,mshtml=" expect_refusal "$game" "is the system's library" --frames 1

# The binding to the host: a plug-in that imports the host's exported names loads; one that
# imports the GCC symbols, as a plug-in built without the host's names would, is refused with
# the loader's error naming the missing procedure.
for binding in host gcc_symbol; do
  make_game_folder "$build" "$bin_dir" "$work/binding-$binding"
  rm "$work/binding-$binding/Holdout.asi"
  cp "$bin_dir/BindingProbe_$binding.asi" "$work/binding-$binding/"
done
binding_report=$(cd "$work/binding-host" && wine_run Host.exe --frames 0) ||
  fail "Host.exe refused BindingProbe_host.asi: $binding_report"
expect_refusal "$work/binding-gcc_symbol" \
  "fault LoadLibrary(BindingProbe_gcc_symbol.asi): BindingProbe_gcc_symbol.asi imports _Z10scriptWaitm," \
  --frames 0
[ "$(grep -c '^fault LoadLibrary(.*error 127' <<<"$refusal")" -eq 9 ] ||
  fail "expected one loader error for each of the nine host functions: $refusal"

# The game quits while the plug-in is loaded: ExitProcess detaches it with the process-exit
# reason, after which it must call no host function (the host reports any such call as a fault
# line as it happens) and withdraw nothing.
run_host --frames 5 --exit
grep -qx 'exit-process' <<<"$report" || fail "Host.exe --exit did not reach ExitProcess"
exit_events=$(awk '$1 == "event" { print $3 }' <<<"$report" | tr '\n' ' ')
[ "$exit_events" = "script-registered keyboard-handler-registered " ] ||
  fail "events before the process exit were '$exit_events'"

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
