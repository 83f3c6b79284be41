#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking Quillet need,
# only those that are missing, so a fresh machine and CI end up with the same set.
set -euo pipefail

packages=(
  build-essential cmake pkg-config bison
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev
  libcairo2-dev libfontconfig1-dev libfreetype-dev fonts-dejavu-core
  libcpp-httplib-dev nlohmann-json3-dev
  # The editor page's browser tests drive Debian's chromium.
  chromium
  # History stores: SQLite files and PostgreSQL databases (the tests start a throw-away cluster).
  libsqlite3-dev sqlite3 libpq-dev postgresql
  # Static archives of what cairo, FreeType and libpng need (the executables link them statically).
  libfontconfig-dev libpixman-1-dev libexpat1-dev libbrotli-dev
  libx11-dev libxcb1-dev libxrender-dev libxext-dev libxau-dev libxdmcp-dev
  libxcb-shm0-dev libxcb-render0-dev
)
# Benchmark peers are only needed by `make bench`.
if [ "${1:-}" = "--bench" ]; then
  packages+=(libgumbo-dev lua5.4 liblua5.4-dev libmuparser-dev hyperfine python3-jinja2 gnuplot-nox)
fi
# The fuzz targets need clang and its libFuzzer runtime; `make coverage` needs gcovr.
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
if [ "${1:-}" = "--coverage" ]; then
  packages+=(gcovr)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# Node.js and npm may come from another package source than Debian's: only ask for them
# when there is no node or npm at all.
command -v node > /dev/null || missing+=(nodejs)
command -v npm > /dev/null || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The node modules of the page's tests (playwright-core, pinned in package-lock.json), again
# whenever the lock file is newer than the installed tree. Never downloads a browser.
cd "$(dirname "$0")/.."
if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund
fi
