#!/usr/bin/env bash
# Plays the demo: the plug-in in the simulated game, on a fresh Debian machine. Installs what
# is missing, builds the Linux tools, and runs `holdout demo` with any arguments given.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target holdout >/dev/null
exec build/linux/tools/holdout demo "$@"
