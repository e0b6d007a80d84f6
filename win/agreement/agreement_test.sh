#!/usr/bin/env bash
# Measures how `holdout doctor` agrees with the system's loader. make_damaged_copies makes one
# game folder per damaged copy of the plug-in or the host; LoaderProbe.exe loads each folder's
# plug-in under Wine, one process per folder; doctor judges the same folders meanwhile. Where the
# loader refuses, doctor must exit 1 and call the damaged file a PROBLEM; where it loads, doctor
# must not call that file a PROBLEM (it may still exit 1, for the plug-in loader the folders lack).
# The folder "intact" must load and be judged sound.
# Wine is more lenient than Windows in places, and there doctor holds to Windows; and a few
# damaged files load under both, to crash at the first call through the damage, which doctor
# reports too. The table below lists each case where Wine loads what doctor calls broken, with
# its reason. A second table lists the cases where whether Wine loads the file depends on where
# the build's sections lie; doctor must call those broken, and either answer of the loader holds.
# A case in the first table that doctor and Wine agree on is a disagreement too: the table must say
# what is measured. Prints `N files, D disagreements` and fails when D > 0; the folders are
# removed when all agree.
# Usage: agreement_test.sh MAKE_COPIES PLUGIN HOST PROBE HOLDOUT OUT WINE_DIR PREFIX
set -euo pipefail
make_copies=$1 plugin=$2 host=$3 probe=$4 holdout=$5 out=$6 wine_dir=$7 prefix=$8
source "$(dirname "$0")/../tests/wine_session.sh"

# Cases where Wine loads what doctor calls broken, and why doctor holds to that.
declare -A stricter
adjacent="the image format requires sections ascending and adjacent in memory, and Windows \
refuses others; Wine maps each section where its header says"
alignment="the image format requires the sections' alignment in memory to be no smaller than \
in the file; Wine takes an alignment of 0 as a page"
missing="Windows refuses an import its library does not export (error 127); Wine binds it to a \
stub that fails when called"
for file in plugin host; do
  for section in text edata idata; do
    stricter[$file-section-$section-virtual-size-into-next]=$adjacent
  done
  stricter[$file-section-alignment-zero]=$alignment
  stricter[$file-file-alignment-above-section]=$alignment
done
stricter[plugin-section-count-one-more]="$adjacent (the added, empty section lies at address 0)"
stricter[host-section-count-one-more]=${stricter[plugin-section-count-one-more]}
stricter[plugin-section-last-address-of-previous]=$adjacent
stricter[host-section-last-address-of-previous]=$adjacent
stricter[plugin-import-entry-wait-high-bits]="the image format requires bits 31 to 62 of an \
import entry naming a function to be zero; Wine drops the high half"
stricter[plugin-import-entry-register-high-bits]=${stricter[plugin-import-entry-wait-high-bits]}
stricter[host-export-wait-address-past-end]="Windows and Wine both bind scriptWait to an \
address outside the host's image: the plug-in's first frame crashes calling it"

# Cases where doctor calls the file broken and whether Wine loads it depends on the build's
# layout, with why. Doctor must call the file a PROBLEM; the loader may load it or refuse it.
declare -A varies
for file in plugin host; do
  varies[$file-headers-size-huge]="the headers cannot run into the first section. Wine maps \
that much of the file as headers and each section over them, and leaves the file's bytes in the \
uninitialized data: where that lies within the file's length, the C runtime's start-up lock \
reads as taken and its DllMain waits for ever; otherwise the copy loads"
done
# KERNEL32.dll's import lists moved onto other tables: whether Wine loads the copy depends on
# what those tables hold in the build (Wine skips a function no library exports, and stops on
# an entry it cannot read); where it loads, the first call crashes the game or fails.
varies[plugin-import-kernel32-lookup-self]="its KERNEL32.dll functions are read from the \
import table itself, as entries with bits 31 to 62 set and names no library exports: $missing"
varies[plugin-import-kernel32-lookup-overlap]="its KERNEL32.dll functions are the C \
runtime's, which KERNEL32.dll does not export: $missing"
varies[plugin-import-kernel32-name-overlap]="its KERNEL32.dll functions are looked up in \
msvcrt.dll, which does not export them: $missing"
varies[plugin-import-kernel32-iat-overlap]="KERNEL32.dll's addresses are written into the C \
runtime's list, so Windows and Wine both leave its own list unfilled: the first call to a \
KERNEL32.dll function crashes"

