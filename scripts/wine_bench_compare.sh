#!/usr/bin/env bash
# Compares the plug-in's frames under Wine with an earlier commit's, side by side in one run.
# Builds holdout_bench.exe for this tree (scripts/wine_bench.sh) and for COMMIT, in a worktree
# this script makes under build/wine-bench/against and removes again, with COMMIT's own
# scripts/wine_bench.sh; then runs the two in turn, ROUNDS times each (5 unless given), and
# prints per state the median over the rounds of each build's floor (its natives made again
# with no logic between them), its own time (its frame less that floor), the caption copies of
# an open menu where the build times them, and its net time (its frame less the host's round
# trip). Times move with the machine's other work: run it on a quiet machine.
#
#   scripts/wine_bench_compare.sh COMMIT [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ]; then
  echo "usage: $0 COMMIT [ROUNDS]" >&2
  exit 2
fi
commit=$(git rev-parse --short "$1")
rounds=${2:-5}

against=$PWD/build/wine-bench/against/$commit
results=$(mktemp)
cleanup() {
  rm -f "$results"
  git worktree remove --force "$against" 2>/dev/null || true
}
trap cleanup EXIT

scripts/wine_bench.sh --benchmark_filter=NONE >/dev/null
if [ ! -d "$against" ]; then
  git worktree add --detach "$against" "$commit" >/dev/null
fi
# The earlier tree fetches Google Benchmark's source again unless it finds this tree's copy.
mkdir -p "$against/build/wine-bench"
[ -d "$against/build/wine-bench/apt" ] || cp -r build/wine-bench/apt "$against/build/wine-bench/"
(cd "$against" && scripts/wine_bench.sh --benchmark_filter=NONE >/dev/null)

wine_dir=/usr/lib/wine
prefix=$PWD/build/wine-bench/wine-prefix
source win/tests/wine_session.sh

# Runs one build's benchmarks and appends "BUILD STATE MEASURE VALUE" lines to the results. The
# benchmark's JSON report gives each figure on a line of its own, "NAME": VALUE.
run_build() {
  local build=$1 exe=$2
  wine_run "$exe" --benchmark_format=json 2>/dev/null | tr -d '\r' | awk -v build="$build" '
    function finish() {
      if (state != "" && ("own ns/frame" in value)) {
        floor = ("floor ns/frame" in value) ? value["floor ns/frame"] \
                                             : value["ns/native"] * value["natives/frame"]
        print build, state, "floor", floor
        print build, state, "own", value["own ns/frame"]
        print build, state, "net", value["real_time"] - value["round trip ns/frame"]
        if ("caption copies ns/frame" in value)
          print build, state, "captions", value["caption copies ns/frame"]
      }
      state = ""
      delete value
    }
    /^ *"name": / { finish(); state = $0; sub(/^ *"name": "/, "", state); sub(/",?$/, "", state) }
    /^ *"[^"]+": -?[0-9]/ {
      key = $0; sub(/^ *"/, "", key); sub(/": .*$/, "", key)
      number = $0; sub(/^.*": /, "", number); sub(/,$/, "", number)
      value[key] = number + 0
    }
    END { finish() }' >>"$results"
}

for round in $(seq "$rounds"); do
  echo "round $round of $rounds" >&2
  run_build "$commit" "$against/build/wine-bench/build/win/bin/holdout_bench.exe"
  run_build now build/wine-bench/build/win/bin/holdout_bench.exe
done

# The median of each build's measure per state, then one row per state.
sort -k1,1 -k2,2 -k3,3 -k4,4g "$results" | awk -v before="$commit" '
  function flush() {
    if (count == 0) return
    median[key] = values[int((count + 1) / 2)]
    count = 0
  }
  {
    k = $1 SUBSEP $2 SUBSEP $3
    if (k != key) { flush(); key = k; if (!($2 in seen)) { seen[$2] = 1; states[++n] = $2 } }
    values[++count] = $4
  }
  END {
    flush()
    printf "ns per frame, medians; own = frame less floor, net = frame less the host round trip\n"
    printf "%-20s %8s %8s %10s %10s %10s %10s %12s\n", "state", "floor", "floor", "own", "own", \
           "net", "net", "captions"
    printf "%-20s %8s %8s %10s %10s %10s %10s %12s\n", "", before, "now", before, "now", before, \
           "now", "now"
    for (i = 1; i <= n; i++) {
      s = states[i]
      printf "%-20s %8.0f %8.0f %10.0f %10.0f %10.0f %10.0f %12s\n", s, \
             median[before, s, "floor"], median["now", s, "floor"], median[before, s, "own"], \
             median["now", s, "own"], median[before, s, "net"], median["now", s, "net"], \
             ((("now", s, "captions") in median) ? sprintf("%.0f", median["now", s, "captions"]) : "")
    }
  }'
