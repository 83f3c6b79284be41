#!/usr/bin/env bash
# Two report workloads over a history store, each timed beside the closest Jinja2 template,
# which gets the same figures precomputed in Python (a JSON file it loads):
#   month: a month of hourly statistics, 720 rows x 8 channels, each with the time-weighted
#          average, minimum and maximum and the times of the minimum and maximum (RTSTAT);
#   events: 20,000 of 30,000 events of the log through a severity filter.
# Usage: bench/report_variants/workloads.sh BUILD_DIR
# Env: RUNS (hyperfine runs, default 3)
set -euo pipefail
build=$(cd "${1:?usage: bench/report_variants/workloads.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
RUNS=${RUNS:-3}
PY=/usr/bin/python3
export TZ=UTC
q="$build/quillet"
out="$build/report-workloads"
mkdir -p "$out"
cd "$out"
start=1764547200  # 2025-12-01T00:00Z
end=$((start + 720 * 3600))

# The store is made again when it is missing or this quillet cannot read it (another schema).
if [ ! -f plant.db ] || ! "$q" eval --project project.json --store sqlite:plant.db 1 > /dev/null 2>&1; then
  rm -f plant.db plant.db-wal plant.db-shm
  $PY - "$start" <<'PY'
import json, sys
start = int(sys.argv[1])
channels = [{"number": i, "name": "C%d" % i, "code": "TT-%03d" % i, "unit": "degC"} for i in range(8)]
json.dump({"nodes": [{"name": "PLANT", "channels": channels}]}, open("project.json", "w"))
with open("events.csv", "w") as f:
    f.write("time,channel,type,severity,text\n")
    for i in range(30000):
        f.write("%d,C%d,%d,%d,Event %d of channel C%d\n" % (start + 60 + i * 86, i % 8, 64 + i % 5, (i * 7) % 3 + 1 if i % 3 else 0, i, i % 8))
PY
  "$q" import --store sqlite:plant.db --project project.json --simulate --from "$start" --to "$end" --step 60 > /dev/null
  "$q" import --store sqlite:plant.db --project project.json events.csv > /dev/null
fi

# The quillet templates.
cat > month.html <<HTML
<!DOCTYPE html>
<HTML><HEAD><TITLE>Hourly statistics</TITLE>
<!--\$VX DOC PRJ=%{"project.json"}% STORE=%{"plant.db"}%-->
<!--\$VX VAR NAME=hour VALUE=%{$start + 3600 * ROW()}%-->
<!--\$VX VAR NAME=stat VALUE=%{RTSTAT(CHAN(ARGS[0], 0, "PLANT"), @hour, @hour + 3600)}%-->
<!--\$VX VAR NAME=cell VALUE=%{var s = @stat(ARGS[0]); FORMAT("%.2f", AVG(s)) + " " + FORMAT("%.2f", MIN(s)) + TIMESTR(" (%H:%M) ", MIN_T(s)) + FORMAT("%.2f", MAX(s)) + TIMESTR(" (%H:%M)", MAX_T(s));}%-->
</HEAD><BODY><TABLE>
<TR><TH>Hour</TH><TH>C0</TH><TH>C1</TH><TH>C2</TH><TH>C3</TH><TH>C4</TH><TH>C5</TH><TH>C6</TH><TH>C7</TH></TR>
<TR><TD><!--\$VX ELT ROWS=%{720}% VALUE=%{TIMESTR("%Y-%m-%d %H:00", @hour)}%--></TD>
HTML
for c in 0 1 2 3 4 5 6 7; do echo "<TD><!--\$VX ELT VALUE=%{@cell($c)}%--></TD>" >> month.html; done
echo '</TR></TABLE></BODY></HTML>' >> month.html

cat > events.html <<HTML
<!DOCTYPE html>
<HTML><HEAD><TITLE>Event list</TITLE>
<!--\$VX DOC PRJ=%{"project.json"}% STORE=%{"plant.db"}%-->
<!--\$VX VAR NAME=events VALUE=%{EVENTS("PLANT", EFILTER($start, $end, 1, 4))}%-->
<!--\$VX VAR NAME=event VALUE=%{@events[ROW()]}%-->
<!--\$VX VAR NAME=names VALUE=%{LIST("info", "notice", "warning", "alarm", "critical")}%-->
</HEAD><BODY><TABLE>
<TR><TH>No.</TH><TH>Time</TH><TH>Channel</TH><TH>Code</TH><TH>Severity</TH><TH>Message</TH></TR>
<TR><TD><!--\$VX ELT ROWS=%{SIZE(@events)}% VALUE=%{ROW() + 1}%--></TD>
<TD><!--\$VX ELT VALUE=%{TIMESTR("%d.%m.%Y %H:%M:%S", TIME(@event))}%--></TD>
<TD><!--\$VX ELT VALUE=%{NAME(CHAN(@event))}%--></TD>
<TD><!--\$VX ELT VALUE=%{FORMAT("%04X", ETYPE(@event))}%--></TD>
<TD><!--\$VX ELT VALUE=%{@names[SEVERITY(@event)]} ATTR.BGCOLOR=%{if SEVERITY(@event) >= 3 then "#FFC0C0" else "white"}%--></TD>
<TD><!--\$VX ELT VALUE=%{@event}%--></TD>
</TR></TABLE></BODY></HTML>
HTML
sed -i 's/%{@names\[SEVERITY(@event)\]}/%{@names[SEVERITY(@event)]}%/' events.html

# Jinja2's data: the same figures, from the report quillet wrote (so Jinja2 does no work on them).
"$q" report month.html --out . --name month.q --time "$end" > /dev/null
"$q" report events.html --out . --name events.q --time "$end" > /dev/null
$PY - <<'PY'
import json
from html.parser import HTMLParser
class Rows(HTMLParser):
    def __init__(s): super().__init__(); s.rows = []; s.cell = None
    def handle_starttag(s, t, a):
        if t == 'tr': s.rows.append([])
        if t == 'td': s.cell = ''
    def handle_endtag(s, t):
        if t == 'td': s.rows[-1].append(s.cell); s.cell = None
    def handle_data(s, d):
        if s.cell is not None: s.cell += d
def rows(path):
    p = Rows(); p.feed(open(path, encoding='latin-1').read()); return [r for r in p.rows if r]
month = []
for r in rows('month.q.htm'):
    cells = []
    for c in r[1:]:
        avg, mn, mnt, mx, mxt = c.replace('(', '').replace(')', '').split()
        cells.append({'avg': float(avg), 'min': float(mn), 'min_t': mnt, 'max': float(mx), 'max_t': mxt})
    month.append({'hour': r[0], 'channels': cells})
json.dump({'rows': month}, open('month.json', 'w'))
events = []
for i, line in enumerate(open('events.csv').read().splitlines()[1:]):
    t, ch, code, sev, text = line.split(',', 4)
    events.append({'t': int(t), 'channel': ch, 'code': int(code), 'severity': int(sev), 'text': text})
events.reverse()  # the log's order: newest first
json.dump({'events': events}, open('events.json', 'w'))
PY
cat > month.j2 <<'J2'
<!DOCTYPE html>
<html><head><title>Hourly statistics</title></head><body><table>
<tr><th>Hour</th>{% for c in range(8) %}<th>C{{ c }}</th>{% endfor %}</tr>
{% for r in rows %}
<tr><td>{{ r.hour }}</td>{% for s in r.channels %}<td>{{ '%.2f' % s.avg }} {{ '%.2f' % s.min }} ({{ s.min_t }}) {{ '%.2f' % s.max }} ({{ s.max_t }})</td>{% endfor %}</tr>
{% endfor %}
</table></body></html>
J2
cat > events.j2 <<'J2'
{% set names = ['info', 'notice', 'warning', 'alarm', 'critical'] %}
<!DOCTYPE html>
<html><head><title>Event list</title></head><body><table>
<tr><th>No.</th><th>Time</th><th>Channel</th><th>Code</th><th>Severity</th><th>Message</th></tr>
{% for e in events if 1 <= e.severity <= 4 %}
<tr><td>{{ loop.index }}</td><td>{{ e.t | timestr('%d.%m.%Y %H:%M:%S') }}</td><td>{{ e.channel }}</td><td>{{ '%04X' % e.code }}</td><td bgcolor="{{ '#FFC0C0' if e.severity >= 3 else 'white' }}">{{ names[e.severity] }}</td><td>{{ e.text }}</td></tr>
{% endfor %}
</table></body></html>
J2
for w in month events; do
  $PY "$here/jinja2_peer.py" $w.j2 $w.json > $w.j2.htm
  $PY "$here/cells.py" $w.q.htm $w.j2.htm > /dev/null || echo "warning: $w: Jinja2's cells differ from quillet's" >&2
done
rows=$(grep -o '<TR>' events.q.htm | wc -l)
echo "events: $((rows - 1)) rows listed" >&2
hyperfine -N --style basic --output=null --warmup 1 --runs "$RUNS" --export-json times.json \
  -n "quillet month" "$q report month.html --out . --name month.q --time $end" \
  -n "jinja2 month" "$PY $here/jinja2_peer.py month.j2 month.json" \
  -n "quillet events" "$q report events.html --out . --name events.q --time $end" \
  -n "jinja2 events" "$PY $here/jinja2_peer.py events.j2 events.json" > hyperfine.log 2>&1 || { cat hyperfine.log >&2; exit 1; }
$PY "$here/summary.py" times.json --no-targets
