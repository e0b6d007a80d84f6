#!/usr/bin/env bash
# Runs every test of Holdout on a fresh Debian machine: installs what is missing, then builds
# and tests the Linux suite, the naming rule over the sources (clang-tidy), the sanitizer builds
# (ASan+UBSan with the whole suite, TSan with the tests that start threads), a short fuzzing
# run, and the Windows cross-build with its checks, the real plug-in under Wine and the player
# package. Ends with a table of its stages and their times, and the tests passed and failed.
set -euo pipefail
cd "$(dirname "$0")/.."

stage_names=()
stage_seconds=()
stage=""
stage_started=0
tests_passed=0
tests_failed=0

summary() {
  local status=$?
  if [ -n "$stage" ]; then
    stage_names+=("$stage (failed)")
    stage_seconds+=($((SECONDS - stage_started)))
  fi
  echo
  echo "== summary"
  local i
  for i in "${!stage_names[@]}"; do
    printf '  %-22s %5d s\n' "${stage_names[$i]}" "${stage_seconds[$i]}"
  done
  printf '  %-22s %5d s\n' "total" "$SECONDS"
  echo "  tests: $tests_passed passed, $tests_failed failed"
  [ "$status" -eq 0 ] && echo "  all stages passed" || echo "  FAILED"
}
trap summary EXIT

# Runs one stage: NAME COMMAND...
run_stage() {
  stage=$1
  stage_started=$SECONDS
  shift
  echo "== $stage"
  "$@"
  stage_names+=("$stage")
  stage_seconds+=($((SECONDS - stage_started)))
  stage=""
}

# Runs a preset's tests and adds them to the totals.
run_tests() {
  local log status=0
  log=$(mktemp)
  ctest --preset "$1" --parallel 2 2>&1 | tee "$log" || status=$?
  local line
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    tests_failed=$((tests_failed + BASH_REMATCH[1]))
    tests_passed=$((tests_passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  fi
  rm -f "$log"
  return "$status"
}

# Configures and builds a preset; further arguments go to the configuration.
build_preset() {
  local preset=$1
  shift
  cmake --preset "$preset" "$@" >/dev/null
  cmake --build --preset "$preset"
}

run_stage "packages" scripts/bootstrap.sh
run_stage "linux build" build_preset linux
run_stage "linux tests" run_tests linux
run_stage "names" scripts/check_names.sh build/linux
run_stage "asan build" build_preset asan
run_stage "asan tests" run_tests asan
run_stage "tsan build" build_preset tsan
run_stage "tsan tests" run_tests tsan
run_stage "fuzz" fuzz/run.sh
# The package's pictures and the Linux doctor's tests take the holdout command built above.
run_stage "windows build" build_preset windows -DHOLDOUT_LINUX_HOLDOUT="$PWD/build/linux/tools/holdout"
run_stage "windows tests" run_tests windows
