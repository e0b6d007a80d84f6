#!/usr/bin/env bash
# Runs `holdout doctor` (the Linux build, or holdout.exe under Wine) on game folders made from
# the built Holdout.dll and the stand-in script host: complete; a host that lacks the export
# worldGetAllPeds; a text file in place of the host; no host; a Holdout.dll cut short; a folder
# that does not exist. Checks each answer's message and exit code, and that doctor left every
# folder exactly as it found it. Exits 77 (skipped) when the DLLs have not been built.
# Usage: doctor_folders.sh native HOLDOUT HOLDOUT_DLL HOST_DLL
#        doctor_folders.sh wine WINE_DIR PREFIX HOLDOUT_EXE HOLDOUT_DLL HOST_DLL
set -euo pipefail
for last; do :; done
if [ ! -f "$last" ]; then
  echo "SKIP: no Windows build at $(dirname "$last")"
  exit 77
fi
source "$(dirname "$0")/holdout_runner.sh"
shift "$runner_arguments"
plugin=$1 host=$2
work=$(mktemp -d)
trap 'rm -rf "$work"; runner_stop' EXIT

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Names, sizes, times and contents of everything in a folder.
snapshot() {
  (cd "$work" && [ -e "$1" ] && find "$1" -exec stat -c '%n %s %Y %a' {} + | sort &&
    find "$1" -type f -exec md5sum {} + | sort) || true
}

# doctor FOLDER must exit with STATUS and say every TEXT.
expect() {
  local folder=$1 want=$2 output status=0 before
  shift 2
  before=$(snapshot "$folder")
  output=$(cd "$work" && run_holdout doctor "$folder") || status=$?
  echo "doctor $folder -> exit $status"
  local failed=$failures
  [ "$status" -eq "$want" ] || fail "doctor $folder exited with $status, expected $want"
  for text in "$@"; do
    grep -qF -- "$text" <<<"$output" || fail "doctor $folder did not say: $text"
  done
  [ "$(snapshot "$folder")" = "$before" ] || fail "doctor changed something in $folder"
  [ "$failures" -eq "$failed" ] || sed 's/^/  | /' <<<"$output"
}

make_folder() {
  mkdir "$work/$1"
  cp "$plugin" "$work/$1/Holdout.dll"
  cp "$host" "$work/$1/ScriptHookFrontier.dll"
}

make_folder complete
expect complete 0 "ScriptHookFrontier.dll: ok" "Holdout.dll: ok" "Holdout.ini: ok" \
  "Holdout.log: ok" "verdict: Holdout will load and work here"

make_folder old-host
perl -0777 -pe 's/worldGetAllPeds/worldGetAllPedX/g' "$host" >"$work/old-host/ScriptHookFrontier.dll"
cmp -s "$host" "$work/old-host/ScriptHookFrontier.dll" && fail "the host exports no worldGetAllPeds"
expect old-host 1 "ScriptHookFrontier.dll: PROBLEM" "it lacks " "worldGetAllPeds" \
  "the script host is older than Holdout needs, or is not the host Holdout was built for" \
  "verdict: Holdout will not load here"

make_folder text-host
printf 'This is not a library.\r\n' >"$work/text-host/ScriptHookFrontier.dll"
expect text-host 1 "ScriptHookFrontier.dll: PROBLEM" "it is a text file, not a Windows library"

make_folder no-host
rm "$work/no-host/ScriptHookFrontier.dll"
expect no-host 1 "ScriptHookFrontier.dll: PROBLEM" "it is not in this folder" \
  "verdict: Holdout will not load here"

make_folder cut-plugin
head -c "$(($(stat -c %s "$plugin") / 2))" "$plugin" >"$work/cut-plugin/Holdout.dll"
expect cut-plugin 1 "Holdout.dll: PROBLEM" "it is cut short" "verdict: Holdout will not load here"

expect no-such-folder 3

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
