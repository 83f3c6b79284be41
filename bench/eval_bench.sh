#!/usr/bin/env bash
# Expression evaluation benchmark: our compiled summation loop beside Lua 5.4 running the same
# loop and muparser evaluating "s + i" under a host loop, in alternating rounds (the machine's
# speed drifts, so rounds are pooled). Prints median nanoseconds per iteration, CPU time for
# all three (Lua can only measure CPU time) and wall clock where the program reports it.
# Usage: bench/eval_bench.sh BUILD_DIR
# Env: REPS (repetitions per round, default 10), ROUNDS (default 3), JOBS (build jobs, default 2).
set -euo pipefail
build=${1:?usage: bench/eval_bench.sh BUILD_DIR}
root=$(cd "$(dirname "$0")/.." && pwd)
REPS=${REPS:-10}; ROUNDS=${ROUNDS:-3}; JOBS=${JOBS:-2}

command -v lua5.4 > /dev/null || { echo "lua5.4 is not installed: run scripts/install-deps.sh --bench" >&2; exit 1; }
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
case "$build_type" in
  Release|RelWithDebInfo) ;;
  *) echo "warning: $build is a '$build_type' build; only Release figures mean anything" >&2 ;;
esac
cmake "$build" > /dev/null
cmake --build "$build" -j "$JOBS" --target eval_bench
have_muparser=0
if cmake --build "$build" -j "$JOBS" --target eval_muparser_peer > /dev/null 2>&1; then
  have_muparser=1
else
  echo "muparser is not installed: its column is skipped (scripts/install-deps.sh --bench)" >&2
fi

out="$build/bench-out/eval"
rm -rf "$out"; mkdir -p "$out"
for round in $(seq 1 "$ROUNDS"); do
  echo "round $round of $ROUNDS: $REPS repetitions each" >&2
  "$build/bench/eval_bench" "$REPS" >> "$out/runs.txt"
  lua5.4 "$root/bench/eval_loop.lua" "$REPS" >> "$out/runs.txt"
  [ "$have_muparser" -eq 1 ] && "$build/bench/eval_muparser_peer" "$REPS" >> "$out/runs.txt"
done

# Median of every labelled series, pooled over the rounds.
awk '
  { for (i = 2; i <= NF; i++) v[$1, n[$1]++] = $i; seen[$1] = 1 }
  function median(name,   i, j, k, m, t) {
    m = n[name]
    for (i = 0; i < m; i++) t[i] = v[name, i]
    for (i = 1; i < m; i++) { k = t[i]; for (j = i - 1; j >= 0 && t[j] > k; j--) t[j + 1] = t[j]; t[j + 1] = k }
    return m % 2 ? t[int(m / 2)] : (t[m / 2 - 1] + t[m / 2]) / 2
  }
  END {
    print "\nvar s = 0; var i; for i = 1 to 1000000 do s = s + i; s;   (ns per iteration, median)\n"
    printf "%-10s %12s %12s\n", "program", "CPU", "wall"
    ours = median("quillet_eval_cpu"); lua = median("lua")
    printf "%-10s %12.2f %12.2f\n", "quillet", ours, median("quillet_eval_wall")
    printf "%-10s %12.2f %12s\n", "lua 5.4", lua, "-"
    if (seen["muparser_cpu"]) printf "%-10s %12.2f %12.2f\n", "muparser", median("muparser_cpu"), median("muparser_wall")
    ratio = ours / lua
    printf "\nquillet / lua (CPU): %.1fx (target at most 3x): %s\n", ratio, ratio <= 3 ? "met" : "MISSED"
  }' "$out/runs.txt"
