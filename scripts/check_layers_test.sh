#!/usr/bin/env bash
# The layering check on a small house of its own: every room holding a file that includes only
# what its floor allows passes; then one include planted across each kind of forbidden line (the
# player's commands into the simulated host, into the developer's commands and into the holdout
# command; the binary reader into the player's commands; the settings-file reader into the
# simulated host; the plug-in into the tools; the read-only view into the developer's commands;
# within the plug-in, the settings into a feature, the spawner into survival, the ground into
# the settings and a feature into the frame loop) must fail, naming the file and line, and so
# must a file of the plug-in on none of its floors.
set -euo pipefail
check=$(dirname "$0")/check_layers.sh
house=$(mktemp -d)
trap 'rm -rf "$house"' EXIT
failures=0

put() {  # put FILE INCLUDE...: FILE with a purpose line and the includes, one a line
  mkdir -p "$house/$(dirname "$1")"
  local file=$1
  shift
  {
    echo "// a file of the test house"
    for name in "$@"; do echo "#include \"$name\""; done
    echo "#include <string>"
  } >"$house/$file"
}

put src/runtime/host.h
put src/runtime/keyboard.h "runtime/host.h"
put src/settings/profile_source.h "runtime/keyboard.h"
put src/settings/log.cpp "runtime/host.h"
put src/spawner/placement.h "settings/profile_source.h" "runtime/keyboard.h"
put src/survival/run.h "spawner/placement.h" "settings/profile_source.h"
put src/runtime/script.h "survival/run.h" "spawner/placement.h" "settings/profile_source.h"
put profile/profile_reader.h "settings/profile_source.h"
put sim/core/sim_host.h "runtime/keyboard.h" "profile/profile_reader.h"
put observers/plugin_view.h "runtime/script.h"
put tools/sentences/text.h
put tools/binary_reader/pe_image.h "sentences/text.h"
put tools/player/doctor.h "binary_reader/pe_image.h" "profile/profile_reader.h" "runtime/keyboard.h"
put tools/player/posix/file_access.cpp "player/doctor.h"
put tools/developer/demo.h "player/doctor.h" "core/sim_host.h" "observers/plugin_view.h"
put tools/commands.cpp "developer/demo.h" "player/doctor.h"

if ! output=$(bash "$check" "$house" 2>&1); then
  echo "FAIL: a house whose includes all go down was refused:"
  echo "$output"
  failures=$((failures + 1))
fi

# plant FILE INCLUDE: the check must fail and name FILE at the planted line, then the house is
# as before.
plant() {
  local file=$1 name=$2 output status=0
  cp "$house/$file" "$house/$file.kept"
  echo "#include \"$name\"" >>"$house/$file"
  local line
  line=$(wc -l <"$house/$file")
  output=$(bash "$check" "$house" 2>&1) || status=$?
  if [ "$status" -eq 0 ] || ! grep -qF "$file:$line: includes" <<<"$output"; then
    echo "FAIL: $file including $name was not named at line $line (exit $status):"
    echo "$output"
    failures=$((failures + 1))
  fi
  mv "$house/$file.kept" "$house/$file"
}

plant tools/player/doctor.h "core/sim_host.h"
plant tools/player/posix/file_access.cpp "developer/demo.h"
plant tools/player/doctor.h "commands.cpp"
plant tools/binary_reader/pe_image.h "player/doctor.h"
plant profile/profile_reader.h "core/sim_host.h"
plant src/runtime/keyboard.h "profile/profile_reader.h"
plant tools/sentences/text.h "binary_reader/pe_image.h"
plant observers/plugin_view.h "developer/demo.h"
plant src/settings/log.cpp "spawner/placement.h"
plant src/spawner/placement.h "survival/run.h"
plant src/runtime/keyboard.h "settings/profile_source.h"
plant src/survival/run.h "runtime/script.h"

# A file of the plug-in outside every floor must be named, and the house is as before.
put src/extras/stray.h
status=0
output=$(bash "$check" "$house" 2>&1) || status=$?
if [ "$status" -eq 0 ] || ! grep -qF "src/extras/stray.h: is on none" <<<"$output"; then
  echo "FAIL: a file of the plug-in on no floor was not named (exit $status):"
  echo "$output"
  failures=$((failures + 1))
fi
rm -r "$house/src/extras"

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
