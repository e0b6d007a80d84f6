#!/usr/bin/env bash
# Runs `holdout doctor` (the Linux build, or holdout.exe under Wine) on game folders made from
# the built Holdout.asi, the stand-in script host and its plug-in loader, and the stand-in game's
# program: complete; the plug-in under the name Holdout.dll; no plug-in loader; a host that lacks
# the export worldGetAllPeds; a host whose export ordinal table points past the end of the file;
# a text file in place of the host; no host; DLLs under the loader's name that are no plug-in
# loader, and the loader under a name the game imports or not; a Holdout.asi cut short; a folder that does not
# exist and a second folder named, answered on standard output; Holdout.asi in the subfolders
# scripts\ and plugins\ that loaders search, alone and beside a second copy; the mistakes
# players make beside a sound install (no game program, the unpacked package below the game,
# Holdout.asi or Holdout.ini one level down, copies saved under near names); a folder named in
# Chinese, also on a console; a folder no file can be created in, where doctor names the log's
# fallback; and under Wine a folder too long to be a working folder. Checks each answer's
# message and exit code, and that doctor left every folder exactly as it found it. Exits 77
# (skipped) when the Windows build has not been made.
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
trap 'chattr -i "$work/read-only" 2>/dev/null; rm -rf "$work"; runner_stop' EXIT

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Names, sizes, times and contents of everything in a folder. A folder's own time is left out:
# it changes when doctor tries the folder with a file of its own, which it deletes again.
snapshot() {
  (cd "$work" && [ -e "$1" ] &&
    { find "$1" -type d -exec stat -c '%n %a' {} + && find "$1" ! -type d -exec stat -c '%n %s %Y %a' {} +; } |
    sort && find "$1" -type f -exec md5sum {} + | sort) || true
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

# The installed plug-in's version on its line, beside doctor's own; another version is named.
version=$(cd "$work" && run_holdout doctor complete | sed -n 's/^holdout\.exe version //p')
[ -n "$version" ] || fail "doctor's first line names no version of holdout.exe"
expect complete 0 "Holdout.asi: ok, version $version; a complete 64-bit DLL"
make_folder old-plugin
perl -0777 -pe 's/\xBD\x04\xEF\xFE(.{4})..../\xBD\x04\xEF\xFE${1}\x00\x00\x09\x00/s' "$plugin" \
  >"$work/old-plugin/Holdout.asi"
expect old-plugin 1 "Holdout.asi: PROBLEM" \
  "it is version 9.0.0, but this holdout.exe is version $version: an update was not copied" \
  "copy Holdout.asi from the zip this holdout.exe came with" \
  "verdict: Holdout will load here, but see the 1 problem above"

make_folder lone-dll
mv "$work/lone-dll/Holdout.asi" "$work/lone-dll/Holdout.dll"
expect lone-dll 1 "Holdout.asi: PROBLEM" "rename Holdout.dll to Holdout.asi" \
  "verdict: Holdout will not load here"

make_folder no-loader
rm "$work/no-loader/dinput8.dll"
expect no-loader 1 "plug-in loader: PROBLEM" "the script host's package brings one" \
  "verdict: Holdout will not load here"

# A DLL under the loader's name is a plug-in loader only when it names .asi files: the system's
# own copy (Wine's here) and another program's DLL load no plug-in.
wine_dlls=$(find /usr/lib /usr/local/lib /opt -type d -path '*/wine/x86_64-windows' 2>/dev/null |
  head -1)
if [ -f "$wine_dlls/dinput8.dll" ]; then
  make_folder system-dinput8
  cp "$wine_dlls/dinput8.dll" "$work/system-dinput8/dinput8.dll"
  expect system-dinput8 1 "plug-in loader dinput8.dll: PROBLEM" \
    "it is not a plug-in loader: it is a copy of the system's own dinput8.dll" \
    "delete this dinput8.dll" "verdict: Holdout will not load here"
  # A game whose program imports version.dll: a loader under that name must export what it
  # imports, and the stand-in loader does not.
  make_folder version-loader
  cp "$wine_dlls/winefile.exe" "$work/version-loader/Game.exe"
  mv "$work/version-loader/dinput8.dll" "$work/version-loader/version.dll"
  expect version-loader 1 "plug-in loader version.dll: PROBLEM" \
    "it lacks functions Game.exe imports from version.dll (GetFileVersionInfo" \
    "so Windows refuses to start the game (under Wine, the game stops when it first calls" \
    "verdict: Holdout will not load here"
else
  echo "no Wine DLLs found: the cases of the system's own DLLs are not run"
fi
make_folder host-as-loader
cp "$host" "$work/host-as-loader/dinput8.dll"
expect host-as-loader 1 "it is not a plug-in loader: it is ScriptHookFrontier.dll under another name"
make_folder loader-as-version
mv "$work/loader-as-version/dinput8.dll" "$work/loader-as-version/version.dll"
expect loader-as-version 0 "plug-in loader version.dll: ok" \
  "the game's program does not import version.dll, so the loader runs only if the game loads"

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

# Everything doctor says is on standard output, which is all a player's redirected report
# holds; the exit code tells the result.
expect no-such-folder 3 "doctor: cannot read the folder 'no-such-folder'"
usage_status=0
usage=$(cd "$work" && run_holdout doctor complete complete 2>/dev/null) || usage_status=$?
[ "$usage_status" -eq 2 ] || fail "doctor with two folders exited with $usage_status, expected 2"
grep -qF "doctor: expected at most one folder" <<<"$usage" ||
  fail "doctor with two folders said on standard output: $usage"

# Mistakes beside a sound install, each named with its file and its fix.
make_folder no-game
rm "$work/no-game/Game.exe"
expect no-game 1 "game program: PROBLEM" "there is no 64-bit program (.exe) in this folder" \
  "verdict: Holdout cannot be checked here: this is not the game's folder"

make_folder game-above
mkdir "$work/game-above/Holdout-0.1.0-win64"
mv "$work/game-above/Holdout.asi" "$work/game-above/Holdout-0.1.0-win64/"
printf 'guide\r\n' >"$work/game-above/Holdout-0.1.0-win64/PLAYERS-GUIDE.txt"
# In the package only what to copy where is a problem.
expect in:game-above/Holdout-0.1.0-win64 1 "Holdout's unpacked package" \
  "copy Holdout.asi into the game's folder" "run holdout doctor \"" "Holdout.asi: ok, version" \
  "verdict: Holdout cannot be checked here: this is not the game's folder (1 problem above)"
expect game-above 1 "Holdout.asi: PROBLEM" "it is not in this folder, but one level down there is" \
  "Holdout.asi into this folder"

# In a subfolder of the game's folder, where to run doctor instead is the one problem: the game's
# files are judged there, not called missing here.
make_folder game-with-data
mkdir "$work/game-with-data/data"
expect in:game-with-data/data 1 "game program: PROBLEM" "one level up there is" \
  "run doctor on the game's folder" \
  "verdict: Holdout cannot be checked here: this is not the game's folder (1 problem above)"

make_folder plugin-below
mkdir "$work/plugin-below/scripts"
mv "$work/plugin-below/Holdout.asi" "$work/plugin-below/scripts/Holdout (1).dll"
expect plugin-below 1 "one level down there is" "into this folder and rename it Holdout.asi"

# Loaders also load the .asi files of scripts\ and plugins\ (found in any case, as Windows
# finds them); Holdout still reads Holdout.ini beside the game's program.
for sub in scripts Plugins; do
  make_folder "asi-in-$sub"
  mkdir "$work/asi-in-$sub/$sub"
  mv "$work/asi-in-$sub/Holdout.asi" "$work/asi-in-$sub/$sub/"
  expect "asi-in-$sub" 0 "Holdout.asi: ok, version " "it is in $sub\\, where plug-in loaders" \
    "Holdout.ini stays beside the game's .exe, in this folder and not in $sub\\" \
    "Holdout.log is written to the folder the game starts in" \
    "verdict: Holdout will load and work here"
done

# A second copy where loaders also look runs Holdout twice, whatever its name.
make_folder asi-twice
mkdir "$work/asi-twice/plugins" "$work/asi-twice/scripts"
cp "$plugin" "$work/asi-twice/plugins/Holdout.asi"
cp "$plugin" "$work/asi-twice/scripts/Holdout (1).asi"
expect asi-twice 1 "Holdout.asi: PROBLEM" "plugins\\Holdout.asi is here too" \
  "scripts\\Holdout (1).asi is here too" "two copies of Holdout run at once" \
  "delete plugins\\Holdout.asi; besides, delete scripts\\Holdout (1).asi" \
  "verdict: Holdout will load here, but see the 2 problems above"
make_folder asi-twice-in-subfolders
mkdir "$work/asi-twice-in-subfolders/scripts" "$work/asi-twice-in-subfolders/plugins"
mv "$work/asi-twice-in-subfolders/Holdout.asi" "$work/asi-twice-in-subfolders/scripts/"
cp "$plugin" "$work/asi-twice-in-subfolders/plugins/Holdout.asi"
expect asi-twice-in-subfolders 1 "plugins\\Holdout.asi is here too" "delete plugins\\Holdout.asi"

make_folder ini-below
mkdir "$work/ini-below/settings"
printf '[Main]\r\nMaxEnemies=90\r\n' >"$work/ini-below/settings/Holdout.ini"
expect ini-below 1 "Holdout.ini: PROBLEM" "one level down there is" \
  "Holdout reads it only from the game's folder" "Holdout.ini into this folder"

for near in "Holdout (1).dll" "Holdout-0.1.0.dll" "Holdout.asi.txt"; do
  make_folder "near $near"
  mv "$work/near $near/Holdout.asi" "$work/near $near/$near"
  expect "near $near" 1 "so $near is never loaded" "rename $near to Holdout.asi"
done
# A browser's download that has not finished: the whole file or its first part.
for unfinished in "Holdout.asi.part" "Holdout.asi.crdownload"; do
  make_folder "$unfinished"
  head -c 4096 "$work/$unfinished/Holdout.asi" >"$work/$unfinished/$unfinished"
  rm "$work/$unfinished/Holdout.asi"
  expect "$unfinished" 1 "Holdout.asi: PROBLEM" "but $unfinished is: a download that has not finished" \
    "let the download finish, or download Holdout again, and copy its Holdout.asi here; then delete $unfinished"
done

# Leftovers of an update, with no Holdout.asi: every one is named, since the loader loads each.
make_folder leftovers
mv "$work/leftovers/Holdout.asi" "$work/leftovers/Holdout (1).asi"
cp "$plugin" "$work/leftovers/Holdout-old.asi"
expect leftovers 1 "it is here as Holdout (1).asi" "Holdout-old.asi is here too" \
  "delete Holdout-old.asi; besides, rename Holdout (1).asi to Holdout.asi"

make_folder ini-txt
printf '[Main]\r\nMaxEnemies=90\r\n' >"$work/ini-txt/Holdout.ini.txt"
expect ini-txt 1 "Holdout.ini: PROBLEM" "but Holdout.ini.txt is: Holdout reads only Holdout.ini" \
  "rename Holdout.ini.txt to Holdout.ini"

# The plug-in reads Holdout.ini through the folder's own wide path, so a folder named outside
# the ANSI code page (Wine's is 1252 here) is as good as any.
make_folder "游戏-Spiel"
printf '[Main]\r\nDebug=0\r\n' >"$work/游戏-Spiel/Holdout.ini"
expect "in:游戏-Spiel" 0 "Holdout.ini: ok" "verdict: Holdout will load and work here"
# On a console (a terminal, which Wine's console drives with escape sequences) the name shows
# as it is, as it does in a redirected report.
if [ "$runner" = wine ]; then
  on_console=$(printf '%q ' "$wine_dir/wine64" "${holdout_command[1]}" doctor 游戏-Spiel)
  console=$(cd "$work" && timeout 120 script -qec "$on_console" /dev/null) || true
  grep -q $'\x1b\\[' <<<"$console" || fail "doctor's output did not pass through a console"
  grep -qF '\游戏-Spiel' <<<"$(sed 's/\x1b\[[?0-9;]*[a-zA-Z]//g' <<<"$console")" ||
    fail "the console showed: $(head -3 <<<"$console")"
fi

# A folder that takes no new file: doctor tries a file of its own there and names where the log
# goes instead. For a user other than root the folder's permissions refuse it; root passes them
# (and so did the access list doctor once asked, which Wine makes from them), so for root the
# folder is made immutable, which refuses root too.
make_folder read-only
if [ "$(id -u)" -ne 0 ] && chmod 555 "$work/read-only"; then
  reopen=(chmod 755 "$work/read-only")
elif chattr +i "$work/read-only" 2>/dev/null; then
  reopen=(chattr -i "$work/read-only")
else
  reopen=()
fi
if [ "${#reopen[@]}" -gt 0 ]; then
  if [ "$runner" = wine ]; then
    fallback='\AppData\Local\Holdout\Holdout.log'
  else
    fallback='%LOCALAPPDATA%\Holdout\Holdout.log'
  fi
  expect read-only 0 "Holdout.log: ok, no file can be created in this folder" \
    "so Holdout writes its log to " "$fallback"
  "${reopen[@]}"
fi

# Under Wine a program whose folder has a path of more than 258 characters starts in Wine's
# Windows folder instead, so the log goes there.
if [ "$runner" = wine ]; then
  deep=deep/$(printf 'd%.0s' $(seq 1 120))/$(printf 'e%.0s' $(seq 1 130))
  make_folder "$deep"
  expect "$deep" 0 "Holdout.log: ok, this folder's path has " \
    "more than the 258 a working folder may have, so the game starts in C:\windows; "
fi

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
