#!/usr/bin/env bash
# Reads and writes every HTML file under the given folders (default: /usr/share/doc and the
# other large HTML collections found on the machine) with printer flags 0 and 2, checking that
# nothing crashes and that the flags-2 output is a fixed point. Builds the checker in BUILD.
# usage: scripts/html_corpus_check.sh [BUILD] [DIR...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build}"
shift || true
dirs=("$@")
if [ ${#dirs[@]} -eq 0 ]; then
  dirs=(/usr/share/doc)
  for d in /usr/share/gtk-doc /usr/lib/node_modules /root/.rustup/toolchains /usr/lib/google-cloud-sdk; do
    [ -d "$d" ] && dirs+=("$d")
  done
fi
test -f "$build/CMakeCache.txt" || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j 2 --target html_corpus_check
find "${dirs[@]}" -type f \( -iname '*.html' -o -iname '*.htm' \) 2>/dev/null | "$build/bench/html_corpus_check"
