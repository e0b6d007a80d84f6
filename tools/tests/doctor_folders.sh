#!/usr/bin/env bash
# Runs `holdout doctor` (the Linux build, or holdout.exe under Wine) on game folders made from
# the built Holdout.asi, the stand-in script host and its plug-in loader, and the stand-in game's
# program: complete; the plug-in under the name Holdout.dll; no plug-in loader; a host that lacks
# the export worldGetAllPeds; a host whose export ordinal table points past the end of the file;
# a text file in place of the host; no host; DLLs under the loader's name that are no plug-in
# loader (the system's own copy among them), and the loader under a name the game imports or not,
# held to the system's copy of that library; a Holdout.asi cut short; a folder that does not
# exist and a second folder named, answered on standard output; Holdout.asi in the subfolders
# scripts\ and plugins\ that loaders search, alone and beside a second copy; the mistakes
# players make beside a sound install (no game program, the unpacked package below the game, the
# package run inside its zip, an install with no game program, a launcher above the game,
# Holdout.asi or Holdout.ini one level down, copies saved under near names); a folder named in
# Chinese, also on a console; a folder no file can be created in (under Wine, or for a user
# other than root), where doctor names the log's fallback; under Wine a folder too long to be a
# working folder; other builds of the plug-in (newer, older, or of today's version from
# another commit, made by changing the version resource of a copy), also where the settings are
# read through a copy in the temp folder (under Wine); a package's SHA256SUMS.txt that lists the
# plug-in or another file; Holdout.asi or the loader gone, as after an antivirus's quarantine.
# Checks each answer's message and exit code, and that doctor left every folder exactly as it
# found it. Exits 77 (skipped) when the Windows build has not been made, or, for the Linux
# doctor, when it is of another commit than that build.
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

# The system's own libraries: holdout.exe reads the Wine prefix's system folder; the Linux doctor
# reads a prefix made here with Wine's own DLLs, the same that Wine puts there, or when there are
# none, a prefix without a system folder, of which it says that it could not check.
wine_dlls=$(find /usr/lib /usr/local/lib /opt -type d -path '*/wine/x86_64-windows' 2>/dev/null |
  head -1)
if [ "$runner" = native ]; then
  export WINEPREFIX=$work/.prefix
  if [ -n "$wine_dlls" ]; then
    mkdir -p "$WINEPREFIX/drive_c/windows/system32"
    for name in dinput8 version winmm; do
      cp "$wine_dlls/$name.dll" "$WINEPREFIX/drive_c/windows/system32/"
    done
  fi
fi
system32=$WINEPREFIX/drive_c/windows/system32

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
  said=$output
}

# What the last `expect` heard must not hold TEXT.
never_said() {
  if grep -qF -- "$1" <<<"$said"; then
    fail "doctor said: $1"
    sed 's/^/  | /' <<<"$said"
  fi
}

make_folder() {
  mkdir -p "$work/$1"
  cp "$game" "$work/$1/Game.exe"
  cp "$plugin" "$work/$1/Holdout.asi"
  cp "$host" "$work/$1/ScriptHookFrontier.dll"
  cp "$loader" "$work/$1/dinput8.dll"
}

make_folder complete
# The Linux doctor and the Windows build must be of one commit for the folders below to be sound.
said=$(cd "$work" && run_holdout doctor complete) || true
if [ "$runner" = native ] && ! grep -qF "this holdout.exe's own build" <<<"$said"; then
  echo "SKIP: $plugin is another build than ${holdout_command[*]}: build both from one commit"
  exit 77
fi
# The folder by its absolute path (Wine's drive Z: is the root of the file system).
if [ "$runner" = wine ]; then
  shown=("game folder Z:\\" '\complete')
else
  shown=("game folder $work/complete")
