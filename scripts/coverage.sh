#!/usr/bin/env bash
# Builds the tests with coverage counters in BUILD, runs them and reports line and branch
# coverage with gcovr: one summary over our code and one line per file of the HTML reader and
# writer (doc/html_*) and of the expression language (txl/). Text reports land in BUILD/coverage/.
# usage: [COV_TARGETS="..."] scripts/coverage.sh [BUILD] [JOBS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build-cov}"
jobs="${2:-2}"
cd "$root"
test -f "$build/CMakeCache.txt" ||
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_C_FLAGS=--coverage \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage
# COV_TARGETS="doc_tests txl_tests" builds and runs only those test programs.
find "$build" -name '*.gcda' -delete
if [ -n "${COV_TARGETS:-}" ]; then
  cmake --build "$build" -j "$jobs" --target ${COV_TARGETS}
  for t in ${COV_TARGETS}; do "$build/tests/$t" --gtest_brief=1; done
else
  cmake --build "$build" -j "$jobs"
  (cd "$build" && ctest --output-on-failure -j "$jobs")
fi
mkdir -p "$build/coverage"
# Branches the compiler adds for exceptions and the generated parser are left out of the figures.
common=(--root "$root" --object-directory "$build" --exclude-unreachable-branches --exclude-throw-branches
        --exclude "$build/.*" --gcov-exclude '.*CompilerId.*' --exclude 'tests/.*' --exclude 'bench/.*' --exclude 'fuzz/.*')
gcovr "${common[@]}" --txt "$build/coverage/all.txt" --print-summary | tail -3
for area in 'doc/html_.*' 'txl/.*'; do
  name=$(echo "$area" | tr -cd 'a-z_')
  echo "== $area"
  gcovr "${common[@]}" --filter "$root/$area" --txt "$build/coverage/$name.txt" --print-summary | tail -3
  gcovr "${common[@]}" --filter "$root/$area" --branches --txt "$build/coverage/${name}_branches.txt" >/dev/null 2>&1 || true
done
