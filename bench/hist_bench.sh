#!/usr/bin/env bash
# History-store benchmark. Generates DAYS (default 30) of one-second history for 20 channels
# as wide CSV (about 52M samples for a month), then measures:
#   1. the import into a SQLite store (samples per second);
#   2. a month of hourly statistics for 20 channels (720 x 20 x average, minimum, maximum)
#      through `quillet eval`, beside hand-written SQL over the hourly summaries of the same
#      store in one hyperfine command (and, once, SQL over the raw samples);
#   3. a year-long time-weighted average of one channel (a year of minute samples) from the
#      summaries.
# Usage: bench/hist_bench.sh BUILD_DIR
# Env: DAYS, RUNS (hyperfine runs, default 5), REUSE=1 (keep the store of an earlier run)
set -euo pipefail
build=${1:?usage: bench/hist_bench.sh BUILD_DIR}
DAYS=${DAYS:-30}; RUNS=${RUNS:-5}
q=$(cd "$build" && pwd)/quillet
for c in hyperfine sqlite3 python3; do command -v $c > /dev/null || { echo "missing $c" >&2; exit 1; }; done
out="$build/hist-bench"
mkdir -p "$out"
cd "$out"
export TZ=UTC
start=1764547200  # 2025-12-01T00:00Z

if [ "${REUSE:-0}" != 1 ] || [ ! -f month.db ]; then
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
samples=$((DAYS * 86400 * 20))
rm -f month.db month.db-wal month.db-shm
t0=$(date +%s.%N)
"$q" import --store sqlite:month.db --project project.json month.csv
t1=$(date +%s.%N)
python3 -c "import sys; d=float(sys.argv[2])-float(sys.argv[1]); print('import: %d samples in %.1f s = %.2fM samples/s' % ($samples, d, $samples/d/1e6))" "$t0" "$t1"

fi

hours=$((DAYS * 24))
cat > hourly.txt <<TEXT
var ch = LIST(); var c; var h; var s = 0;
for c = 0 to 19 do ch[c] = CHAN(FORMAT("C%02d", c));
for h = 0 to $((hours - 1)) do for c = 0 to 19 do s = s + @cell(ch[c], $start + h * 3600);
s;
TEXT
cell='var x = RNSTAT(ARGS[0], ARGS[1], ARGS[1] + 3600); AVG(x) + MIN(x) + MAX(x);'
end=$((start + hours * 3600))
raw_sql="SELECT channel, t / 3600000, avg(value), min(value), max(value) FROM sample WHERE node = 0 AND t >= ${start}000 AND t < ${end}000 GROUP BY channel, t / 3600000;"
summary_sql="SELECT channel, hour, sum / count, min, max FROM hour_summary WHERE node = 0 AND hour >= $((start / 3600)) AND hour < $((end / 3600));"
hyperfine -N --warmup 1 --runs "$RUNS" \
  -n "quillet eval: $hours hourly statistics x 20 channels" \
  "$q eval --project project.json --store sqlite:month.db --time $end --var 'cell=$cell' '$(tr '\n' ' ' < hourly.txt)'" \
  -n "sqlite3: the same from hourly summaries" "sqlite3 month.db '$summary_sql'"
# Without summaries SQL reads every sample: once is enough to see the order of magnitude.
hyperfine -N --runs 1 -n "sqlite3: the same from raw samples" "sqlite3 month.db '$raw_sql'"

year_end=$((start + 365 * 86400))
rm -f year.db year.db-wal year.db-shm
"$q" import --store sqlite:year.db --project year_project.json --simulate --from $start --to $year_end --step 60
hyperfine -N --warmup 2 --runs "$((RUNS * 4))" -n "quillet eval: a year-long average of one channel" \
  "$q eval --project year_project.json --store sqlite:year.db --time $year_end 'AVG(RTSTAT(CHAN(\"C00\"), $start, $year_end))'" \
  -n "quillet eval: a constant (process start)" "$q eval --project year_project.json --store sqlite:year.db '1'"