fi
expect in:complete 0 "${shown[@]}"
expect complete 0 "game program: ok, Game.exe is a 64-bit program" "ScriptHookFrontier.dll: ok" "plug-in loader dinput8.dll: ok" "Holdout.asi: ok" \
  "Holdout.ini: ok" "Holdout.log: ok" \
  "verdict: Holdout will load and work here if the game loads dinput8.dll" \
  "check in the game: press C, and the EXPLOSIVES menu appears" 'WINEDLLOVERRIDES="dinput8=n,b"'
if [ -f "$system32/dinput8.dll" ]; then
  expect complete 0 "plug-in loader dinput8.dll: ok, it looks like a plug-in loader" \
    "it exports all 5 functions of the system's own dinput8.dll"
else
  expect complete 0 "whether it exports every function of the system's own dinput8.dll could not"
fi

# The installed plug-in's build on its line, beside doctor's own: its version and commit.
build=$(cd "$work" && run_holdout doctor complete | sed -n 's/^holdout\.exe version //p' | tr -d '\r')
version=${build%% *}
commit=$(sed -n -e 's/.*(commit \(.*\))$/\1/p' -e 's/.*(\(unknown\) commit)$/\1/p' <<<"$build")
[ -n "$version" ] && [ -n "$commit" ] ||
  fail "doctor's first line names no version and commit of holdout.exe: '$build'"
expect complete 0 "Holdout.asi: ok, version $build, this holdout.exe's own build; a complete 64-bit"

