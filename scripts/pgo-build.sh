#!/usr/bin/env bash
# A profile-guided release build in BUILD. An instrumented build of the program, in
# BUILD/pgo/train, makes a report of every bundled example (tables repeated per hour,
# statistics, event lists, trend charts, a wizard fragment); the release build in BUILD is then
# compiled with the profile those runs wrote. The profile is written afresh every time, from
# the same sources as the release build, so whatever make recompiles finds a profile that fits
# it; objects that are not recompiled keep the one they were made with, which fits them too.
# The release build is also optimised at link time.
# Usage: scripts/pgo-build.sh BUILD [JOBS [TARGET...]]   (no TARGET: everything)
set -euo pipefail
usage="usage: scripts/pgo-build.sh BUILD [JOBS [TARGET...]]"
build=${1:?$usage}
jobs=${2:-$(nproc)}
shift $(($# < 2 ? $# : 2))
targets=()
for t in "$@"; do targets+=(--target "$t"); done
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$build"
build=$(cd "$build" && pwd)
train="$build/pgo/train"
profile="$build/pgo/profile"
runs="$build/pgo/runs"

# The instrumented program.
[ -f "$train/CMakeCache.txt" ] ||
  cmake -S "$root" -B "$train" -DCMAKE_BUILD_TYPE=Release -DQUILLET_PGO=generate -DQUILLET_PGO_DIR="$profile" > /dev/null
cmake --build "$train" -j "$jobs" --target quillet

# The training runs, into an empty profile.
rm -rf "$profile" "$runs"
mkdir -p "$profile" "$runs"
for template in "$root"/examples/*.html "$root"/examples/*.htt; do
  QUILLET_DEMO_PROJECT="$root/examples/demo_project.json" \
    "$train/quillet" report "$template" --out "$runs" --time 1700000000 > /dev/null
done

# The release build with that profile, optimised across the whole program at link time: a
# report's work passes through many small functions of different folders (a cell's printing,
# its properties' calls, their bodies), which only then can be inlined into each other. The
# profile is read when each source is compiled, so the instrumented build needs no such link.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLET_PGO=use -DQUILLET_PGO_DIR="$profile" \
  -DCMAKE_INTERPROCEDURAL_OPTIMIZATION=ON > /dev/null
cmake --build "$build" -j "$jobs" "${targets[@]}"
