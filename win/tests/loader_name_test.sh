#!/usr/bin/env bash
# Holds doctor's verdicts on a plug-in loader under a system library's name to what Wine does
# with the game. VersionUser.exe, standing in for a game that imports version.dll and calls it as
# it starts (and never loads dinput8.dll), is run as Game.exe under Wine beside Holdout.asi, the
# stand-in host and the stand-in loader under each of the names version.dll, dinput8.dll,
# winmm.dll, dsound.dll, xinput1_3.dll and d3d11.dll, with Wine told to prefer the folder's copy;
# and beside the prefix's own winmm.dll, copied into the folder. The Linux doctor (reading the
# same prefix's system folder) and holdout.exe under Wine judge each folder. Wherever the game did
# not start or the loader loaded no plug-in, doctor must not say that Holdout will load without a
# condition; wherever it says so with a condition, the game must not have loaded it; and each
# case's own words are checked.
# Usage: loader_name_test.sh GAME LOADER HOLDOUT HOLDOUT_EXE PLUGIN HOST OUT WINE_DIR PREFIX
set -euo pipefail
game=$1 loader=$2 holdout=$3 holdout_exe=$4 plugin=$5 host=$6 out=$7 wine_dir=$8 prefix=$9
source "$(dirname "$0")/wine_session.sh"
overrides=$WINEDLLOVERRIDES

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# A folder CASE with the game, the plug-in and the host, and FILE under the name NAME.
make_case() {
  mkdir -p "$out/$1"
  cp "$game" "$out/$1/Game.exe"
  cp "$plugin" "$out/$1/Holdout.asi"
  cp "$host" "$out/$1/ScriptHookFrontier.dll"
  cp "$2" "$out/$1/$3"
}

# Judges the folder CASE (loader NAME) with both doctors and runs its game; then checks that
# every doctor's report says each TEXT, and agrees with the run.
check_case() {
  local case=$1 name=$2 stem=${2%.dll} report ran
  shift 2
  ran=$( (cd "$out/$case" && WINEDLLOVERRIDES="$overrides;$stem=n,b" wine_run Game.exe 2>/dev/null) |
    tr -d '\r' || true)
  local loaded=no started=no
  grep -q "^loader loaded Holdout.asi" <<<"$ran" && loaded=yes
  grep -qx started <<<"$ran" && started=yes
  for doctor in linux windows; do
    if [ "$doctor" = linux ]; then
      report=$("$holdout" doctor "$out/$case" 2>&1 || true)
    else
      report=$(wine_run "$holdout_exe" doctor "$out/$case" 2>&1 | tr -d '\r' || true)
    fi
    local verdict loader_line
    verdict=$(grep '^verdict: ' <<<"$report" || true)
    loader_line=$(grep "^plug-in loader $name: " <<<"$report" || true)
    echo "$case ($doctor doctor): '${loader_line:0:100}'; '$verdict'; Wine: plug-in loaded $loaded, game started $started"
    local failed=$failures
    if [[ $verdict == "verdict: Holdout will load"* && $verdict != *" if the game loads "* ]] &&
      [ "$loaded$started" != yesyes ]; then
      fail "$case: $doctor doctor says Holdout will load, but under Wine it did not"
    fi
    if [[ $verdict == *" if the game loads $name"* ]] && [ "$loaded" = yes ]; then
      fail "$case: $doctor doctor makes a condition of what the game's files show"
    fi
    grep -q "check in the game: press C, and the EXPLOSIVES menu appears" <<<"$report" ||
      fail "$case: $doctor doctor names no check in the game"
    for text in "$@"; do
      grep -qF -- "$text" <<<"$report" || fail "$case: $doctor doctor did not say: $text"
    done
    [ "$failures" -eq "$failed" ] || sed 's/^/  | /' <<<"$report"
  done
}

rm -rf "$out"
mkdir -p "$out"
# Wine's first program starts Wine's own services; they start here, with nothing captured.
wine_run "$holdout_exe" --version >/dev/null 2>&1

make_case version "$loader" version.dll
check_case version version.dll "plug-in loader version.dll: PROBLEM" \
  "it lacks functions Game.exe imports from version.dll (GetFileVersionInfo" \
  "verdict: Holdout will not load here"
make_case dinput8 "$loader" dinput8.dll
check_case dinput8 dinput8.dll "plug-in loader dinput8.dll: ok, it looks like a plug-in loader" \
  "it exports all 5 functions of the system's own dinput8.dll" \
  "verdict: Holdout will load and work here if the game loads dinput8.dll"
for name in winmm dsound xinput1_3 d3d11; do
  make_case "$name" "$loader" "$name.dll"
  check_case "$name" "$name.dll" "plug-in loader $name.dll: PROBLEM" \
    "functions the system's own $name.dll exports (" \
    "and the game stops at the first call of one" "verdict: Holdout will not load here"
done
make_case system-winmm "$WINEPREFIX/drive_c/windows/system32/winmm.dll" winmm.dll
check_case system-winmm winmm.dll "plug-in loader winmm.dll: PROBLEM" \
  "it is not a plug-in loader: it is the system's own winmm.dll, the same bytes as the copy in" \
  "delete this winmm.dll"

if [ "$failures" -eq 0 ]; then
  rm -rf "$out"
  echo "doctor and Wine agree on every loader"
fi
[ "$failures" -eq 0 ]
