#!/usr/bin/env bash
# Drives `holdout play` in a real terminal through tmux: starts it, starts a run, opens every
# spawner menu in turn, places a sandbag, turns it (its heading shows while it is held), sets it
# down, opens every menu again, and quits, reading the screen after each step. The menus are
# those of the plug-in's one list of them.
set -euo pipefail
holdout=$1

# The menus' titles in the order the menu key opens them: the list's title constants, each
# looked up where it is defined.
catalogues=$(dirname "$0")/../../src/spawner/catalogues.h
titles=()
while read -r name; do
  titles+=("$(sed -n "s/.* $name = \"\(.*\)\";/\1/p" "$catalogues")")
done < <(sed -n '/kSpawnerMenus = {{/,/}};/s/^ *{\(k[A-Za-z]*\),.*/\1/p' "$catalogues")
if [ "${#titles[@]}" -lt 2 ] || [[ " ${titles[*]} " == *"  "* ]]; then
  echo "the menus' titles were not found in $catalogues: '${titles[*]}'" >&2
  exit 1
fi
socket="holdout-play-$$"
tmux_() { tmux -L "$socket" "$@"; }
trap 'tmux_ kill-server 2>/dev/null || true' EXIT

tmux_ new-session -d -s play -x 120 -y 40 "$holdout play --seed 3; echo EXIT=\$?; sleep 30"

screen() { tmux_ capture-pane -p -t play; }
wait_for() {
  for _ in $(seq 1 100); do
    if screen | grep -q -- "$1"; then return 0; fi
    sleep 0.1
  done
  echo "never saw '$1' on the screen:" >&2
  screen >&2
  exit 1
}
wait_without() {
  for _ in $(seq 1 100); do
    if ! screen | grep -q -- "$1"; then return 0; fi
    sleep 0.1
  done
  echo "'$1' stayed on the screen:" >&2
  screen >&2
  exit 1
}
keys() { tmux_ send-keys -t play "$@"; sleep 0.3; }

wait_for "no run"
keys F3                      # away from the start: taken there
keys F3                      # at the start: the run begins
wait_for "Kills: "
wait_for "Time survived: "
# Every menu in turn, one key at a time (the plug-in keeps one release per key), then closed.
every_menu() {
  for title in "${titles[@]}"; do
    keys c
    wait_for "$title"
  done
  keys c
  wait_without "${titles[-1]}"
}
every_menu
for _ in "${titles[@]}"; do  # to the menu that holds the sandbag
  keys c
  if screen | grep -q "4: SANDBAG"; then break; fi
done
wait_for "4: SANDBAG"
keys 4                       # a sandbag, held in front of the player
wait_without "4: SANDBAG"
wait_for "held object heading "
heading() { screen | grep -o "held object heading [0-9]*"; }
held=$(heading)
keys Q Q Q                   # turned the other way (Shift through upper case)
[ "$(heading)" != "$held" ] || { echo "the held object's heading stayed: $held" >&2; exit 1; }
keys e                       # set down
wait_without "held object heading"
sleep 1
screen | head -n -2 | grep -q "o" || { echo "no object on the map" >&2; screen >&2; exit 1; }
every_menu
keys Escape
wait_for "EXIT=0"
echo "play in tmux: ok"
