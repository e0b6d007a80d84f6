#!/usr/bin/env bash
# Checks the facts the game's loader meets in Holdout.asi's headers and tables: a PE32+ x86-64
# DLL, exporting DllMain alone, importing only from KERNEL32, the C runtime (msvcrt) and the
# script host, so no C++ runtime, libgcc or threads DLL need be installed beside it, and no
# formatted input from the C runtime. Which names it imports from the host is
# host_names_test.sh's check.
# Usage: check_imports.sh OBJDUMP HOLDOUT_DLL
set -euo pipefail
objdump=$1 plugin=$2

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

dump=$("$objdump" -p "$plugin")
grep -q 'file format pei-x86-64' <<<"$dump" || fail "$plugin is not a PE32+ x86-64 image"
grep -q '^Magic[[:space:]]*020b' <<<"$dump" || fail "$plugin has no PE32+ optional header"
grep -qE '^[[:space:]]+DLL$' <<<"$dump" || fail "$plugin is not marked as a DLL"

imports=$(awk '/DLL Name:/ { print $3 }' <<<"$dump")
echo "Holdout.asi imports from: $(tr '\n' ' ' <<<"$imports")"
for dll in $imports; do
  case "${dll,,}" in
    kernel32.dll | msvcrt.dll | scripthookfrontier.dll) ;;
    *) fail "Holdout.asi imports from $dll" ;;
  esac
done
grep -qix 'ScriptHookFrontier.dll' <<<"$imports" || fail "Holdout.asi imports nothing from the host"
grep -qix 'KERNEL32.dll' <<<"$imports" || fail "Holdout.asi imports nothing from KERNEL32.dll"

# The position comparison's probe stands for Holdout.asi only while both carry their own
# formatted-input functions, so Holdout.asi must take none from the C runtime DLL.
scanf_imports=$(grep -Eiw '[a-z_]*scanf[a-z_]*' <<<"$dump" || true)
[ -z "$scanf_imports" ] || fail "Holdout.asi imports formatted input from the C runtime: $scanf_imports"

exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { listing = 1; next }
               listing && /^\t\[/ { print $NF; next }
               listing { exit }' <<<"$dump")
echo "Holdout.asi exports: $(tr '\n' ' ' <<<"$exports")"
[ "$exports" = "DllMain" ] || fail "Holdout.asi must export DllMain and nothing else"

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
