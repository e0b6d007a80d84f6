#!/usr/bin/env bash
# Reads the version resource of each Windows binary players get, as llvm-readobj dumps it: the
# fixed part's file and product versions (numbers) and the FileVersion and ProductVersion
# strings must all be the project's version, and the SourceCommit string the commit the build
# wrote into COMMIT_HEADER; then holdout.exe, run under Wine, must print the same with
# --version and in doctor's output.
# Usage: version_resource_test.sh LLVM_READOBJ VERSION COMMIT_HEADER WINE_DIR PREFIX HOLDOUT_DLL
#                                 HOLDOUT_EXE
set -euo pipefail
readobj=$1 version=$2 commit_header=$3 wine_dir=$4 prefix=$5
shift 5
commit=$(sed -n 's/^#define HOLDOUT_SOURCE_COMMIT "\(.*\)"$/\1/p' "$commit_header")
[ -n "$commit" ] || { echo "FAIL: $commit_header names no commit"; exit 1; }
if [ "$commit" = unknown ]; then
  build="$version (unknown commit)"
else
  build="$version (commit $commit)"
fi
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The version resource's bytes, as hex, from the dump's Data block under VERSIONINFO.
resource_hex() {
  "$readobj" --coff-resources "$1" | awk '
    /Type: VERSIONINFO/ { inside = 1 }
    inside && /Data \(/ { data = 1; next }
    data && /^ *\)/ { exit }
    data { for (i = 2; i <= 5; ++i) if ($i ~ /^[0-9A-F]+$/) printf "%s", $i }'
}

# Prints "FIXED-FILE FIXED-PRODUCT FileVersion ProductVersion SourceCommit" of the resource in
# hex on stdin.
read_versions() {
  perl -e '
    my $bytes = pack("H*", <STDIN>);
    my $at = index($bytes, pack("V", 0xFEEF04BD));
    die "no fixed file information\n" if $at < 0;
    my (undef, undef, $fileMs, $fileLs, $productMs, $productLs) = unpack("V6", substr($bytes, $at));
    my $text = join("", map { chr } unpack("v*", $bytes));
    my ($fileString) = $text =~ /FileVersion\0+([^\0]*)/;
    my ($productString) = $text =~ /ProductVersion\0+([^\0]*)/;
    my ($commitString) = $text =~ /SourceCommit\0+([^\0]*)/;
    printf("%d.%d.%d.%d %d.%d.%d.%d %s %s %s\n", $fileMs >> 16, $fileMs & 0xFFFF, $fileLs >> 16,
           $fileLs & 0xFFFF, $productMs >> 16, $productMs & 0xFFFF, $productLs >> 16,
           $productLs & 0xFFFF, $fileString // "none", $productString // "none",
           $commitString // "none");'
}

for binary in "$@"; do
  hex=$(resource_hex "$binary")
  if [ -z "$hex" ]; then
    fail "$(basename "$binary") carries no version resource"
    continue
  fi
  found=$(read_versions <<<"$hex") || { fail "$(basename "$binary"): $found"; continue; }
  echo "$(basename "$binary"): $found"
  [ "$found" = "$version.0 $version.0 $version $version $commit" ] ||
    fail "$(basename "$binary") carries '$found', not version $version of commit $commit"
done

source "$(dirname "$0")/wine_session.sh"
holdout_exe=${*: -1}
printed=$(wine_run "$holdout_exe" --version | tr -d '\r')
[ "$printed" = "holdout $build" ] || fail "holdout.exe --version printed '$printed'"
folder=$(mktemp -d)
trap 'rm -rf "$folder"; wine_session_stop' EXIT
doctor=$(cd "$folder" && wine_run "$holdout_exe" doctor | tr -d '\r') || true
grep -qxF "holdout.exe version $build" <<<"$doctor" ||
  fail "doctor printed no line 'holdout.exe version $build'"

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
