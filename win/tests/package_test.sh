#!/usr/bin/env bash
# Builds the player package and checks what a player unpacks: exactly Holdout.asi (a 64-bit DLL
# under the name plug-in loaders pick up), Holdout.ini, the player's guide and its three pictures
# (each a 1280x720 PNG), and holdout.exe (a 64-bit program), the two texts those of package/
# with CRLF line ends. The two binaries carry no debug sections (their debug information stays
# beside the build); their sizes are printed.
set -euo pipefail
cpack=$1 build=$2 shipped=$3 objdump=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && "$cpack" -G ZIP -B "$work/out" >/dev/null)
zip=$(ls "$work"/out/Holdout-*-win64.zip)
mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$zip")

contents=$(cd "$work/unpacked" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
expected="./Holdout.asi ./Holdout.ini ./PLAYERS-GUIDE.txt ./cover-menu.png ./holdout.exe ./hud.png ./summary.png "
if [ "$contents" != "$expected" ]; then
  echo "the package holds: $contents; expected: $expected" >&2
  exit 1
fi
"$objdump" -f "$work/unpacked/Holdout.asi" | grep -q 'file format pei-x86-64' || {
  echo "Holdout.asi in the package is not a 64-bit Windows DLL" >&2
  exit 1
}
"$objdump" -f "$work/unpacked/holdout.exe" | grep -q 'file format pei-x86-64' || {
  echo "holdout.exe in the package is not a 64-bit Windows program" >&2
  exit 1
}
for binary in Holdout.asi holdout.exe; do
  debug_sections=$("$objdump" -h "$work/unpacked/$binary" | awk '$2 ~ /^\.debug/ { print $2 }')
  if [ -n "$debug_sections" ]; then
    echo "$binary in the package carries debug sections: $(tr '\n' ' ' <<<"$debug_sections")" >&2
    exit 1
  fi
  echo "$binary: $(stat -c %s "$work/unpacked/$binary") bytes"
done
for text in Holdout.ini PLAYERS-GUIDE.txt; do
  # The text of package/, every line ended by CRLF.
  cmp <(tr -d '\r' <"$work/unpacked/$text") "$shipped/$text"
  if ! awk '!/\r$/ { bad = 1 } END { exit bad }' "$work/unpacked/$text"; then
    echo "$text in the package has a line without a CRLF line end" >&2
    exit 1
  fi
done
for picture in cover-menu.png hud.png summary.png; do
  # The PNG signature, then the header chunk's width and height (big-endian): 1280 and 720.
  header=$(od -An -tx1 -N24 "$work/unpacked/$picture" | tr -d ' \n')
  if [ "$header" != "89504e470d0a1a0a0000000d4948445200000500000002d0" ]; then
    echo "$picture in the package is not a 1280x720 PNG" >&2
    exit 1
  fi
done
echo "player package: $(basename "$zip") holds $contents"
