#!/bin/sh
# Starts the port mapper for the VXI-11 client tests when none runs, and stops
# only one it started.   rpcbind_fixture.sh start|stop STATEFILE
# Exit 77 (skipped) where it cannot be started here.
action=$1
state=$2
running() { rpcinfo -p 127.0.0.1 >/dev/null 2>&1; }

case "$action" in
start)
  rm -f "$state"
  if running; then
    echo "rpcbind already running: using it"
    exit 0
  fi
  if ! command -v rpcbind >/dev/null 2>&1; then
    echo "SKIP: rpcbind is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: no port mapper runs and starting rpcbind needs root"
    exit 77
  fi
  setsid rpcbind -f -w </dev/null >/dev/null 2>&1 &
  echo $! > "$state"
  for _ in $(seq 50); do
    running && { echo "rpcbind started (pid $(cat "$state"))"; exit 0; }
    sleep 0.1
  done
  echo "SKIP: rpcbind did not come up"
  kill "$(cat "$state")" 2>/dev/null
  rm -f "$state"
  exit 77
  ;;
stop)
  [ -f "$state" ] || { echo "rpcbind was not started by the tests: left running"; exit 0; }
  pid=$(cat "$state")
  kill "$pid" 2>/dev/null
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$state"
  echo "rpcbind (pid $pid) stopped"
  ;;
esac
