#!/usr/bin/env bash
# Report-generation benchmark: a template whose table of ROWS rows x 8 cells is computed by its
# own expressions (row number, channel name, six numbers and the row colour, all from ROW()),
# timed as a whole `quillet report` process beside the agreed peers: Jinja2 rendering the same
# table inside its template (autoescape on) and a plain C++ program printing it (the floor).
# quillet is built as a release is (profile-guided, trained on the examples; PGO=0 for a
# build without a profile).
# Usage: bench/report_bench.sh BUILD_DIR
# Env: RUNS (hyperfine runs per round, default 10), ROUNDS (default 2), ROWS (default 10000),
#      JOBS (build jobs, default 2), PEERS (folder of the peer programs), PGO (default 1).
set -euo pipefail
build=${1:?usage: bench/report_bench.sh BUILD_DIR}
root=$(cd "$(dirname "$0")/.." && pwd)
RUNS=${RUNS:-10}; ROUNDS=${ROUNDS:-2}; ROWS=${ROWS:-10000}; JOBS=${JOBS:-2}; PGO=${PGO:-1}
PEERS=${PEERS:-$root/../shared/bench-peers/W1}
PY=/usr/bin/python3  # Debian's python3, where python3-jinja2 lives

for c in hyperfine g++; do command -v $c > /dev/null || { echo "missing $c" >&2; exit 1; }; done
$PY -c 'import jinja2' 2> /dev/null || { echo "python3-jinja2 is not installed" >&2; exit 1; }
if [ "$PGO" = 1 ]; then
  "$root/scripts/pgo-build.sh" "$build" "$JOBS" quillet
else
  [ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
  cmake -S "$root" -B "$build" -DQUILLET_PGO= > /dev/null
  build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
  case "$build_type" in
    Release|RelWithDebInfo) ;;
    *) echo "warning: $build is a '$build_type' build; only Release figures mean anything" >&2 ;;
  esac
  cmake --build "$build" -j "$JOBS" --target quillet
fi

out="$build/report-bench"
rm -rf "$out"; mkdir -p "$out"
g++ -O2 -o "$out/printf_report" "$PEERS/printf_report.cpp"

# The template: one row whose first cell asks for ROWS rows; every value is an expression.
style='ATTR.STYLE=%{@bg}%'
{
  echo '<!DOCTYPE html>'
  echo '<HTML><HEAD><TITLE>Big table report</TITLE>'
  echo '<!--$VX VAR NAME=base VALUE=%{(1700000000.0 - 60 * ROW()) * 3}%-->'
  echo '<!--$VX VAR NAME=v VALUE=%{var u = ARGS[0] * 7 + @base; u = u - FLOOR(u / 4294967296.0) * 4294967296.0; u - FLOOR(u / 100) * 100;}%-->'
  echo '<!--$VX VAR NAME=bg VALUE=%{IF(@v(0), ">=", 50, "background-color: red", "background-color: white")}%-->'
  echo '</HEAD><BODY><TABLE>'
  echo '<TR><TH>Row</TH><TH>Channel</TH><TH>V0</TH><TH>V1</TH><TH>V2</TH><TH>V3</TH><TH>V4</TH><TH>V5</TH></TR>'
  printf '<TR><TD><!--$VX ELT ROWS=%%{%d}%%\r\n VALUE=%%{ROW()}%%\r\n %s--></TD>' "$ROWS" "$style"
  printf '<TD><!--$VX ELT VALUE=%%{"CH" + ROW() %% 6}%%\r\n %s--></TD>' "$style"
  for k in 0 1 2 3 4 5; do
    printf '<TD><!--$VX ELT VALUE=%%{FORMAT("%%.2f", @v(%d))}%%\r\n %s--></TD>' "$k" "$style"
  done
  echo '</TR></TABLE></BODY></HTML>'
} > "$out/big_table.html"

"$build/quillet" report "$out/big_table.html" --out "$out" --name quillet_out --time 1700000000 > /dev/null
rows=$(grep -o '<TR>' "$out/quillet_out.htm" | wc -l)
[ "$rows" -eq $((ROWS + 1)) ] || { echo "quillet wrote $rows rows, expected $((ROWS + 1))" >&2; exit 1; }
# The numbers must be the floor's: compare the cell texts of both outputs.
cells() { grep -oi '<td[^>]*>[^<]*' "$1" | sed 's/.*>//' ; }
"$out/printf_report" > "$out/floor_out.html"
if [ "$ROWS" -eq 10000 ] && ! cmp -s <(cells "$out/quillet_out.htm") <(cells "$out/floor_out.html"); then
  echo "quillet's cells differ from the floor's" >&2; exit 1
fi
reds_q=$(grep -o 'background-color: red' "$out/quillet_out.htm" | wc -l)
reds_f=$(grep -o 'background-color: red' "$out/floor_out.html" | wc -l)
[ "$ROWS" -ne 10000 ] || [ "$reds_q" -eq $((reds_f * 8)) ] || { echo "row colours differ from the floor's" >&2; exit 1; }

for round in $(seq 1 "$ROUNDS"); do
  echo "round $round of $ROUNDS" >&2
  hyperfine -N --style basic --output=null --warmup 2 --runs "$RUNS" --export-json "$out/round_$round.json" \
    -n quillet "$build/quillet report $out/big_table.html --out $out --name quillet_out --time 1700000000" \
    -n jinja2 "$PY $PEERS/jinja2_report.py" \
    -n cpp_floor "$out/printf_report" > "$out/round_$round.log" 2>&1
done

# Pooled medians of all rounds (the machine's speed drifts between rounds).
$PY - "$out" "$ROUNDS" "$PGO" <<'PYEOF'
import json, statistics, sys
out, rounds, pgo = sys.argv[1], int(sys.argv[2]), sys.argv[3]
times = {}
for r in range(1, rounds + 1):
    for res in json.load(open(f"{out}/round_{r}.json"))["results"]:
        times.setdefault(res["command"], []).extend(res["times"])
med = {name: statistics.median(t) * 1e3 for name, t in times.items()}
print(f"{'program':<10} {'median ms':>10} {'runs':>6}")
for name in ("quillet", "jinja2", "cpp_floor"):
    print(f"{name:<10} {med[name]:>10.1f} {len(times[name]):>6}")
ratio = med["jinja2"] / med["quillet"]
floor = med["quillet"] / med["cpp_floor"]
print(f"\njinja2 / quillet: {ratio:.1f}x faster (target at least 8x): {'met' if ratio >= 8 else 'MISSED'}")
print(f"quillet / C++ floor: {floor:.1f}x the floor's time (target at most 3x): {'met' if floor <= 3 else 'MISSED'}")
print("quillet build: " + ("profile-guided, trained on the examples" if pgo == "1" else "without a profile"))
PYEOF