started=$SECONDS
"$make_copies" "$plugin" "$host" "$probe" "$out"
plugin_name=$(basename "$plugin") host_name=$(basename "$host")
mapfile -t cases < <(cut -d' ' -f1 "$out/cases.txt")

# doctor judges every folder (its report and exit status in reports/) while Wine loads them.
made=$SECONDS
mkdir "$out/reports"
for name in "${cases[@]}"; do
  status=0
  "$holdout" doctor "$out/$name" >"$out/reports/$name" || status=$?
  echo "$status" >"$out/reports/$name.status"
done &
judging=$!
(cd "$out" && wine_run "$probe" "$plugin_name" "$host_name" "${cases[@]}" 2>"$out/wine.txt") |
  tr -d '\r' >"$out/loader.txt"
loaded=$SECONDS
wait "$judging"
declare -A loader
while read -r name result; do
  loader[$name]=$result
done <"$out/loader.txt"

files=0 disagreements=0 held=0
disagree() {
  echo "DISAGREE $1: $2"
  disagreements=$((disagreements + 1))
}
while read -r name damaged; do
  report=$(<"$out/reports/$name")
  status=$(<"$out/reports/$name.status")
  verdicts=$(grep -E "^($plugin_name|$host_name): " <<<"$report" || true)
  says=${loader[$name]:-}
  if [ -z "$says" ]; then
    disagree "$name" "the loader probe gave no answer"
    continue
  fi
  if [ "$name" = intact ]; then
    [ "$says" = loaded ] || disagree intact "the loader $says"
    [ "$(grep -c ': ok, ' <<<"$verdicts")" -eq 2 ] || disagree intact "doctor: $verdicts"
    continue
  fi
  files=$((files + 1))
  verdict=$( (grep "^$damaged: " <<<"$verdicts" || true) | cut -d' ' -f2 | tr -d ,)
  if [ "$verdict" != ok ] && [ "$verdict" != PROBLEM ]; then
    disagree "$name" "doctor gave no verdict on $damaged"
    continue
  fi
  first=$( (grep -A1 "^$damaged: PROBLEM" <<<"$report" || true) | sed -n 2p | sed 's/^ *- //')
  if [ -n "${varies[$name]:-}" ]; then
    if [ "$verdict" != PROBLEM ] || [ "$status" -ne 1 ]; then
      disagree "$name" "the loader ${says}, doctor exits $status calling $damaged $verdict"
    fi
    continue
  fi
  if [ "$says" = loaded ]; then
    if [ "$verdict" = PROBLEM ]; then
      if [ -n "${stricter[$name]:-}" ]; then
        held=$((held + 1))
      else
        disagree "$name" "Wine loads it, doctor: $first"
      fi
    elif [ -n "${stricter[$name]:-}" ]; then
      disagree "$name" "listed as stricter than Wine, yet doctor calls $damaged $verdict"
    fi
  else
    if [ "$verdict" != PROBLEM ] || [ "$status" -ne 1 ]; then
      disagree "$name" "the loader ${says}, doctor exits $status calling $damaged $verdict"
    elif [ -n "${stricter[$name]:-}" ]; then
      disagree "$name" "listed as stricter than Wine, yet the loader ${says}"
    fi
  fi
done <"$out/cases.txt"

echo "$(grep -c ' loaded$' "$out/loader.txt") folders loaded, $(grep -c ' refused' \
"$out/loader.txt") refused; doctor stricter than Wine, as listed, on $held"
echo "copies made in $((made - started)) s, loaded in $((loaded - made)) s while doctor \
judged them, $((SECONDS - made)) s in all"
echo "$files files, $disagreements disagreements"
if [ "$disagreements" -eq 0 ]; then
  rm -rf "$out"
fi
[ "$disagreements" -eq 0 ]
