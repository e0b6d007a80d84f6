#!/usr/bin/env bash
# Runs every command the player's guide shows, exactly as written but for the game folder's path
# and holdout.exe's name: on a folder with a settings file, each gives a report and an exit code
# that is a verdict (0 or 1), not bad usage; the "Asking for help" commands, those for a command
# prompt and those PowerShell hands to one (cmd /c '...'), on a folder that cannot be read give
# a report that is not empty; and the Wine override line hands Wine the override the guide
# names.
# Usage: guide_commands.sh HOLDOUT GUIDE INI
set -euo pipefail
holdout=$(realpath "$1")
guide=$2
ini=$3
work=$(mktemp -d)
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The guide's commands in the shell: holdout.exe is the built command, the example folder the
# test's, and its backslashes slashes.
mapfile -t commands < <(grep -E '^ +holdout\.exe ' "$guide" | sed -E 's/^ +//')
[ "${#commands[@]}" -ge 4 ] || fail "found only ${#commands[@]} commands in the guide"
# What PowerShell hands the command prompt: the text between cmd /c's single quotes.
mapfile -t handed < <(grep -E "^ +cmd /c '.*'\$" "$guide" | sed -E "s/^ +cmd \/c '(.*)'\$/\1/")
[ "${#handed[@]}" -ge 2 ] || fail "found only ${#handed[@]} PowerShell commands in the guide"
as_run() { # COMMAND FOLDER [HOLDOUT]
  local line=${1//\\//}
  line=${line//C:\/path\/to\/the game/$2}
  printf '%s\n' "${line/holdout.exe/\"${3:-$holdout}\"}"
}

mkdir "$work/game"
cp "$ini" "$work/game/Holdout.ini"
for command in "${commands[@]}"; do
  status=0
  (cd "$work" && eval "$(as_run "$command" "$work/game")" >"$work/out" 2>&1) || status=$?
  echo "$command -> exit $status"
  [ "$status" -le 1 ] || fail "$command exits with $status"
  if [[ $command != *holdout-report.txt* ]] && [ ! -s "$work/out" ]; then
    fail "$command says nothing"
  fi
done
[ -s "$work/holdout-report.txt" ] || fail "the help commands wrote no report"

# A folder closed to its user: both commands must still say so in the report. No permission
# stops root, so root runs them as an unprivileged user (nobody) where it can: a copy of the
# command in the test's folder, since the build's own may lie where only root can enter (a
# checkout in root's home, or in a folder of mktemp -d), probed as the commands then run, in
# bash in the test's folder. Failing that, the folder that cannot be read is one that does not
# exist.
mkdir "$work/closed"
chmod 000 "$work/closed"
as_player=()
player_holdout=$holdout
if [ "$(id -u)" -eq 0 ]; then
  chmod 777 "$work"
  mkdir -m 755 "$work/player-bin"
  install -m 755 "$holdout" "$work/player-bin/holdout"
  nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  if (cd "$work" && "${nobody[@]}" bash -c '"$0" --version' "$work/player-bin/holdout") \
    >/dev/null 2>&1; then
    as_player=("${nobody[@]}")
    player_holdout=$work/player-bin/holdout
    echo "(run as root: the closed folder is read as the user nobody)"
  else
    rmdir "$work/closed"
    echo "(run as root: the folder that cannot be read is one that does not exist)"
  fi
fi
for shell in "command prompt" PowerShell; do
  rm -f "$work/holdout-report.txt"
  if [ "$shell" = PowerShell ]; then
    report_commands=("${handed[@]}")
  else
    report_commands=()
    for command in "${commands[@]}"; do
      [[ $command == *holdout-report.txt* ]] && report_commands+=("$command")
    done
  fi
  for command in "${report_commands[@]}"; do
    (cd "$work" && "${as_player[@]}" bash -c "$(as_run "$command" "$work/closed" "$player_holdout")") ||
      true
  done
  echo "report of the $shell commands on a folder that cannot be read:"
  cat "$work/holdout-report.txt" 2>/dev/null || true
  grep -q "^doctor: cannot read" "$work/holdout-report.txt" ||
    fail "doctor's message is not in the $shell commands' report"
  grep -q "^check-ini: cannot read" "$work/holdout-report.txt" ||
    fail "check-ini's message is not in the $shell commands' report"
done

# check-ini says everything on standard output, its exit code the result.
said=$("${as_player[@]}" "$player_holdout" check-ini "$work/closed" 2>/dev/null) &&
  fail "check-ini read a closed folder"
[ -n "$said" ] || fail "check-ini said nothing on standard output of a folder it cannot read"
said=$("$holdout" check-ini one two 2>/dev/null) || [ $? -eq 2 ] || fail "bad usage is not exit 2"
[ -n "$said" ] || fail "check-ini said nothing on standard output of bad usage"

# The terminal's Wine line hands Wine the override: a stand-in wine prints what it was given.
mkdir "$work/bin"
printf '#!/bin/sh\necho "$WINEDLLOVERRIDES $*"\n' >"$work/bin/wine"
chmod +x "$work/bin/wine"
wine_line=$(grep -E '^ +WINEDLLOVERRIDES=.* wine ' "$guide" | sed -E 's/^ +//')
given=$(
  export PATH="$work/bin:$PATH"
  eval "$wine_line"
)
[ "$given" = "dinput8=n,b Game.exe" ] || fail "the Wine line gives Wine '$given'"

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
