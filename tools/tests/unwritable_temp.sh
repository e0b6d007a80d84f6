#!/usr/bin/env bash
# With a temporary directory where nothing can be made, `holdout demo` and `holdout play` must
# stop with a message and a non-zero exit, and leave the directory they were started from, and
# every file in it, as it was.
set -euo pipefail
holdout=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/game"
printf 'keep me\n' >"$work/game/notes.txt"
mkdir "$work/game/saves"
printf 'slot 1\n' >"$work/game/saves/one.sav"
before=$(cd "$work/game" && find . -type f -exec sha256sum {} + | sort)

failures=0
for unwritable in /proc /nonexistent-temp-dir; do
  for command in demo play; do
    status=0
    message=$(cd "$work/game" && TMPDIR=$unwritable "$holdout" "$command" 2>&1 </dev/null) ||
      status=$?
    after=$(cd "$work/game" && find . -type f -exec sha256sum {} + | sort)
    echo "TMPDIR=$unwritable holdout $command -> exit $status: $message"
    if [ "$status" -eq 0 ] || ! grep -q "cannot make a directory for the session" <<<"$message"; then
      echo "FAIL: expected a non-zero exit and a message"
      failures=$((failures + 1))
    fi
    if [ "$before" != "$after" ]; then
      echo "FAIL: the working directory changed"
      failures=$((failures + 1))
    fi
  done
done
[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
