#!/usr/bin/env bash
# Builds the reader/writer benchmark and its gumbo peer in BUILD_DIR, generates one template,
# runs both programs on the same bytes in alternating rounds (the machine's speed drifts, so
# the rounds are pooled), checks that both wrote every table cell back, and prints the table.
# Usage: bench/run.sh BUILD_DIR
# Env: REPS (repetitions per round, default 5), ROUNDS (default 2), BYTES (default 10000000),
#      JOBS (build jobs, default 2).
set -euo pipefail
build=${1:?usage: bench/run.sh BUILD_DIR}
root=$(cd "$(dirname "$0")/.." && pwd)
REPS=${REPS:-5}; ROUNDS=${ROUNDS:-2}; BYTES=${BYTES:-10000000}; JOBS=${JOBS:-2}

if ! pkg-config --exists gumbo; then
  echo "gumbo is not installed: run scripts/install-deps.sh --bench" >&2
  exit 1
fi
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
case "$build_type" in
  Release|RelWithDebInfo) ;;
  *) echo "warning: $build is a '$build_type' build; only Release figures mean anything" >&2 ;;
esac
# Reconfigure so that a build tree made before gumbo was installed gains the targets.
cmake "$build" > /dev/null
cmake --build "$build" -j "$JOBS" --target gen_template gumbo_peer html_rw_bench

out="$build/bench-out"
rm -rf "$out"; mkdir -p "$out"
input="$out/template.html"
"$build/bench/gen_template" "$input" "$BYTES" > /dev/null

for round in $(seq 1 "$ROUNDS"); do
  echo "round $round of $ROUNDS: $REPS repetitions each" >&2
  "$build/bench/gumbo_peer" "$input" "$REPS" "$out/gumbo_out.html" > "$out/gumbo_$round.txt"
  "$build/bench/html_rw_bench" "$input" "$REPS" "$out/quillet_out.html" > "$out/quillet_$round.txt"
done

# Every table cell of the input must come back out of both programs.
cells() { grep -oi '<td' "$1" | wc -l; }
want=$(cells "$input")
for name in gumbo quillet; do
  got=$(cells "$out/${name}_out.html")
  [ "$got" -eq "$want" ] || echo "warning: $name wrote $got table cells, the input has $want" >&2
done

# Pools the repetitions of every round: median read, write and read+write times, throughput
# from the median total, and the largest peak-memory ratio of any round.
summarise() {
  cat "$out/$1"_*.txt | awk -v name="$1" '
    /^rep / { r[n] = $4; w[n] = $6; t[n] = $4 + $6; n++ }
    /^summary / { bytes = $4; tree = $16; if ($NF > rss) rss = $NF }
    function median(a,   i, j, k, tmp) {
      for (i = 0; i < n; i++) tmp[i] = a[i]
      for (i = 1; i < n; i++) { k = tmp[i]; for (j = i - 1; j >= 0 && tmp[j] > k; j--) tmp[j + 1] = tmp[j]; tmp[j + 1] = k }
      return n % 2 ? tmp[int(n / 2)] : (tmp[n / 2 - 1] + tmp[n / 2]) / 2
    }
    END { total = median(t); printf "%s %.1f %.1f %.2f %.2f %d %.2f\n", name, median(r), median(w), bytes / 1e6 / total * 1000, rss, bytes, tree }'
}
gumbo=$(summarise gumbo)
quillet=$(summarise quillet)

echo
echo "$gumbo" | awk '{ printf "input: %.2f MB, %s rounds x %s repetitions\n\n", $6 / 1e6, "'"$ROUNDS"'", "'"$REPS"'" }'
printf "%-10s %10s %10s %10s %14s %18s\n" program "read ms" "write ms" "MB/s" "tree / input" \
  "peak RSS / input"
for line in "$gumbo" "$quillet"; do
  echo "$line" | awk '{ printf "%-10s %10.1f %10.1f %10.2f %13.2fx %17.2fx\n", $1, $2, $3, $4, $7, $5 }'
done
echo
awk -v g="$gumbo" -v q="$quillet" 'BEGIN {
  split(g, gs, " "); split(q, qs, " ")
  ratio = qs[4] / gs[4]
  printf "throughput ratio quillet/gumbo: %.2fx (target at least 10x): %s\n", ratio, (ratio >= 10 ? "met" : "MISSED")
  printf "quillet peak memory: %.2fx input (target under 8x): %s\n", qs[5], (qs[5] < 8 ? "met" : "MISSED")
}'
