#!/usr/bin/env bash
# Holds every #include of the plug-in, the settings-file reader, the simulated host, the read-only
# view of the plug-in and the tools to the rooms' floors: a room includes only from itself and the
# rooms below it. The plug-in has floors of its own: the frame loop on top, then survival (whose
# run's end cancels a placement, so it stands on the spawner), the spawner, the settings, and the
# ground (the host's seam and the platform, natives, keys, the screen). What players run
# (the player's commands, the binary reader beneath them, the settings-file reader) thereby
# carries nothing of the simulated game, the developer's commands or the read-only view that
# only what watches the plug-in uses. Each include is resolved as
# the build resolves it (a quoted name first beside the including file, then in the include
# folders); a name found in no folder of the project is a system or library header and passes.
# Prints each include that crosses a forbidden line with its file and line, and fails when there
# is any.
# Usage: scripts/check_layers.sh [ROOT]   (default: this checkout)
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"

# The include folders, in the order the build searches them.
include_folders=(src src/platform/portable sim tools .)

# The plug-in's ground: the files of src/ that every floor may stand on.
ground="src/runtime/host.h src/runtime/game_types.h src/runtime/native src/runtime/model_loading \
src/runtime/key src/runtime/screen src/platform/"

# Each room: the folder (or the start of the file names) it lives in, then the rooms it may
# include from besides itself. The first folder that holds a file names its room, so a room
# inside another comes first; the files of tools/ outside its rooms are the holdout command
# itself, the top floor. A file of src/ on none of the plug-in's floors is named as such, so a
# new file is given its floor here.
rooms=(
  "frame loop|src/runtime/script.|src/"
  "frame loop|src/runtime/frame_steps.h|src/"
  "survival feature|src/survival/|src/spawner/ src/settings/ $ground"
  "spawner feature|src/spawner/|src/settings/ $ground"
  "plug-in's settings|src/settings/|$ground"
  "settings-file reader|profile/|src/settings/"
  "simulated host|sim/|src/ profile/"
  "read-only view of the plug-in|observers/|src/"
  "sentences|tools/sentences/|"
  "binary reader|tools/binary_reader/|tools/sentences/"
  "player's commands|tools/player/|tools/binary_reader/ tools/sentences/ profile/ src/"
  "soak|tools/developer/soak/|src/ observers/ sim/ profile/"
  "developer's commands|tools/developer/|tools/player/ tools/binary_reader/ tools/sentences/ profile/ src/ observers/ sim/"
  "holdout command|tools/|src/ sim/ profile/"
)
for folder in $ground; do
  rooms+=("plug-in's ground|$folder|$ground")
done
rooms+=("plug-in off its floors|src/|")

# The room of a path: its name, folder and allowed folders, '|'-separated; empty outside them.
room_of() {
  local room folder
  for room in "${rooms[@]}"; do
    folder=${room#*|}
    folder=${folder%%|*}
    if [[ $1 == "$folder"* ]]; then
      echo "$room"
      return
    fi
  done
}

# The project file an include names, as a path from the root; empty for a header from outside.
resolve() {
  local including=$1 quoted=$2 name=$3 folder
  if [ "$quoted" = '"' ] && [ -f "$(dirname "$including")/$name" ]; then
    realpath -m --relative-to=. "$(dirname "$including")/$name"
    return
  fi
  for folder in "${include_folders[@]}"; do
    if [ -f "$folder/$name" ]; then
      realpath -m --relative-to=. "$folder/$name"
      return
    fi
  done
}

# An include line: the quote or bracket, and the name between it and its closing mark.
include_line='^[[:space:]]*#[[:space:]]*include[[:space:]]*(["<])([^">]+)[">]'
crossings=0
while IFS= read -r file; do
  room=$(room_of "$file")
  [ -n "$room" ] || continue
  name=${room%%|*}
  folder=${room#*|}
  allowed="${folder%%|*} ${folder#*|}"
  if [ "$name" = "plug-in off its floors" ]; then
    echo "$file: is on none of the plug-in's floors (give it one in scripts/check_layers.sh)"
    crossings=$((crossings + 1))
    continue
  fi
  while IFS=: read -r line text; do
    if [[ $text =~ $include_line ]]; then
      target=$(resolve "$file" "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}")
      [ -n "$target" ] || continue
      ok=false
      for prefix in $allowed; do
        [[ $target == "$prefix"* ]] && ok=true
      done
      if ! $ok; then
        target_room=$(room_of "$target")
        target_room=${target_room:+the ${target_room%%|*}}
        echo "$file:$line: includes $target (the $name may not include ${target_room:-$target})"
        crossings=$((crossings + 1))
      fi
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(find src profile sim observers tools -type f \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null | sort)

if [ "$crossings" -gt 0 ]; then
  echo "layers: $crossings include(s) across a room's floor above" >&2
  exit 1
fi
echo "layers: every include stays in its room or goes down"
