#!/usr/bin/env bash
# Drives `holdout play` in a real terminal through tmux: starts it, starts a run, opens the
# spawner menus, places a sandbag, turns it (its heading shows while it is held), sets it down,
# and quits, reading the screen after each step.
set -euo pipefail
holdout=$1
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
keys c
wait_for "EXPLOSIVES"
keys c
wait_for "COVER"
wait_for "4: SANDBAG"
keys 4                       # a sandbag, held in front of the player
wait_without "COVER"
wait_for "held object heading "
heading() { screen | grep -o "held object heading [0-9]*"; }
held=$(heading)
keys Q Q Q                   # turned the other way (Shift through upper case)
[ "$(heading)" != "$held" ] || { echo "the held object's heading stayed: $held" >&2; exit 1; }
keys e                       # set down
wait_without "held object heading"
sleep 1
screen | head -n -2 | grep -q "o" || { echo "no object on the map" >&2; screen >&2; exit 1; }
keys c; keys c; keys c   # one at a time: the plug-in keeps one release per key
wait_for "MOUNTED WEAPONS"
keys c                       # closed again
wait_without "MOUNTED WEAPONS"
keys Escape
wait_for "EXIT=0"
echo "play in tmux: ok"
