#!/usr/bin/env bash
# Runs `holdout doctor` (the Linux build, or holdout.exe under Wine) on game folders made from
# the built Holdout.asi, the stand-in script host and its plug-in loader, and the stand-in game's
# program: complete; the plug-in under the name Holdout.dll; no plug-in loader; a host that lacks
# the export worldGetAllPeds; a host whose export ordinal table points past the end of the file;
# a text file in place of the host; no host; a Holdout.asi cut short; a folder that does not
# exist; the mistakes players make beside a sound install (no game program, the unpacked package
# below the game, Holdout.asi or Holdout.ini one level down, copies saved under near names); a
# folder named in Chinese; and a folder no file can be created in (under Wine, or for a user
# other than root). Checks each answer's message and exit code, and that doctor left every
# folder exactly as it found it. Exits 77 (skipped) when the Windows build has not been made.
# Usage: doctor_folders.sh native HOLDOUT PLUGIN HOST_DLL LOADER_DLL GAME_EXE
#        doctor_folders.sh wine WINE_DIR PREFIX HOLDOUT_EXE PLUGIN HOST_DLL LOADER_DLL GAME_EXE
set -euo pipefail
for last; do :; done
if [ ! -f "$last" ]; then
  echo "SKIP: no Windows build at $(dirname "$last")"
  exit 77
fi
source "$(dirname "$0")/holdout_runner.sh"
shift "$runner_arguments"
plugin=$1 host=$2 loader=$3 game=$4
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

