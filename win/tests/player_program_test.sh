#!/usr/bin/env bash
# Checks that holdout.exe carries only what players run: nothing of the simulated host or game
# (no symbol of sim::SimHost, sim::World or the native table in its debug information; the
# settings-file reader it shares with them is allowed).
# Usage: player_program_test.sh NM HOLDOUT_EXE_DEBUG
set -euo pipefail
nm=$1 debug=$2
simulated=$("$nm" -C "$debug" | grep -E 'sim::(SimHost|World|NativeTable|CallRecorder)\b' | head -5 || true)
if [ -n "$simulated" ]; then
  echo "FAIL: holdout.exe carries the simulated game:"
  echo "$simulated"
  exit 1
fi
echo "PASS: holdout.exe carries no part of the simulated game"
