# Sourced by the corpus tests. windows_answers CORPUS_DIR prints the corpus's recorded answers
# (answers.txt, given by Wine's reader) with the look-ups listed in the corpus's
# wine_differences.txt, if it has one, answered as Windows answers them there: the answers the
# simulated reader must give. It fails when a listed look-up is not among the answers.
windows_answers() {
  local corpus=$1
  if [ ! -f "$corpus/wine_differences.txt" ]; then
    cat "$corpus/answers.txt"
    return
  fi
  awk -F' -> ' '
    FNR == NR { if ($0 !~ /^#/ && NF == 2) { windows[$1] = $0; used[$1] = 0 } next }
    $1 in windows { print windows[$1]; used[$1] = 1; next }
    { print }
    END {
      for (lookup in used) {
        if (!used[lookup]) { print "not among the answers: " lookup > "/dev/stderr"; failed = 1 }
      }
      exit failed
    }' "$corpus/wine_differences.txt" "$corpus/answers.txt"
}
