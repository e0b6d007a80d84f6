#!/usr/bin/env bash
# Installs the Debian packages Holdout needs to build and test, only those that are missing.
# Runs as root or through sudo; prints nothing when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-tidy llvm libclang-rt-14-dev valgrind
  libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32 wine64
  libncurses-dev tmux llvm-14 locales
  pkg-config libcairo2-dev fonts-dejavu-core
  zip unzip
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "bootstrap: missing packages (${missing[*]}) and neither root nor sudo to install them" >&2
  exit 1
fi

echo "bootstrap: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
