#!/usr/bin/env bash
# Runs every fuzz target of BUILD for SECONDS each, one after another in a single process,
# over its corpus in BUILD/corpus/<target> (seeded by make_corpus.sh, grown by the runs).
# Crashing inputs land in BUILD/artifacts/<target>/. Exit 1 when any target found a fault.
# usage: fuzz/run.sh BUILD [SECONDS] [TARGET...]
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: run.sh BUILD [SECONDS] [TARGET...]}"
seconds="${2:-60}"
shift $(( $# >= 2 ? 2 : 1 ))
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_html fuzz_expr fuzz_directive fuzz_report)

"$root/fuzz/make_corpus.sh" "$build/corpus" >/dev/null
status=0
for t in "${targets[@]}"; do
  mkdir -p "$build/artifacts/$t"
  log="$build/artifacts/$t.log"
  "$build/fuzz/$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$t/" "$build/corpus/$t" >"$log" 2>&1
  rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
  if [ $rc -ne 0 ]; then
    status=1
    echo "$t: FAULT (exit $rc) after ${runs:-?} runs; see $log and $build/artifacts/$t/"
    grep -m3 -E 'ERROR|SUMMARY|abort|deadly' "$log" | sed 's/^/  /'
  else
    echo "$t: ${runs:-?} runs in ${seconds}s, ${cov:-cov ?}, no fault"
  fi
done
exit $status
