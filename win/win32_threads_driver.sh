#!/bin/sh
# A compiler launcher: runs the command CMake gives with DRIVER in place of its compiler, the
# command's first word. What players get is compiled and linked this way by the Win32-threads
# flavour of the toolchain's own mingw-w64 GCC (win/players_runtime.cmake).
# Usage: win32_threads_driver.sh DRIVER COMPILER ARGUMENT...
driver=$1
shift 2
exec "$driver" "$@"
