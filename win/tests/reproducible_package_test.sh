#!/usr/bin/env bash
# Builds the player package twice from this checkout's commit, in two folders of different names
# and depths, one after the other, the second under another time zone and file mode mask, and
# compares byte for byte what comes out: the zip, Holdout.asi and holdout.exe, and their debug
# information (whose checksum each binary carries), which would differ wherever a build folder's
# name or a build time found its way in. Each build makes only the package's targets, with the
# given Linux holdout drawing the pictures, and without a compiler cache, which would hand the
# second build the first one's objects. Exits 77 (skipped) outside a git checkout.
# Usage: reproducible_package_test.sh SOURCE_DIR LINUX_HOLDOUT
set -euo pipefail
source_dir=$1 linux_holdout=$2
if ! commit=$(git -C "$source_dir" rev-parse --verify -q HEAD) ||
  [ "$(git -C "$source_dir" rev-parse --show-toplevel)" != "$(realpath "$source_dir")" ]; then
  echo "SKIP: $source_dir is not a git checkout"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER SOURCE_DATE_EPOCH
export CCACHE_DISABLE=1

# Builds the commit's package in FOLDER, under time zone ZONE and file mode mask MASK.
build() {
  local folder=$1 zone=$2 mask=$3 started=$SECONDS
  git clone -q --shared --no-checkout "$source_dir" "$folder"
  git -C "$folder" checkout -q --detach "$commit"
  (
    cd "$folder"
    umask "$mask"
    export TZ=$zone
    cmake --preset windows -DHOLDOUT_LINUX_HOLDOUT="$linux_holdout" >/dev/null
    cmake --build --preset windows --target package >"$folder.log" 2>&1 ||
      { tail -n 30 "$folder.log"; exit 1; }
  )
  echo "built $commit in $folder in $((SECONDS - started)) s"
}

build "$work/a/holdout" UTC 022
sleep 2
build "$work/second-place/further/down/holdout" Pacific/Auckland 002

failures=0
for file in "Holdout-*-win64.zip" win/bin/Holdout.asi win/bin/holdout.exe \
  win/bin/Holdout.asi.debug win/bin/holdout.exe.debug; do
  # shellcheck disable=SC2086 # the zip's name is a pattern
  first=$(ls "$work"/a/holdout/build/windows/$file)
  second=$(ls "$work"/second-place/further/down/holdout/build/windows/$file)
  if cmp -s "$first" "$second"; then
    echo "same bytes: $(basename "$first") ($(stat -c %s "$first") bytes)"
  else
    echo "FAIL: $(basename "$first") differs between the two builds: $(cmp "$first" "$second" || true)"
    failures=$((failures + 1))
  fi
done
for binary in Holdout.asi holdout.exe; do
  if grep -c -a -e "$work" "$work/a/holdout/build/windows/win/bin/$binary.debug" >/dev/null; then
    echo "FAIL: $binary's debug information names the build's folder $work"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
