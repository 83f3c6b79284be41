#!/usr/bin/env python3
"""Times the editor's server: start to the first line printed and to "/" answering, opening
the largest example and a 2 MB template, a preview of each example, and the server's memory
at rest, fresh and after those opens and previews. Prints the median of 5 runs of each.
Usage: bench/editor_server_bench.py [build/quillet]"""
import http.client, json, os, re, statistics, subprocess, sys, tempfile, time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
quillet = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build", "quillet")
examples = os.path.join(root, "examples")
env = dict(os.environ, QUILLET_DEMO_PROJECT=os.path.join(examples, "demo_project.json"))


def start():
    """Starts the editor; the process, the times to the first line and to "/" answering (ms)
    and a client with the session's headers."""
    env["XDG_CONFIG_HOME"] = tempfile.mkdtemp()
    t0 = time.perf_counter()
    proc = subprocess.Popen([quillet, "edit", "--no-browser"], stdout=subprocess.PIPE, env=env, text=True)
    url = proc.stdout.readline().strip()
    first_line = (time.perf_counter() - t0) * 1000
    port, token = int(re.search(r":(\d+)/", url).group(1)), url.split("token=")[1]
    conn = http.client.HTTPConnection("127.0.0.1", port)
    conn.request("GET", "/?token=" + token)
    resp = conn.getresponse()
    resp.read()
    headers = {"Cookie": resp.getheader("Set-Cookie").split(";")[0], "X-Quillet": "1",
               "Content-Type": "application/json"}
    conn.request("GET", "/", headers={"Cookie": headers["Cookie"]})
    conn.getresponse().read()
    answered = (time.perf_counter() - t0) * 1000
    conn.request("POST", "/api/session", "{}", headers)
    headers["X-Quillet-Tab"] = json.loads(conn.getresponse().read())["tab"]
    return proc, first_line, answered, conn, headers


def post(conn, headers, path, body):
    t0 = time.perf_counter()
    conn.request("POST", path, json.dumps(body), headers)
    resp = conn.getresponse()
    data = json.loads(resp.read())
    if resp.status != 200:
        raise SystemExit(f"{path}: {resp.status} {data}")
    return data, (time.perf_counter() - t0) * 1000


def big_template(path, size=2 << 20):
    """A template of about `size` bytes: a table whose rows each carry dynamic cells."""
    row = ('<TR><TD><!--$VX ELT VALUE=%{FORMAT("%.1f", GETVAL("BOILERS.T_SUPPLY"))}%-->0</TD>'
           '<TD STYLE="color: red">Supply temperature &amp; flow</TD><TD><B>text</B> more text</TD></TR>\n')
    with open(path, "w") as f:
        f.write("<HTML><HEAD><TITLE>Big</TITLE></HEAD><BODY><TABLE BORDER=1>\n")
        f.write(row * (size // len(row)))
        f.write("</TABLE></BODY></HTML>\n")


def median(values):
    return f"{statistics.median(values):.1f} ms"


firsts, answers = [], []
for _ in range(5):
    proc, first, answered, conn, headers = start()
    firsts.append(first)
    answers.append(answered)
    post(conn, headers, "/api/exit", {})
    proc.wait()
print("start to first line:", median(firsts))
print("start to / answering:", median(answers))

def rss_mb(pid):
    return int(re.search(r"VmRSS:\s+(\d+)", open(f"/proc/{pid}/status").read()).group(1)) / 1024


proc, _, _, conn, headers = start()
time.sleep(1)
print(f"server memory at rest, fresh: {rss_mb(proc.pid):.1f} MB")
names = sorted(n for n in os.listdir(examples) if n.endswith((".html", ".htt")))
largest = max(names, key=lambda n: os.path.getsize(os.path.join(examples, n)))
big = os.path.join(tempfile.mkdtemp(), "big.html")
big_template(big)
for label, path in ((f"open {largest}", os.path.join(examples, largest)), ("open 2 MB template", big)):
    print(label + ":", median([post(conn, headers, "/api/open", {"path": path})[1] for _ in range(5)]))
for name in names:
    doc, _ = post(conn, headers, "/api/open", {"path": os.path.join(examples, name)})
    runs = [post(conn, headers, "/api/preview", {"html": doc["html"], "state": doc["state"], "time": 1700000000})[1]
            for _ in range(5)]
    print(f"preview {name}:", median(runs))
time.sleep(1)
print(f"server memory at rest after these opens and previews: {rss_mb(proc.pid):.1f} MB (bound: 30 MB)")
post(conn, headers, "/api/exit", {})
proc.wait()
