#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the tests and benchmarks: its own folder, the server's
# socket inside that folder, no TCP port, trust authentication for the local socket only.
#
#   pg-test-cluster.sh run CMD [ARG...]  start a cluster in a temporary folder, run CMD with
#                                        GALERION_TEST_PG set to its connection string, stop
#                                        the cluster and remove the folder whatever happens
#   pg-test-cluster.sh start DIR         make (once) and start a cluster in DIR; prints its
#                                        connection string
#   pg-test-cluster.sh stop DIR          stop the cluster in DIR (nothing if it is not running)
#
# As root the server runs as the unprivileged user `postgres` (made if missing); the folder is
# handed to that user. Without a PostgreSQL server installed, `run` runs CMD without the
# variable, so that the PostgreSQL tests report themselves skipped.
set -euo pipefail

readonly kDatabase=galerion_test
readonly kPort=5432
self="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")"

server_bin() {
  local dir
  dir="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
  [ -n "$dir" ] && [ -x "$dir/initdb" ] && [ -x "$dir/pg_ctl" ] && echo "$dir"
}

server_user() {
  if [ "$(id -u)" -ne 0 ]; then
    id -un
    return
  fi
  id -u postgres >/dev/null 2>&1 ||
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin postgres
  echo postgres
}

# Runs a command as the server's user, in a folder that user can enter.
as_server_user() {
  if [ "$(id -u)" -eq 0 ]; then
    (cd / && runuser -u "$(server_user)" -- "$@")
  else
    "$@"
  fi
}

connection_string() {
  echo "Provider=PostgreSQL;Host=$1;Port=$kPort;Database=$kDatabase;User ID=$(server_user)"
}

start_cluster() {
  local dir bin user
  dir="$(realpath "$1")"
  bin="$(server_bin)" || { echo "no PostgreSQL server installed" >&2; return 1; }
  user="$(server_user)"
  mkdir -p "$dir"
  [ "$(id -u)" -ne 0 ] || chown "$user" "$dir"
  chmod 700 "$dir"
  if [ ! -f "$dir/data/PG_VERSION" ]; then
    as_server_user "$bin/initdb" --pgdata="$dir/data" --auth=trust --encoding=UTF8 \
      --no-locale --no-instructions >"$dir/initdb.log" 2>&1 ||
      { cat "$dir/initdb.log" >&2; return 1; }
    # One role must give its password, so that the tests can see a wrong one refused.
    local hba="$dir/data/pg_hba.conf"
    { echo "local all galerion_password_test scram-sha-256"; cat "$hba"; } >"$hba.new"
    mv "$hba.new" "$hba"
    [ "$(id -u)" -ne 0 ] || chown "$user" "$hba"
  fi
  if ! as_server_user "$bin/pg_ctl" --pgdata="$dir/data" status >/dev/null 2>&1; then
    as_server_user "$bin/pg_ctl" --pgdata="$dir/data" --log="$dir/server.log" --wait \
      --options="-c listen_addresses='' -c unix_socket_directories='$dir' -p $kPort" \
      start >/dev/null || { cat "$dir/server.log" >&2; return 1; }
  fi
  if ! as_server_user "$bin/psql" -h "$dir" -p "$kPort" -d postgres -tAc \
      "SELECT 1 FROM pg_database WHERE datname = '$kDatabase'" | grep -q 1; then
    as_server_user "$bin/createdb" -h "$dir" -p "$kPort" "$kDatabase"
  fi
  connection_string "$dir"
}

stop_cluster() {
  local dir bin
  dir="$(realpath "$1")"
  bin="$(server_bin)" || return 0
  [ -f "$dir/data/postmaster.pid" ] || return 0
  as_server_user "$bin/pg_ctl" --pgdata="$dir/data" --mode=fast --wait stop >/dev/null 2>&1 ||
    true
}

run_with_cluster() {
  if ! server_bin >/dev/null; then
    echo "pg-test-cluster: no PostgreSQL server installed; its tests will be skipped" >&2
    "$@"
    return
  fi
  local dir status=0
  dir="$(mktemp -d /tmp/galerion-pg.XXXXXX)"
  # shellcheck disable=SC2064
  trap "'$self' stop '$dir'; rm -rf '$dir'" EXIT
  trap 'exit 130' INT TERM HUP
  if ! GALERION_TEST_PG="$(start_cluster "$dir")"; then
    # Under CI the PostgreSQL tests must run: a server that does not start fails the run.
    [ "${CI:-}" != "true" ] || return 1
    echo "pg-test-cluster: the server did not start; its tests will be skipped" >&2
    "$@"
    return
  fi
  export GALERION_TEST_PG
  export GALERION_TEST_PG_CLUSTER="$self"
  "$@" || status=$?
  return "$status"
}

case "${1:-}" in
  run) shift; run_with_cluster "$@" ;;
  start) start_cluster "$2" ;;
  stop) stop_cluster "$2" ;;
  *) sed -n '2,15p' "$self" >&2; exit 2 ;;
esac
