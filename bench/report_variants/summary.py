#!/usr/bin/python3
"""Prints the variants' medians from hyperfine's JSON: each quillet run beside its Jinja2 run
("quillet NAME" / "jinja2 NAME"), the ratio, and against the targets: every variant at least
5x Jinja2, the benchmark's own template at least 8x and within 3x of the C++ floor.
Usage: summary.py TIMES.json [--no-targets]   (the workloads have none)"""
import json, statistics, sys

targets = '--no-targets' not in sys.argv

res = {r['command']: statistics.median(r['times']) * 1e3 for r in json.load(open(sys.argv[1]))['results']}
names = [c[len('quillet '):] for c in res if c.startswith('quillet ')]
print('%-18s %12s %12s %10s' % ('variant', 'quillet ms', 'jinja2 ms', 'ratio'))
worst = None
for n in names:
    q, j = res['quillet ' + n], res['jinja2 ' + n]
    target = 8 if n == 'bench' else 5
    verdict = ('met' if j / q >= target else 'MISSED (%dx)' % target) if targets else ''
    print('%-18s %12.1f %12.1f %9.1fx %s' % (n, q, j, j / q, verdict))
    worst = min(worst or j / q, j / q)
if targets:
    print('worst variant: %.1fx Jinja2' % worst)
if 'cpp_floor' in res and 'quillet bench' in res:
    f = res['quillet bench'] / res['cpp_floor']
    print('bench / C++ floor: %.1fx the floor\'s time (%.1f ms): %s' % (f, res['cpp_floor'], 'met' if f <= 3 else 'MISSED (3x)'))
