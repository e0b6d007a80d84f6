#!/usr/bin/env bash
# holdout.exe under Wine as players start it on Windows: a game folder named in Chinese (outside
# the ANSI code page) with a space in its name, given as one argument; the same path as cmd
# leaves "...\Game\" (a trailing quote); the path unquoted, in pieces, which gets the hint to
# quote it; a game folder whose path is longer than MAX_PATH, whose settings file is read through
# a copy in the temp folder, and the same with no temp folder to copy it to; a double-click (holdout.exe alone
# on a console of its own, no arguments), which checks its own folder and waits for Enter; and
# the usage, which offers what players use and not the developer's commands.
# Usage: command_line_test.sh WINE_DIR PREFIX HOLDOUT_EXE PLUGIN HOST_DLL LOADER_DLL GAME_EXE
set -euo pipefail
wine_dir=$1 prefix=$(realpath "$2") holdout_exe=$(realpath "$3") plugin=$4 host=$5 loader=$6 game=$7
source "$(dirname "$0")/wine_session.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"; wine_session_stop' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# A complete game folder at the path (relative to $work), with a settings file.
make_folder() {
  mkdir -p "$work/$1"
  cp "$game" "$work/$1/Game.exe"
  cp "$plugin" "$work/$1/Holdout.asi"
  cp "$host" "$work/$1/ScriptHookFrontier.dll"
  cp "$loader" "$work/$1/dinput8.dll"
  printf '[Main]\r\nMaxEnemies=100\r\n' >"$work/$1/Holdout.ini"
}

# holdout.exe ARGS... run in $work must exit with STATUS and say every TEXT (stdout and stderr).
expect() {
  local want=$1 output status=0
  shift
  local -a arguments=()
  while [ "$1" != -- ]; do
    arguments+=("$1")
    shift
  done
  shift
  output=$(cd "$work" && wine_run "$holdout_exe" "${arguments[@]}" 2>&1) || status=$?
  output=${output//$'\r'/}
  echo "holdout.exe ${arguments[*]:0:2}... -> exit $status"
  local failed=$failures
  [ "$status" -eq "$want" ] || fail "holdout.exe ${arguments[*]} exited with $status, not $want"
  for text in "$@"; do
    grep -qF -- "$text" <<<"$output" || fail "holdout.exe ${arguments[*]} did not say: $text"
  done
  [ "$failures" -eq "$failed" ] || sed 's/^/  | /' <<<"$output"
}

# Wine's first program starts Wine's own services, which would hold a captured stderr open
# until they end: they start here, with nothing captured.
wine_run "$holdout_exe" --version >/dev/null 2>&1
chinese="游戏 文件夹"
make_folder "$chinese"
expect 0 doctor "$chinese" -- "$chinese" "Holdout.ini: ok" \
  "verdict: Holdout will load and work here"
expect 0 doctor "$chinese\\\"" -- "verdict: Holdout will load and work here"
expect 2 doctor 游戏 文件夹 -- "quotes, as in: holdout doctor \"$chinese\""
expect 2 check-ini 游戏 文件夹\\Holdout.ini -- \
  "quotes, as in: holdout check-ini \"$chinese\\Holdout.ini\""

# More than MAX_PATH (260) characters from the drive letter on.
long="$chinese"
while [ $(((${#work} + ${#long}) < 300)) -eq 1 ]; do
  long+="/$(printf 'Level%.0s' {1..10})"
done
make_folder "$long"
windows_long=${long//\//\\}
echo "a folder of $((${#work} + ${#long} + 2)) characters"
expect 0 doctor "$windows_long" -- "Holdout.asi: ok" "Holdout.ini: ok" \
  "so Holdout reads a copy of it that it makes in the temp folder, C:\\users\\" \
  "verdict: Holdout will load and work here"
expect 0 check-ini "$windows_long\\Holdout.ini" -- "$windows_long\\Holdout.ini, as the plug-in" \
  "MaxEnemies             = 100"

# The same where that copy cannot be made: TMP, where Windows takes the temp folder from, names
# a folder that does not exist. Wine sets TMP itself for a program started from Linux, so a
# batch file sets it (cmd reads the file in the ANSI code page: the folder's path is ASCII).
plain_long="Plain"
while [ $(((${#work} + ${#plain_long}) < 300)) -eq 1 ]; do
  plain_long+="/$(printf 'Level%.0s' {1..10})"
done
make_folder "$plain_long"
printf '@set TMP=C:\\no-such-folder\r\n@"Z:%s" doctor "%s"\r\n' "${holdout_exe//\//\\}" \
  "${plain_long//\//\\}" >"$work/no-temp.cmd"
status=0
output=$(cd "$work" && wine_run cmd /c no-temp.cmd 2>&1) || status=$?
output=${output//$'\r'/}
echo "holdout.exe doctor with TMP missing -> exit $status"
[ "$status" -eq 1 ] || fail "doctor with TMP missing exited with $status, not 1"
for text in "Holdout.ini: PROBLEM" "so Holdout reads a copy of it that it makes in the temp folder" \
  "but the temp folder C:\\no-such-folder\\ does not exist, so every setting takes its default" \
  "or set the TMP variable to a folder you can write to" "verdict:"; do
  grep -qF -- "$text" <<<"$output" || fail "doctor with TMP missing did not say: $text"
done
grep -q "will load and work here" <<<"$output" && fail "doctor with TMP missing said all is well"

usage=$(wine_run "$holdout_exe" --help) || fail "holdout.exe --help failed"
for word in check-ini doctor --version help; do
  grep -qwF -- "$word" <<<"$usage" || fail "the usage does not offer $word: $usage"
done
if grep -qwE 'demo|play|soak' <<<"$usage"; then
  fail "the usage offers developer commands: $usage"
fi

# A double-click: the console is holdout.exe's own (a terminal Wine makes one console of), no
# arguments. Enter (a carriage return) is typed every half second until it is taken: the
# terminal turns a CR into a line feed until Wine's console has it in raw mode. The console's
# drawing moves the cursor between words, so words are compared.
cp "$holdout_exe" "$work/$chinese/"
clicked=$(cd "$work" && (for _ in {1..120}; do sleep 0.5; printf '\r'; done 2>/dev/null) |
  timeout 60 script -qec "'$wine_dir/wine64' '$work/$chinese/holdout.exe'" /dev/null |
  sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' | tr -d '\r ') || true
for words in "verdict:Holdoutwillloadandworkhere" "PressEntertoclosethiswindow."; do
  grep -qF "$words" <<<"$clicked" || fail "the double-click did not say '$words': $clicked"
done

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
