#!/usr/bin/env bash
# Trend benchmark: one whole `quillet report` run that draws an 800x600 trend of 4 curves over
# one hour of 1-second history (the simulated source's saw teeth) into an 8-bit palette PNG,
# timed beside the agreed peer, gnuplot drawing the same curves into a palette PNG through its
# libgd terminal (bench/trend_peer.gp with term='png'). Then the dense case: a month of
# one-second records of 4 curves read and drawn by the control (bench/trend_month_bench.cpp).
# Usage: bench/trend_bench.sh BUILD_DIR
# Env: RUNS (hyperfine runs, default 20), JOBS (build jobs, default 2).
set -euo pipefail
build=${1:?usage: bench/trend_bench.sh BUILD_DIR}
root=$(cd "$(dirname "$0")/.." && pwd)
RUNS=${RUNS:-20}; JOBS=${JOBS:-2}
PY=/usr/bin/python3

for c in hyperfine gnuplot; do command -v $c > /dev/null || { echo "missing $c: run scripts/install-deps.sh --bench" >&2; exit 1; }; done
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
case "$build_type" in
  Release|RelWithDebInfo) ;;
  *) echo "warning: $build is a '$build_type' build; only Release figures mean anything" >&2 ;;
esac
cmake --build "$build" -j "$JOBS" --target quillet trend_month_bench

build=$(cd "$build" && pwd)
out="$build/trend-bench"
rm -rf "$out"; mkdir -p "$out"
# The report time is the end of the hour the template's TIME starts.
ours="$build/quillet report $root/bench/trend_bench.html --out $out --name quillet_out --time 1700003600 --project $root/examples/demo_project.json"
peer="gnuplot -e \"term='png'; out='$out/gnuplot_out'\" $root/bench/trend_peer.gp"

# Both must have written an 800x600 palette PNG (IHDR: width, height, depth 8, colour type 3).
$ours > /dev/null
(cd "$out" && eval "$peer")
grep -q 'SRC="quillet_out_1.png"' "$out/quillet_out.htm" || { echo "quillet wrote no image tag" >&2; exit 1; }
for f in quillet_out_1.png gnuplot_out.png; do
  $PY - "$out/$f" <<'PYEOF' || { echo "$f is not an 800x600 8-bit palette PNG" >&2; exit 1; }
import struct, sys
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n" and data[12:16] == b"IHDR"
width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
assert (width, height, depth, colour) == (800, 600, 8, 3), (width, height, depth, colour)
PYEOF
done

hyperfine -N --style basic --warmup 2 --runs "$RUNS" --export-json "$out/times.json" \
  -n quillet "$ours" -n gnuplot "$peer" > "$out/hyperfine.log" 2>&1 || { cat "$out/hyperfine.log" >&2; exit 1; }

$PY - "$out/times.json" <<'PYEOF'
import json, sys
res = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
q, g = res["quillet"], res["gnuplot"]
print(f"{'program':<10} {'mean ms':>9} {'stddev':>8} {'runs':>5}")
for name, r in (("quillet", q), ("gnuplot", g)):
    print(f"{name:<10} {r['mean'] * 1e3:>9.1f} {r['stddev'] * 1e3:>8.1f} {len(r['times']):>5}")
print(f"gnuplot / quillet: {g['mean'] / q['mean']:.2f}x (target: at least 3x)")
PYEOF
"$build/bench/trend_month_bench" 5
echo "(target: under 100 ms)"
