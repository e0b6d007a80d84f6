#!/usr/bin/env bash
# Builds the fuzz targets with clang++ in build/fuzz and runs them briefly: the settings file
# target, the keyboard table target, then the PE reader's target, each for a third of the given
# time (default 20 s in all).
# The corpus grows in build/fuzz/corpus; a crash leaves its input in build/fuzz/artifacts and
# fails the script. Usage: fuzz/run.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
per_target=$(( (seconds + 2) / 3 ))
build=build/fuzz

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

mkdir -p "$build/artifacts"
for target in settings keyboard pe_image; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  seeds=(fuzz/corpus/"$target"/*)
  options=()
  if [ "$target" = settings ]; then
    seeds+=(package/Holdout.ini)
    options+=(-dict=fuzz/settings.dict)
  elif [ "$target" = pe_image ]; then
    options+=(-dict=fuzz/pe_image.dict)
  fi
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
