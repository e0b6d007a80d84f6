#!/usr/bin/env bash
# Checks the built player package and what a player unpacks: exactly Holdout.asi (a 64-bit DLL
# under the name plug-in loaders pick up), Holdout.ini, the player's guide and its three pictures
# (each a 1280x720 PNG), holdout.exe (a 64-bit program) and SHA256SUMS.txt, which `sha256sum -c`
# finds true of every other file, the texts those of package/ with CRLF line ends. The entries
# come in the order of their names, all with one date, and carry no owner. The two binaries
# carry no debug sections (their debug information stays beside the build) and no time stamp;
# their sizes are printed.
# Usage: package_test.sh ZIP SHIPPED_TEXTS_DIR OBJDUMP
set -euo pipefail
zip=$1 shipped=$2 objdump=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$zip")

contents=$(cd "$work/unpacked" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
expected="./Holdout.asi ./Holdout.ini ./PLAYERS-GUIDE.txt ./SHA256SUMS.txt ./cover-menu.png ./holdout.exe ./hud.png ./summary.png "
if [ "$contents" != "$expected" ]; then
  echo "the package holds: $contents; expected: $expected" >&2
  exit 1
fi
# The zip's own order, dates and extra fields, as zipinfo lists them.
entries=$(zipinfo -1 "$zip" | tr '\n' ' ')
if [ "$entries" != "$(sed 's|\./||g' <<<"$expected")" ]; then
  echo "the zip's entries come in the order $entries" >&2
  exit 1
fi
dates=$(zipinfo -T -l "$zip" | awk '$1 ~ /^-/ { print $8 }' | sort -u)
if [ "$(wc -l <<<"$dates")" -ne 1 ]; then
  echo "the zip's entries carry several dates: $(tr '\n' ' ' <<<"$dates")" >&2
  exit 1
fi
if zipinfo -v "$zip" | grep -q 'extra field contains'; then
  echo "the zip's entries carry extra fields (owner, times)" >&2
  exit 1
fi
(cd "$work/unpacked" && sha256sum --strict --quiet -c SHA256SUMS.txt) || {
  echo "SHA256SUMS.txt does not list every file of the package as it is" >&2
  exit 1
}
listed=$(tr -d '\r' <"$work/unpacked/SHA256SUMS.txt" | awk '{ print $2 }' | tr '\n' ' ')
if [ "$listed" != "$(sed -e 's|\./||g' -e 's|SHA256SUMS.txt ||' <<<"$expected")" ]; then
  echo "SHA256SUMS.txt lists $listed" >&2
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
  # No build time in the PE header: the same commit gives the same bytes.
  stamp=$(TZ=UTC "$objdump" -p "$work/unpacked/$binary" | awk -F '\t+' '$1 == "Time/Date" { print $2 }')
  if [ "$stamp" != "Thu Jan  1 00:00:00 1970" ]; then
    echo "$binary in the package carries a time stamp: $stamp" >&2
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