# Copies of the plug-in as other builds: the fixed part's file version (major and minor, then
# patch and build) set to VERSION-MS and VERSION-LS as 32-bit hex, and the commit's text changed.
other_build() { # FOLDER VERSION-MS VERSION-LS
  make_folder "$1"
  perl -0777 -pe '
    BEGIN { ($ms, $ls, $from) = splice(@ARGV, 1, 3);
            ($to = $from) =~ tr/0-9a-zA-Z/1-9a-zA-Z0/;
            ($from, $to) = map { join("", map { "$_\0" } split(//)) } ($from, $to) }
    s/\xBD\x04\xEF\xFE(.{4})......../"\xBD\x04\xEF\xFE$1" . pack("VV", hex $ms, hex $ls)/se;
    s/\Q$from\E/$to/ or die "no commit $from in the version resource\n";' \
    "$plugin" "$2" "$3" "$commit" >"$work/$1/Holdout.asi"
}
other_commit=$(tr '0-9a-zA-Z' '1-9a-zA-Z0' <<<"$commit")
IFS=. read -r major minor patch <<<"$version"
printf -v today_ms '%x' $(((major << 16) | minor))
printf -v today_ls '%x' $((patch << 16))
# A build of an earlier commit that carries today's version number.
other_build earlier-commit "$today_ms" "$today_ls"
expect earlier-commit 1 "Holdout.asi: PROBLEM" \
  "it is $version (commit $other_commit), the same version as this holdout.exe, $build, but another build of it, so this holdout.exe cannot vouch for it" \
  "take Holdout.asi and holdout.exe from one package, the one you downloaded last" \
  "verdict: Holdout will load here if the game loads dinput8.dll, but see the 1 problem above"
never_said "will load and work"
# A newer plug-in beside an older holdout.exe: the plug-in stays, its package's holdout.exe checks.
other_build newer-plugin 90000 0
expect newer-plugin 1 "Holdout.asi: PROBLEM" \
  "it is version 9.0.0 (commit $other_commit), newer than this holdout.exe, version $build" \
  "keep this Holdout.asi, and check with the holdout.exe of its package, Holdout-9.0.0-win64.zip"
never_said "copy Holdout.asi"
never_said "will load and work"
other_build older-plugin 1 0
expect older-plugin 1 "Holdout.asi: PROBLEM" \
  "it is version 0.1.0 (commit $other_commit), older than this holdout.exe, version $build" \
  "copy Holdout.asi from Holdout-$version-win64.zip, the package this holdout.exe came with, over the old one"
# Where Holdout.ini's path is too long for the settings functions, how Holdout reads it is this
# build's to say: of another build, doctor cannot vouch for it. (Under Wine, where doctor knows
# the path the game sees.)
if [ "$runner" = wine ]; then
  long=long-path
  while [ ${#long} -lt 300 ]; do long+=/$(printf 'Level%.0s' {1..10}); done
  other_build "$long" "$today_ms" "$today_ls"
  printf '[Main]\r\nMaxEnemies=12\r\n' >"$work/$long/Holdout.ini"
  expect "$long" 1 "Holdout.ini: ok" "more than the 259 Windows's settings functions open" \
    "so does this holdout.exe's build, but the installed Holdout.asi is another build, for which it cannot vouch"
  never_said "and deletes once read"
fi
# A plug-in from before builds named their commit.
make_folder no-commit
perl -0777 -pe 's/S\0o\0u\0r\0c\0e\0C\0o\0m\0m\0i\0t\0/X\0o\0u\0r\0c\0e\0C\0o\0m\0m\0i\0t\0/' \
  "$plugin" >"$work/no-commit/Holdout.asi"
expect no-commit 1 "it is $version, the same version as this holdout.exe, $build, but another build"

# The package's list of SHA-256: the plug-in it lists, byte for byte, or another file.
make_folder listed
(cd "$work/listed" && sha256sum Holdout.asi dinput8.dll | sed 's/$/\r/' >SHA256SUMS.txt)
expect listed 0 "it is byte for byte the Holdout.asi that "
make_folder listed-other
(cd "$work/listed-other" && sha256sum dinput8.dll | sed 's/dinput8.dll/Holdout.asi/' >SHA256SUMS.txt)
expect listed-other 1 "it is not the Holdout.asi that " "lists (their SHA-256 differ)" \
  "copy Holdout.asi again from the package SHA256SUMS.txt came with"

# Gone from the folder, as after a quarantine: where the antivirus keeps it.
make_folder no-plugin
rm "$work/no-plugin/Holdout.asi"
expect no-plugin 1 "Holdout.asi: PROBLEM" "if you did copy Holdout.asi and it is gone" \
  "Protection history, restore the file and allow it"

make_folder lone-dll
mv "$work/lone-dll/Holdout.asi" "$work/lone-dll/Holdout.dll"
expect lone-dll 1 "Holdout.asi: PROBLEM" "rename Holdout.dll to Holdout.asi" \
  "verdict: Holdout will not load here"

make_folder no-loader
rm "$work/no-loader/dinput8.dll"
expect no-loader 1 "plug-in loader: PROBLEM" "the script host's package brings one" \
  "if you did copy the loader and it is gone, your antivirus may have removed it" \
  "verdict: Holdout will not load here"

# A DLL under the loader's name is a plug-in loader only when it names .asi files: the system's
# own copy (Wine's here) and another program's DLL load no plug-in.
if [ -f "$system32/winmm.dll" ]; then
  # The system folder's own copy, whatever its imports look like.
  make_folder system-winmm
  rm "$work/system-winmm/dinput8.dll"
  cp "$system32/winmm.dll" "$work/system-winmm/winmm.dll"
  expect system-winmm 1 "plug-in loader winmm.dll: PROBLEM" \
    "it is not a plug-in loader: it is the system's own winmm.dll, the same bytes as the copy in" \
    "delete this winmm.dll" "verdict: Holdout will not load here" \
    "once fixed, check in the game: press C, and the EXPLOSIVES menu appears"
  # The stand-in loader under that name lacks the functions of the system's winmm.dll.
  make_folder loader-as-winmm
  mv "$work/loader-as-winmm/dinput8.dll" "$work/loader-as-winmm/winmm.dll"
  expect loader-as-winmm 1 "plug-in loader winmm.dll: PROBLEM" \
    "functions the system's own winmm.dll exports (" "and the game stops at the first call of one"
fi
if [ -f "$wine_dlls/dinput8.dll" ]; then
  make_folder system-dinput8
  cp "$wine_dlls/dinput8.dll" "$work/system-dinput8/dinput8.dll"
  expect system-dinput8 1 "plug-in loader dinput8.dll: PROBLEM" \
    "it is not a plug-in loader: it is " "system's own dinput8.dll" \
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
if [ -f "$system32/version.dll" ]; then
  expect loader-as-version 1 "plug-in loader version.dll: PROBLEM" \
    "functions the system's own version.dll exports (GetFileVersionInfo"
else
  expect loader-as-version 0 "plug-in loader version.dll: ok" \
    "the game's program does not import version.dll: Holdout loads if the game loads" \
    "verdict: Holdout will load and work here if the game loads version.dll"
fi

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

# The package's files, unpacked into FOLDER.
make_package() {
  mkdir -p "$work/$1"
  cp "$plugin" "$work/$1/Holdout.asi"
  printf 'guide\r\n' >"$work/$1/PLAYERS-GUIDE.txt"
  printf '[Main]\r\n' >"$work/$1/Holdout.ini"
  printf 'MZ' >"$work/$1/holdout.exe"
}
make_folder game-above
rm "$work/game-above/Holdout.asi"
make_package game-above/Holdout-0.1.0-win64
# In the package only what to copy where is a problem.
expect in:game-above/Holdout-0.1.0-win64 1 "Holdout's unpacked package" \
  "copy Holdout.asi into the game's folder" "run holdout doctor \"" "Holdout.asi: ok, version" \
  "verdict: Holdout cannot be checked here: this is not the game's folder (1 problem above)"
# The package's own list beside its plug-in.
(cd "$work/game-above/Holdout-0.1.0-win64" && sha256sum Holdout.asi >SHA256SUMS.txt)
expect in:game-above/Holdout-0.1.0-win64 1 "Holdout.asi: ok, version" \
  "it is byte for byte the Holdout.asi that "
rm "$work/game-above/Holdout-0.1.0-win64/SHA256SUMS.txt"
# A package whose Holdout.asi is another build than the holdout.exe run in it says so too.
cp "$work/earlier-commit/Holdout.asi" "$work/game-above/Holdout-0.1.0-win64/Holdout.asi"
expect in:game-above/Holdout-0.1.0-win64 1 "Holdout.asi: PROBLEM" "but another build of it" \
  "(2 problems above)"
cp "$plugin" "$work/game-above/Holdout-0.1.0-win64/Holdout.asi"
expect game-above 1 "Holdout.asi: PROBLEM" "it is not in this folder, but one level down there is" \
  "Holdout.asi into this folder"

# In a subfolder of the game's folder, where to run doctor instead is the one problem: the game's
# files are judged there, not called missing here.
make_folder game-with-data
mkdir "$work/game-with-data/data"
expect in:game-with-data/data 1 "game program: PROBLEM" "one level up there is" \
  "run doctor on the game's folder" \
  "verdict: Holdout cannot be checked here: this is not the game's folder (1 problem above)"

# holdout.exe double-clicked inside the zip runs in a temporary folder.
make_package "Temp/Temp1_Holdout-0.1.0-win64.zip/Holdout-0.1.0-win64"
expect "in:Temp/Temp1_Holdout-0.1.0-win64.zip/Holdout-0.1.0-win64" 1 "game program: PROBLEM" \
  "made to run holdout.exe from inside the zip" "Extract All first"
# The host, the loader and Holdout with holdout.exe but no game program: not the package, and
# what is there is judged.
make_folder install-without-game
rm "$work/install-without-game/Game.exe"
printf 'MZ' >"$work/install-without-game/holdout.exe"
expect install-without-game 1 "there is no 64-bit program (.exe) in this folder" \
  "ScriptHookFrontier.dll: ok" "plug-in loader dinput8.dll: ok"
# A 64-bit launcher at the root, the game one level down.
make_folder launcher
mkdir "$work/launcher/Binaries"
cp "$game" "$work/launcher/Binaries/GameMain.exe"
expect launcher 0 "one level down, Binaries" "GameMain.exe is a 64-bit program too: if that is the game" \
  "Holdout, the script host and the plug-in loader belong beside it"

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
  "verdict: Holdout will load here if the game loads dinput8.dll, but see the 2 problems above"
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
