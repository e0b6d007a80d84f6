#!/usr/bin/env bash
# Answers the corpus's look-ups with the given probe and compares them with the answers the
# system's profile reader gave (answers.txt, recorded under Wine).
# Usage: check_answers.sh PROBE CORPUS_DIR
set -euo pipefail
probe=$1 corpus=$2
answers=$("$probe" "$corpus" "$corpus/lookups.txt")
diff -u --label recorded --label probe "$corpus/answers.txt" - <<<"$answers"
echo "PASS: $(wc -l <<<"$answers") look-ups answered as recorded"
