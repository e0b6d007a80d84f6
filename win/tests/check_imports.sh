#!/usr/bin/env bash
# Checks the Windows binaries' tables: Holdout.dll must be a 64-bit DLL that imports only from
# KERNEL32, the C runtime (msvcrt) and the script host, and exports DllMain alone; the stand-in
# host must export every host function listed in the .def file Holdout.dll links against.
# Usage: check_imports.sh OBJDUMP HOLDOUT_DLL STAND_IN_DLL DEF_FILE
set -euo pipefail
objdump=$1 plugin=$2 stand_in=$3 def_file=$4

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The names under "[Ordinal/Name Pointer] Table" in objdump -p output.
exported_names() {
  awk '/^\[Ordinal\/Name Pointer\] Table/ { listing = 1; next }
       listing && /^\t\[/ { print $NF; next }
       listing { exit }'
}

dump=$("$objdump" -p "$plugin")
grep -q 'file format pei-x86-64' <<<"$dump" || fail "$plugin is not a 64-bit PE image"

imports=$(awk '/DLL Name:/ { print $3 }' <<<"$dump")
echo "Holdout.dll imports from: $(tr '\n' ' ' <<<"$imports")"
for dll in $imports; do
  case "${dll,,}" in
    kernel32.dll | msvcrt.dll | scripthookfrontier.dll) ;;
    *) fail "Holdout.dll imports from $dll" ;;
  esac
done
grep -qix 'ScriptHookFrontier.dll' <<<"$imports" || fail "Holdout.dll imports nothing from the host"
grep -qix 'KERNEL32.dll' <<<"$imports" || fail "Holdout.dll imports nothing from KERNEL32.dll"

exports=$(exported_names <<<"$dump")
echo "Holdout.dll exports: $(tr '\n' ' ' <<<"$exports")"
[ "$exports" = "DllMain" ] || fail "Holdout.dll must export DllMain and nothing else"

stand_in_dump=$("$objdump" -p "$stand_in")
stand_in_exports=$(exported_names <<<"$stand_in_dump")
host_functions=$(awk '/^EXPORTS/ { listing = 1; next } listing && NF { print $1 }' "$def_file")
[ "$(wc -l <<<"$host_functions")" -eq 9 ] || fail "$def_file does not list nine host functions"
for name in $host_functions; do
  grep -qx "$name" <<<"$stand_in_exports" || fail "the stand-in host does not export $name"
done

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
