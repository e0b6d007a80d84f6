#!/usr/bin/env bash
# Times the plug-in's frames under Wine, with the Windows C runtime and heap the game gives it:
# builds holdout_bench.exe (the frame benchmarks of bench/, cross-compiled with mingw-w64) and
# runs it under Wine. Google Benchmark is built from Debian's source package of the version the
# Linux benchmarks link, fetched once by apt-get (checked against the archive's signed index)
# into build/wine-bench. Arguments go to the benchmark, e.g. --benchmark_repetitions=5.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

out=$PWD/build/wine-bench
apt_dir=$out/apt
version=$(dpkg-query -W -f '${source:Version}' libbenchmark-dev)
upstream=${version%-*}
source_dir=$apt_dir/benchmark-$upstream
if [ ! -f "$source_dir/CMakeLists.txt" ]; then
  mkdir -p "$apt_dir/lists/partial"
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
    "http://deb.debian.org/debian $codename main" >"$apt_dir/sources.list"
  apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
    -o "Dir::State::Lists=$apt_dir/lists")
  apt-get "${apt_options[@]}" update
  (cd "$apt_dir" && apt-get "${apt_options[@]}" source "benchmark=$version")
fi

cmake -S . -B "$out/build" -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DHOLDOUT_WINE_BENCH=ON -DHOLDOUT_BENCHMARK_SOURCE="$source_dir" \
  -DHOLDOUT_BENCHMARK_VERSION="$upstream" \
  >/dev/null
cmake --build "$out/build" --target holdout_bench_exe

wine_dir=/usr/lib/wine
prefix=$out/wine-prefix
source win/tests/wine_session.sh
wine_run "$out/build/win/bin/holdout_bench.exe" "$@"
