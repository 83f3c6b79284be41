#!/usr/bin/env bash
# History-store benchmark. Generates DAYS (default 30) of one-second history for 20 channels
# as wide CSV (about 52M samples for a month), then, for each back end of BACKENDS (default
# "sqlite postgresql"), measures:
#   1. the import from the CSV (samples per second);
#   2. a month of hourly statistics for 20 channels (hours x 20 x average, minimum, maximum)
#      through `quillet eval`, beside hand-written SQL over the hourly summaries of the same
#      store (sqlite3 or psql) in one hyperfine command;
#   3. a year-long time-weighted average of one channel (a year of minute samples) from the
#      summaries.
# PostgreSQL is the database QUILLET_BENCH_POSTGRES names (tables in a schema quillet_bench,
# dropped first); without it the script runs itself beside a throw-away cluster
# (scripts/with-postgres.sh). DAYS scales the month down while iterating (DAYS=3: 5.2M samples).
# Usage: bench/hist_bench.sh BUILD_DIR
# Env: DAYS, RUNS (hyperfine runs, default 5), BACKENDS, REUSE=1 (keep the CSV of an earlier run)
set -euo pipefail
build=${1:?usage: bench/hist_bench.sh BUILD_DIR}
DAYS=${DAYS:-30}; RUNS=${RUNS:-5}; BACKENDS=${BACKENDS:-sqlite postgresql}
here=$(cd "$(dirname "$0")" && pwd)
q=$(cd "$build" && pwd)/quillet
if [[ " $BACKENDS " == *" postgresql "* && -z "${QUILLET_BENCH_POSTGRES:-}" ]]; then
  if [ -z "${QUILLET_TEST_POSTGRES:-}" ]; then
    exec "$here/../scripts/with-postgres.sh" "$0" "$@"
  fi
  QUILLET_BENCH_POSTGRES=$QUILLET_TEST_POSTGRES
fi
tools="hyperfine sqlite3 python3"
[[ " $BACKENDS " == *" postgresql "* ]] && tools="$tools psql"
for c in $tools; do command -v $c > /dev/null || { echo "missing $c" >&2; exit 1; }; done
out="$build/hist-bench"
mkdir -p "$out"
cd "$out"
export TZ=UTC
start=1764547200  # 2025-12-01T00:00Z

if [ "${REUSE:-0}" != 1 ] || [ ! -f month.csv ]; then
python3 - "$DAYS" "$start" <<'PY'
import json, math, sys
days, start = int(sys.argv[1]), int(sys.argv[2])
channels = [{"number": i, "name": "C%02d" % i, "code": "TT-%03d" % i, "unit": "degC"} for i in range(20)]
json.dump({"nodes": [{"name": "PLANT", "channels": channels}]}, open("project.json", "w"))
json.dump({"nodes": [{"name": "PLANT", "channels": channels[:1]}]}, open("year_project.json", "w"))
with open("month.csv", "w") as f:
    f.write("time," + ",".join(c["name"] for c in channels) + "\n")
    base = [50 + 2 * i for i in range(20)]
    for s in range(days * 86400):
        day = 10 * math.sin(s * 7.27e-5)
        f.write("%d,%s\n" % (start + s, ",".join("%.2f" % (b + day + ((s * 2654435761 + i * 97) % 1000) / 500.0) for i, b in enumerate(base))))
PY
fi
samples=$((DAYS * 86400 * 20))
hours=$((DAYS * 24))
end=$((start + hours * 3600))
year_end=$((start + 365 * 86400))
cat > hourly.txt <<TEXT
var ch = LIST(); var c; var h; var s = 0;
for c = 0 to 19 do ch[c] = CHAN(FORMAT("C%02d", c));
for h = 0 to $((hours - 1)) do for c = 0 to 19 do s = s + @cell(ch[c], $start + h * 3600);
s;
TEXT
cell='var x = RNSTAT(ARGS[0], ARGS[1], ARGS[1] + 3600); AVG(x) + MIN(x) + MAX(x);'
summary_sql="SELECT channel, hour, sum / count, min, max FROM hour_summary WHERE node = 0 AND hour >= $((start / 3600)) AND hour < $((end / 3600))"

# The stores of a back end: $month and $year, emptied.
stores() {
  if [ "$1" = sqlite ]; then
    rm -f month.db month.db-wal month.db-shm year.db year.db-wal year.db-shm
    month=sqlite:month.db year=sqlite:year.db
    sql_tool="sqlite3 month.db '$summary_sql;'"
    return
  fi
  local base=$QUILLET_BENCH_POSTGRES sep='?'
  [[ $base == *\?* ]] && sep='&'
  for s in quillet_bench quillet_bench_year; do
    psql -X -q "$base" -c "SET client_min_messages = warning; DROP SCHEMA IF EXISTS $s CASCADE; CREATE SCHEMA $s"
  done
  month="$base${sep}options=-csearch_path%3Dquillet_bench" year="$base${sep}options=-csearch_path%3Dquillet_bench_year"
  sql_tool="psql -X -q -A -t -o /dev/null '$month' -c '$summary_sql'"
}

for backend in $BACKENDS; do
  echo "== $backend"
  stores "$backend"
  t0=$(date +%s.%N)
  "$q" import --store "$month" --project project.json month.csv
  t1=$(date +%s.%N)
  python3 -c "import sys; d=float(sys.argv[2])-float(sys.argv[1]); print('import into $backend: %d samples in %.1f s = %.2fM samples/s' % ($samples, d, $samples/d/1e6))" "$t0" "$t1"
  hyperfine -N --warmup 1 --runs "$RUNS" \
    -n "quillet eval ($backend): $hours hourly statistics x 20 channels" \
    "$q eval --project project.json --store '$month' --time $end --var 'cell=$cell' '$(tr '\n' ' ' < hourly.txt)'" \
    -n "${sql_tool%% *}: the same from hourly summaries" "$sql_tool"
  "$q" import --store "$year" --project year_project.json --simulate --from $start --to $year_end --step 60
  hyperfine -N --warmup 2 --runs "$((RUNS * 4))" -n "quillet eval ($backend): a year-long average of one channel" \
    "$q eval --project year_project.json --store '$year' --time $year_end 'AVG(RTSTAT(CHAN(\"C00\"), $start, $year_end))'" \
    -n "quillet eval ($backend): a constant (process start)" "$q eval --project year_project.json --store '$year' '1'"
done
