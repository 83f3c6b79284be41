#!/usr/bin/env bash
# Builds the seed corpora of the fuzz targets in DEST/<target>/ from the example templates,
# the HTML texts of the tests and fuzz/seed_expressions.txt; nothing generated is kept in git.
# usage: fuzz/make_corpus.sh DEST
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dest="${1:?usage: make_corpus.sh DEST}"
mkdir -p "$dest"/{fuzz_html,fuzz_expr,fuzz_directive,fuzz_report}

n=0
for f in "$root"/examples/*.html "$root"/examples/*.htt; do
  n=$((n + 1))
  cp "$f" "$dest/fuzz_html/example$n"
  cp "$f" "$dest/fuzz_report/example$n"
done

# One seed per expression line, and per property text of the examples' directives.
n=0
while IFS= read -r line; do
  n=$((n + 1))
  printf '%s' "$line" > "$dest/fuzz_expr/seed$n"
done < "$root/fuzz/seed_expressions.txt"
grep -ho '%{[^}]*}%' "$root"/examples/*.html "$root"/examples/*.htt | sed 's/^%{//; s/}%$//' | sort -u |
  while IFS= read -r line; do
    n=$((n + 1))
    printf '%s' "$line" > "$dest/fuzz_expr/example$n"
  done

# Directive comment bodies (without "<!--" and "-->") of the examples.
grep -hzo '<!--\$VX[^>]*-->' "$root"/examples/*.html "$root"/examples/*.htt | tr '\0' '\n' | sed 's/^<!--//; s/-->$//' |
  sort -u | { n=0; while IFS= read -r line; do
    n=$((n + 1))
    printf '%s' "$line" > "$dest/fuzz_directive/example$n"
  done; }

# The HTML texts the tests read: quoted strings that begin with "<HTML>" (case-insensitive).
grep -rhoi '"<HTML>[^"]*"' "$root"/tests --include='*.cpp' | sed 's/^"//; s/"$//' | sort -u | head -300 |
  { n=0; while IFS= read -r line; do
    n=$((n + 1))
    printf '%b' "$line" > "$dest/fuzz_html/test$n"
    printf '%b' "$line" > "$dest/fuzz_report/test$n"
  done; }
echo "corpora in $dest: $(for t in "$dest"/*; do printf '%s=%s ' "$(basename "$t")" "$(ls "$t" | wc -l)"; done)"
