#!/bin/sh
# Runs a command beside a throw-away PostgreSQL cluster: initdb in a temporary folder, a
# server listening only on a socket in that folder (so no TCP port can clash), the connection
# string in QUILLET_TEST_POSTGRES, and everything removed afterwards. As root, the cluster
# runs as the postgres user, since the server refuses to run as root.
# usage: scripts/with-postgres.sh COMMAND [ARGS...]
set -eu

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "with-postgres: PostgreSQL is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi
dir=$(mktemp -d /tmp/quillet-pg.XXXXXX)
as_owner=""
if [ "$(id -u)" = 0 ]; then
  chown postgres "$dir"
  as_owner="runuser -u postgres --"
fi
port=$((20000 + $$ % 20000))
stop() {
  $as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$dir"
}
trap stop EXIT INT TERM
$as_owner "$bin/initdb" -D "$dir/data" -U quillet --auth=trust -E UTF8 >"$dir/initdb.log" 2>&1 ||
  { cat "$dir/initdb.log" >&2; exit 1; }
$as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
  -o "-k $dir -c listen_addresses= -p $port -c fsync=off" start >/dev/null ||
  { cat "$dir/server.log" >&2; exit 1; }
export QUILLET_TEST_POSTGRES="postgresql:///postgres?host=$dir&port=$port&user=quillet"
"$@"
