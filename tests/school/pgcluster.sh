#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for tests and benchmarks: its files and its socket in DIR, no
# TCP at all, stopped by `stop`. As root (CI) the server runs as the postgres user, which initdb
# needs; DIR is then handed to that user.
#
#   pgcluster.sh start DIR    prints the connection string of database lentavo (superuser postgres)
#   pgcluster.sh stop DIR     stops the server (immediately) and removes DIR
#   pgcluster.sh pause DIR    stops the server cleanly, keeping DIR (a test's server outage)
#   pgcluster.sh resume DIR   starts it again
#
# DIR must be new or empty, and short: the socket's path must fit 107 bytes (use mktemp -d).
# With PGCLUSTER_OWNER_PID set, `start` also leaves a watcher that stops and removes the cluster
# once that process is gone, so a test that crashes or is killed leaves nothing running.
set -euo pipefail

cmd=${1:?start|stop|pause|resume}
dir=${2:?DIR}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bin/initdb" ] || { echo "pgcluster.sh: no PostgreSQL server installed (apt-get install postgresql)" >&2; exit 2; }
as=()
if [ "$(id -u)" -eq 0 ]; then as=(runuser -u postgres --); fi

server_options="-c listen_addresses='' -c unix_socket_directories='$dir' -c max_connections=120"

case "$cmd" in
start)
  mkdir -p "$dir"
  [ "${#as[@]}" -eq 0 ] || chown postgres: "$dir"
  chmod 700 "$dir"
  "${as[@]}" "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
    { cat "$dir/initdb.log" >&2; exit 1; }
  "${as[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -o "$server_options" -w start >/dev/null ||
    { cat "$dir/server.log" >&2; exit 1; }
  "$bin/psql" -X -q -h "$dir" -U postgres -d postgres -c "CREATE DATABASE lentavo" >/dev/null
  if [ -n "${PGCLUSTER_OWNER_PID:-}" ]; then
    owner_pid=$PGCLUSTER_OWNER_PID
    ( while kill -0 "$owner_pid" 2>/dev/null && [ -d "$dir/data" ]; do sleep 1; done
      [ -d "$dir/data" ] && "$0" stop "$dir" ) </dev/null >/dev/null 2>&1 &
  fi
  echo "host=$dir dbname=lentavo user=postgres"
  ;;
stop)
  [ -d "$dir/data" ] && "${as[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$dir"
  ;;
pause)
  "${as[@]}" "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
  ;;
resume)
  "${as[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -o "$server_options" -w start >/dev/null
  ;;
*)
  echo "usage: pgcluster.sh start|stop|pause|resume DIR" >&2; exit 2 ;;
esac
