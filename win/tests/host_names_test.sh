#!/usr/bin/env bash
# Holds the plug-in's binding to the script host against an independent mangler. Every function
# host.h declares is compiled with clang for the MSVC target, as the real host's declarations
# were, and the decorated names clang imports are the names the host exports. Holdout.asi must
# import exactly those from ScriptHookFrontier.dll, the stand-in host must export each of them
# and none of the nine under a GCC symbol, and the .def file must bind exactly them. Names that
# differ are printed as readable signatures.
# Usage: host_names_test.sh CLANG LLVM_NM LLVM_UNDNAME OBJDUMP SRC_DIR MSVC_TYPES_DIR DEF_FILE
#                           HOLDOUT_DLL STAND_IN_DLL WORK_DIR
set -euo pipefail
clang=$1 nm=$2 undname=$3 objdump=$4 src=$5 msvc_types=$6 def_file=$7 plugin=$8 stand_in=$9
work=${10}/host_names
mkdir -p "$work"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Prints each name of the list in $2 that is missing from the list in $3, readably, after $1.
report_missing() {
  local what=$1 name
  while read -r name; do
    [ -n "$name" ] || continue
    fail "$what: $name"
    echo "      $("$undname" "$name" | sed -n 2p)"
  done < <(comm -23 <(sort -u <<<"$2") <(sort -u <<<"$3"))
}

# 1. The functions host.h declares, and the names Microsoft's compiler gives them.
functions=$(grep -oE '^HOLDOUT_HOST_API[^(]*\b[A-Za-z_][A-Za-z0-9_]*\(' "$src/runtime/host.h" |
            sed -E 's/.*\b([A-Za-z_][A-Za-z0-9_]*)\($/\1/')
[ -n "$functions" ] || fail "no host function found in $src/runtime/host.h"
{
  echo '#include "runtime/host.h"'
  echo '// Taking each address imports the function, under the name the host exports.'
  echo 'extern const void* const kHostFunctions[] = {'
  for function in $functions; do echo "  reinterpret_cast<const void*>(&$function),"; done
  echo '};'
} >"$work/host_functions.cpp"
"$clang" --target=x86_64-pc-windows-msvc -fms-extensions -std=c++20 -c -I "$msvc_types" -I "$src" \
  "$work/host_functions.cpp" -o "$work/host_functions.obj"
expected=$("$nm" --undefined-only --format=just-symbols "$work/host_functions.obj" |
           sed -n 's/^__imp_//p' | sort)
echo "host.h declares $(wc -w <<<"$functions") functions; Microsoft's compiler names them:"
while read -r name; do echo "  $name   $("$undname" "$name" | sed -n 2p)"; done <<<"$expected"
[ "$(wc -l <<<"$expected")" -eq "$(wc -w <<<"$functions")" ] ||
  fail "clang named $(wc -l <<<"$expected") imports for $(wc -w <<<"$functions") functions"

# 2. What Holdout.asi imports from the host.
plugin_dump=$("$objdump" -p "$plugin")
imported=$(awk '
  /^\tDLL Name: / { in_host = (tolower($3) == "scripthookfrontier.dll"); next }
  in_host && /^\t[ \t]*[0-9a-f]+[ \t]+[0-9]+[ \t]+[^ \t]+$/ { print $NF }
  /^$/ { in_host = 0 }' <<<"$plugin_dump" | sort)
report_missing "Holdout.asi does not import the host's" "$expected" "$imported"
report_missing "Holdout.asi imports a name the host does not export" "$imported" "$expected"

# 3. What the stand-in host exports: the nine under their MSVC names, none under a GCC symbol.
stand_in_dump=$("$objdump" -p "$stand_in")
exported=$(awk '
  /^\[Ordinal\/Name Pointer\] Table/ { listing = 1; next }
  listing && /^\t\[/ { print $NF; next }
  listing { exit }' <<<"$stand_in_dump" | sort)
report_missing "the stand-in host does not export" "$expected" "$exported"
for function in $functions; do
  gcc_name=$(grep -E "^_Z[0-9]+${function}[^A-Za-z0-9_]" <<<"$exported" || true)
  [ -z "$gcc_name" ] || fail "the stand-in host exports $function as $gcc_name"
done

# 4. The .def file binds exactly these names.
bound=$(awk '$2 == "==" { print $3 }' "$def_file" | sort)
report_missing "$(basename "$def_file") does not bind" "$expected" "$bound"
report_missing "$(basename "$def_file") binds a name host.h does not declare" "$bound" "$expected"

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