# doctor FOLDER must exit with STATUS and say every TEXT. With FOLDER given as "in:NAME",
# doctor runs inside the folder NAME without naming it.
expect() {
  local folder=$1 want=$2 output status=0 before
  shift 2
  if [[ $folder == in:* ]]; then
    folder=${folder#in:}
    before=$(snapshot "$folder")
    output=$(cd "$work/$folder" && run_holdout doctor) || status=$?
  else
    before=$(snapshot "$folder")
    output=$(cd "$work" && run_holdout doctor "$folder") || status=$?
  fi
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
  mkdir -p "$work/$1"
  cp "$game" "$work/$1/Game.exe"
  cp "$plugin" "$work/$1/Holdout.asi"
  cp "$host" "$work/$1/ScriptHookFrontier.dll"
  cp "$loader" "$work/$1/dinput8.dll"
}

make_folder complete
# The folder by its absolute path (Wine's drive Z: is the root of the file system).
if [ "$runner" = wine ]; then
  shown=("game folder Z:\\" '\complete')
else
  shown=("game folder $work/complete")
fi
expect in:complete 0 "${shown[@]}"
expect complete 0 "game program: ok, Game.exe is a 64-bit program" "ScriptHookFrontier.dll: ok" "plug-in loader dinput8.dll: ok" "Holdout.asi: ok" \
  "Holdout.ini: ok" "Holdout.log: ok" "verdict: Holdout will load and work here" \
  'WINEDLLOVERRIDES="dinput8=n,b"'

make_folder lone-dll
mv "$work/lone-dll/Holdout.asi" "$work/lone-dll/Holdout.dll"
expect lone-dll 1 "Holdout.asi: PROBLEM" "rename Holdout.dll to Holdout.asi" \
  "verdict: Holdout will not load here"

make_folder no-loader
rm "$work/no-loader/dinput8.dll"
expect no-loader 1 "plug-in loader: PROBLEM" "the script host's package brings one" \
  "verdict: Holdout will not load here"

# The export directory's field AddressOfNameOrdinals (36 bytes in) pointed past the file's end.
make_folder ordinals-outside
perl -e '
  open(my $f, "+<:raw", $ARGV[0]) or die; local $/; my $b = <$f>;
  my $pe = unpack("V", substr($b, 0x3C, 4));
  my $optional = $pe + 24; my $sections = $optional + unpack("v", substr($b, $pe + 20, 2));
  my $rva = unpack("V", substr($b, $optional + 112, 4));
  for (my $i = 0; $i < unpack("v", substr($b, $pe + 6, 2)); ++$i) {
    my ($va, $offset) = unpack("V x4 V", substr($b, $sections + 40 * $i + 12, 12));
    my $size = unpack("V", substr($b, $sections + 40 * $i + 8, 4));
    next unless $rva >= $va && $rva < $va + $size;
    seek($f, $offset + $rva - $va + 36, 0); print $f pack("V", 0x7FFFFFF0); exit 0;
  }
  die "no section holds the export directory\n";' "$work/ordinals-outside/ScriptHookFrontier.dll"
expect ordinals-outside 1 "ScriptHookFrontier.dll: PROBLEM" "verdict: Holdout will not load here"

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
head -c "$(($(stat -c %s "$plugin") / 2))" "$plugin" >"$work/cut-plugin/Holdout.asi"
expect cut-plugin 1 "Holdout.asi: PROBLEM" "it is cut short" "verdict: Holdout will not load here"

expect no-such-folder 3

# Mistakes beside a sound install, each named with its file and its fix.
make_folder no-game
rm "$work/no-game/Game.exe"
expect no-game 1 "game program: PROBLEM" "there is no 64-bit program (.exe) in this folder"

make_folder game-above
mkdir "$work/game-above/Holdout-0.1.0-win64"
mv "$work/game-above/Holdout.asi" "$work/game-above/Holdout-0.1.0-win64/"
printf 'guide\r\n' >"$work/game-above/Holdout-0.1.0-win64/PLAYERS-GUIDE.txt"
expect in:game-above/Holdout-0.1.0-win64 1 "Holdout's unpacked package" \
  "copy Holdout.asi into the game's folder" "ScriptHookFrontier.dll: PROBLEM" \
  "it is not in this folder, but one level up there is" "run holdout doctor \""
expect game-above 1 "Holdout.asi: PROBLEM" "it is not in this folder, but one level down there is" \
  "Holdout.asi into this folder"

make_folder plugin-below
mkdir "$work/plugin-below/scripts"
mv "$work/plugin-below/Holdout.asi" "$work/plugin-below/scripts/Holdout (1).dll"
expect plugin-below 1 "one level down there is" "into this folder and rename it Holdout.asi"

make_folder ini-below
mkdir "$work/ini-below/settings"
printf '[Main]\r\nMaxEnemies=90\r\n' >"$work/ini-below/settings/Holdout.ini"
expect ini-below 1 "Holdout.ini: PROBLEM" "one level down there is" \
  "Holdout reads it only from the game's folder" "Holdout.ini into this folder"

for near in "Holdout (1).dll" "Holdout-0.1.0.dll"; do
  make_folder "near $near"
  mv "$work/near $near/Holdout.asi" "$work/near $near/$near"
  expect "near $near" 1 "so $near is never loaded" "rename $near to Holdout.asi"
done

make_folder ini-txt
printf '[Main]\r\nMaxEnemies=90\r\n' >"$work/ini-txt/Holdout.ini.txt"
expect ini-txt 1 "Holdout.ini: PROBLEM" "but Holdout.ini.txt is: Holdout reads only Holdout.ini" \
  "rename Holdout.ini.txt to Holdout.ini"

# The plug-in reads Holdout.ini through the folder's own wide path, so a folder named outside
# the ANSI code page (Wine's is 1252 here) is as good as any.
make_folder "游戏-Spiel"
printf '[Main]\r\nDebug=0\r\n' >"$work/游戏-Spiel/Holdout.ini"
expect "in:游戏-Spiel" 0 "Holdout.ini: ok" "verdict: Holdout will load and work here"

# A folder the player may not add files to. Wine gives a folder an access list from its Unix
# permissions, and holdout.exe asks that list; the Linux build asks the permissions, which
# root passes whatever they say.
if [ "$runner" = wine ] || [ "$(id -u)" -ne 0 ]; then
  make_folder read-only
  chmod 555 "$work/read-only"
  expect read-only 1 "Holdout.log: PROBLEM" "no file can be created in this folder" \
    "let your user account write to the game folder"
  chmod 755 "$work/read-only"
fi

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
