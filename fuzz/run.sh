#!/usr/bin/env bash
# Builds the fuzz targets with clang++ in build/fuzz and runs them briefly: the settings file
# target, check-ini's target, the keyboard table target, then the PE reader's target, each for
# an equal share of the given time (default 28 s in all), or only the targets named.
# The corpus grows in build/fuzz/corpus; a crash leaves its input in build/fuzz/artifacts and
# fails the script. Usage: fuzz/run.sh [seconds [target...]]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-28}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(settings check_ini keyboard pe_image)
per_target=$(( (seconds + ${#targets[@]} - 1) / ${#targets[@]} ))
build=build/fuzz

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  seeds=()
  options=()
  case $target in
    settings)
      seeds=(fuzz/corpus/settings/* package/Holdout.ini)
      options=(-dict=fuzz/settings.dict) ;;
    # The shipped file and the edited files check-ini's report tests hold.
    check_ini)
      seeds=(package/Holdout.ini tools/tests/check_ini_reports/*.ini)
      options=(-dict=fuzz/settings.dict) ;;
    pe_image)
      seeds=(fuzz/corpus/pe_image/*)
      options=(-dict=fuzz/pe_image.dict) ;;
    *)
      seeds=(fuzz/corpus/"$target"/*) ;;
  esac
  for seed in "${seeds[@]}"; do
    [ -e "$corpus/seed-$(basename "$seed")" ] || cp "$seed" "$corpus/seed-$(basename "$seed")"
  done
  echo "== fuzz: $target, ${per_target} s"
  "$build/fuzz/${target}_fuzzer" "${options[@]}" -max_total_time="$per_target" -max_len=4096 \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" "$corpus" \
    2>"$build/$target.log" || { tail -n 40 "$build/$target.log" >&2; exit 1; }
  grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)|^#[0-9]+ *DONE' \
    "$build/$target.log" || true
done
