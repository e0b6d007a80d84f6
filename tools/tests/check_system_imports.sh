#!/usr/bin/env bash
# Checks that a Windows program imports only from libraries every Windows provides (KERNEL32,
# ADVAPI32, which holds the access check, and the C runtime msvcrt): built with a static
# runtime, it runs from a folder of its own.
# Usage: check_system_imports.sh OBJDUMP PROGRAM
set -euo pipefail
objdump=$1 program=$2
imports=$("$objdump" -p "$program" | awk '/DLL Name:/ { print $3 }')
echo "$(basename "$program") imports from: $(tr '\n' ' ' <<<"$imports")"
for dll in $imports; do
  case "${dll,,}" in
    kernel32.dll | advapi32.dll | msvcrt.dll) ;;
    *)
      echo "FAIL: $(basename "$program") imports from $dll"
      exit 1
      ;;
  esac
done
echo "PASS"
