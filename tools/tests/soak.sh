#!/usr/bin/env bash
# A short soak of the holdout command (the Linux build, or holdout-soak.exe under Wine), in the
# calm world, with --churn, and with allocations failing as the only faults: each must end with
# "N frames, 0 violations" and exit 0, and the last must have failed allocations.
# Usage: soak.sh native HOLDOUT FRAMES
#        soak.sh wine WINE_DIR PREFIX HOLDOUT_EXE FRAMES
set -euo pipefail
source "$(dirname "$0")/holdout_runner.sh"
shift "$runner_arguments"
frames=$1
trap runner_stop EXIT

for world in "" --churn "--faults allocation-fails"; do
  status=0
  report=$(run_holdout soak --frames "$frames" --seed 11 $world) || status=$?
  echo "$report"
  last=$(tail -n 1 <<<"$report")
  if [ "$status" -ne 0 ] || [ "$last" != "$frames frames, 0 violations" ]; then
    echo "FAIL: soak ${world:-(calm)} exited $status, ending '$last'"
    exit 1
  fi
done
if ! grep -q '^faults by kind: allocation-fails [1-9]' <<<"$report"; then
  echo "FAIL: no allocation failed in the soak of --faults allocation-fails"
  exit 1
fi
echo "PASS"
