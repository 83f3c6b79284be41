#!/usr/bin/env bash
# Report variants: the 10,000 x 8 table of bench/report_bench.sh written in the ways a user
# writes it (variants.py), each report checked cell by cell against Jinja2's and timed beside
# it, all in one hyperfine command; then the two workloads (workloads.sh). Prints, per variant,
# how many times faster than Jinja2 quillet is, and the benchmark's own template beside the C++
# floor program.
# Usage: bench/report_variants/run.sh BUILD_DIR      (BUILD_DIR holds a built quillet)
# Env: RUNS (hyperfine runs, default 3), ROWS (default 10000), PEERS (folder of the floor program),
#      ONLY (space-separated variant names to run), WORKLOADS (default 1).
set -euo pipefail
build=$(cd "${1:?usage: bench/report_variants/run.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
RUNS=${RUNS:-3}; ROWS=${ROWS:-10000}; WORKLOADS=${WORKLOADS:-1}
PEERS=${PEERS:-$root/../shared/bench-peers/W1}
PY=/usr/bin/python3
export TZ=UTC
q="$build/quillet"
for c in hyperfine g++; do command -v $c > /dev/null || { echo "missing $c" >&2; exit 1; }; done
$PY -c 'import jinja2' 2> /dev/null || { echo "python3-jinja2 is not installed" >&2; exit 1; }
[ -x "$q" ] || { echo "no quillet in $build" >&2; exit 1; }

out="$build/report-variants"
rm -rf "$out"; mkdir -p "$out"
names=${ONLY:-$($PY "$here/variants.py" "$out" "$ROWS")}
[ -z "${ONLY:-}" ] || $PY "$here/variants.py" "$out" "$ROWS" > /dev/null
floor=()
if [ -f "$PEERS/printf_report.cpp" ]; then
  g++ -O2 -o "$out/printf_report" "$PEERS/printf_report.cpp"
  floor=(-n cpp_floor "$out/printf_report")
else
  echo "no floor program in $PEERS (set PEERS): the C++ floor is left out" >&2
fi

commands=()
for v in $names; do
  "$q" report "$out/$v.html" --out "$out" --name "$v.q" --time 1700000000 > /dev/null
  $PY "$here/jinja2_peer.py" "$out/$v.j2" > "$out/$v.j2.htm"
  $PY "$here/cells.py" "$out/$v.q.htm" "$out/$v.j2.htm" || { echo "$v: quillet's cells differ from Jinja2's" >&2; exit 1; }
  commands+=(-n "quillet $v" "$q report $out/$v.html --out $out --name $v.q --time 1700000000")
  commands+=(-n "jinja2 $v" "$PY $here/jinja2_peer.py $out/$v.j2")
done
echo "every variant's cells match Jinja2's" >&2
hyperfine -N --style basic --output=null --warmup 1 --runs "$RUNS" --export-json "$out/times.json" \
  "${commands[@]}" "${floor[@]}" > "$out/hyperfine.log" 2>&1 || { cat "$out/hyperfine.log" >&2; exit 1; }
$PY "$here/summary.py" "$out/times.json"
[ "$WORKLOADS" != 1 ] || "$here/workloads.sh" "$build"
