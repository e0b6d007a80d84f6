#!/usr/bin/env bash
# Holds a binary players get to what it may carry: every function it imports must be on its
# allow-list (one "library function" per line, '#' comments), and its size must stay at or
# below its size line. Antivirus models read import tables, and a DLL loaded into a game that
# imports thread suspension or thread contexts looks like an injector: a new import is a choice
# made on purpose, by adding it to the list.
# Usage: binary_lean_test.sh PE_IMPORTS BINARY ALLOWED MAX_BYTES
set -euo pipefail
lister=$1 binary=$2 allowed=$3 max_bytes=$4
name=$(basename "$binary")

failures=0
imports=$("$lister" "$binary")
# Library names in lower case, as the lister writes them; function names as they are spelled.
listed=$(grep -v '^[[:space:]]*\(#\|$\)' "$allowed" | sort -u)
outside=$(comm -23 <(sort -u <<<"$imports") <(echo "$listed"))
if [ -n "$outside" ]; then
  echo "FAIL: $name imports what $(basename "$allowed") does not allow:"
  sed 's/^/  /' <<<"$outside"
  failures=$((failures + 1))
fi
for library in $(awk '{ print $1 }' <<<"$imports" | sort -u); do
  echo "$name imports $(grep -c "^$library " <<<"$imports") functions from $library"
done

size=$(stat -c %s "$binary")
echo "$name is $size bytes; its size line is $max_bytes"
if [ "$size" -gt "$max_bytes" ]; then
  echo "FAIL: $name has grown past its size line"
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
