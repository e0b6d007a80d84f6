#!/usr/bin/env bash
# Runs `holdout check-ini` (the Linux build, or holdout.exe under Wine) on every settings file of
# a corpus and compares its report and exit code with those recorded beside the file (NAME.ini,
# NAME.report), so that both builds are held to the same reports.
# Usage: check_ini_reports.sh native HOLDOUT CORPUS_DIR
#        check_ini_reports.sh wine WINE_DIR PREFIX HOLDOUT_EXE CORPUS_DIR
set -euo pipefail
source "$(dirname "$0")/holdout_runner.sh"
shift "$runner_arguments"
corpus=$1
trap runner_stop EXIT

failures=0
for ini in "$corpus"/*.ini; do
  name=$(basename "$ini" .ini)
  status=0
  report=$(cd "$corpus" && run_holdout check-ini "$name.ini") || status=$?
  echo "check-ini $name.ini -> exit $status"
  if ! diff -u --label "$name.report" --label "check-ini $name.ini" "$corpus/$name.report" \
    <(printf '%s\nexit %s\n' "$report" "$status"); then
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
