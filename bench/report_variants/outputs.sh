#!/usr/bin/env bash
# Writes the reports of every example template (simulated source, a fixed report time) and of
# every report variant into DIR, so that two builds' outputs can be compared byte for byte
# (diff -r) before and after a change to the evaluator or the writer.
# Usage: bench/report_variants/outputs.sh BUILD_DIR DIR
set -euo pipefail
build=$(cd "${1:?usage: outputs.sh BUILD_DIR DIR}" && pwd)
dir=${2:?usage: outputs.sh BUILD_DIR DIR}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
export TZ=UTC
rm -rf "$dir"; mkdir -p "$dir/variants"
for t in "$root"/examples/*.html "$root"/examples/*.htt; do
  QUILLET_DEMO_PROJECT="$root/examples/demo_project.json" \
    "$build/quillet" report "$t" --out "$dir" --time 1700000000 > /dev/null 2>> "$dir/stderr.txt" || true
done
names=$(/usr/bin/python3 "$here/variants.py" "$dir/variants" "${ROWS:-10000}")
for v in $names; do
  "$build/quillet" report "$dir/variants/$v.html" --out "$dir/variants" --time 1700000000 > /dev/null
done
rm -f "$dir"/variants/*.html "$dir"/variants/*.j2
