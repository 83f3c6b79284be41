#!/usr/bin/python3
"""Renders one Jinja2 template of the report variants (autoescape on, as the peer of
bench/report_bench.sh) to standard output, from a cold start: import, compile, render.
DATA, a JSON file, is loaded into the context when given (the workloads' precomputed data).
Usage: jinja2_peer.py TEMPLATE.j2 [DATA.json]"""
import json, os, sys, time
import jinja2


def timestr(t, fmt):
    return time.strftime(fmt, time.gmtime(t))


env = jinja2.Environment(loader=jinja2.FileSystemLoader(os.path.dirname(os.path.abspath(sys.argv[1]))),
                         autoescape=True, trim_blocks=True, lstrip_blocks=True)
env.filters['timestr'] = timestr
ctx = {'T': 1700000000}
if len(sys.argv) > 2:
    with open(sys.argv[2]) as f:
        ctx.update(json.load(f))
sys.stdout.write(env.get_template(os.path.basename(sys.argv[1])).render(ctx))
