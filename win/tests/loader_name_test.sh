#!/usr/bin/env bash
# Holds doctor's check of a plug-in loader named after a library other than dinput8.dll to what
# Wine does with the game. VersionUser.exe, standing in for a game that imports version.dll and
# calls it as it starts, is run as Game.exe under Wine beside the stand-in loader: once under the
# name version.dll, which lacks what the game imports from it, and once under dinput8.dll, which
# the game does not import. doctor must call the first loader a PROBLEM and not the second; Wine
# must stop the first game before it starts and run the second.
# Usage: loader_name_test.sh GAME LOADER HOLDOUT OUT WINE_DIR PREFIX
set -euo pipefail
game=$1 loader=$2 holdout=$3 out=$4 wine_dir=$5 prefix=$6
source "$(dirname "$0")/wine_session.sh"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;version=n,b"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

rm -rf "$out"
mkdir -p "$out"
for name in version dinput8; do
  mkdir "$out/$name"
  cp "$game" "$out/$name/Game.exe"
  cp "$loader" "$out/$name/$name.dll"
  report=$("$holdout" doctor "$out/$name" 2>&1 || true)
  loader_line=$(grep "^plug-in loader $name.dll: " <<<"$report" || true)
  started=$( (cd "$out/$name" && wine_run Game.exe 2>/dev/null) | tr -d '\r' || true)
  echo "$name.dll: doctor '${loader_line}'; Wine: '${started%%$'\n'*}'"
  if [ "$name" = version ]; then
    [[ $loader_line == *PROBLEM* ]] || fail "doctor does not call version.dll a problem"
    grep -q "it lacks functions Game.exe imports from version.dll" <<<"$report" ||
      fail "doctor does not say what version.dll lacks"
    [ "$started" != started ] || fail "Wine started the game beside a version.dll that lacks its imports"
  else
    [[ $loader_line != *PROBLEM* && -n $loader_line ]] || fail "doctor calls dinput8.dll: '$loader_line'"
    [ "$started" = started ] || fail "Wine did not start the game beside the loader as dinput8.dll"
  fi
done
if [ "$failures" -eq 0 ]; then
  rm -rf "$out"
  echo "doctor and Wine agree on both loaders"
fi
[ "$failures" -eq 0 ]
