#!/usr/bin/env bash
# The log's fallback with the real Holdout.asi under Wine. With Debug=1 in Holdout.ini and F2
# tapped, in a game folder that refuses Holdout.log, the position lands in
# %LOCALAPPDATA%\Holdout\Holdout.log (the prefix's own, which Wine sets whatever the Unix
# environment holds) with "Position saved!" on the screen; with that folder refusing too, the
# banner says the position was not saved and no line is written anywhere. The game folder is
# made read-only, as Program Files is for a standard user; root, whom Unix permissions do not
# stop, meets a folder in Holdout.log's place instead, and a file in the place of the fallback's
# Holdout folder.
# Usage: log_fallback_test.sh BUILD_DIR BIN_DIR WINE_DIR PREFIX
set -euo pipefail
build=$1 bin_dir=$2 wine_dir=$3 prefix=$4
source "$(dirname "$0")/wine_session.sh"
source "$(dirname "$0")/game_folder.sh"
work=$(mktemp -d)
game=$work/game
local_app_data=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local
fallback=$local_app_data/Holdout
cleanup() {
  chmod -R u+w "$work"
  rm -rf "$work" "$fallback"
  wine_session_stop
}
trap cleanup EXIT
make_game_folder "$build" "$bin_dir" "$game"
printf '[Main]\r\nDebug=1\r\n' >"$game/Holdout.ini"
rm -rf "$fallback"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Taps F2 in frame 4 of six; the report lands in $report.
capture() {
  report=$(cd "$game" && wine_run Host.exe --frames 6 --tap 4:0x71) || fail "Host.exe failed"
  report=${report//$'\r'/}
  grep '^fault ' <<<"$report" && fail "faults reported"
  return 0
}

chmod a-w "$game"
if touch "$game/.writable" 2>/dev/null; then
  rm -f "$game/.writable"
  echo "(run as root: a folder in Holdout.log's place refuses the log)"
  chmod u+w "$game"
  mkdir "$game/Holdout.log"
  chmod a-w "$game"
fi

capture
expected=$'{2700.00000,-1200.00000,48.00000}\r'
[ "$(cat "$fallback/Holdout.log" 2>/dev/null)" = "$expected" ] ||
  fail "the position is not in %LOCALAPPDATA%\\Holdout\\Holdout.log"
grep -q '^text [0-9]* Position saved!$' <<<"$report" || fail "the capture did not say it saved"
[ ! -f "$game/Holdout.log" ] || fail "a Holdout.log appeared in the refusing game folder"

# The fallback refuses too: a file where its Holdout folder would be.
rm -rf "$fallback"
touch "$fallback"
capture
grep -q '^text [0-9]* Position not saved: Holdout.log cannot be written$' <<<"$report" ||
  fail "with both refusing, the capture did not say the position was not saved"
grep -q '^text [0-9]* Position saved!$' <<<"$report" && fail "it said 'Position saved!'"
[ -f "$fallback" ] || fail "the file in the fallback folder's place was changed"
rm -f "$fallback"

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
