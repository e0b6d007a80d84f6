#!/usr/bin/env bash
# Answers the corpus's look-ups with the given probe and compares them with the answers the
# system's profile reader gives (answers.txt, recorded under Wine, with the look-ups where Windows
# answers otherwise taken from wine_differences.txt).
# Usage: check_answers.sh PROBE CORPUS_DIR
set -euo pipefail
probe=$1 corpus=$2
source "$(dirname "$0")/../../win/tests/windows_answers.sh"
answers=$("$probe" "$corpus" "$corpus/lookups.txt")
diff -u --label recorded --label probe <(windows_answers "$corpus") - <<<"$answers"
echo "PASS: $(wc -l <<<"$answers") look-ups answered as recorded"
