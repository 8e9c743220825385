#!/bin/bash
# Serves the simulated card and finds it with Debian's avahi-browse, through a
# private Avahi daemon on a private D-Bus, in a network namespace of its own
# (loopback only, so nothing is announced beyond this test).
#   dnssd_browse.sh PROGRAM
# Exit 77 (skipped, saying why) where no daemon can be started here.
set -u
program=$1

skip() { echo "SKIP: $*"; exit 77; }

if [ "${2:-}" != --inside ]; then
  for tool in avahi-daemon avahi-browse dbus-daemon unshare; do
    command -v "$tool" >/dev/null 2>&1 ||
      skip "$tool is not installed (scripts/install-deps.sh installs it)"
  done
  [ "$(id -u)" -eq 0 ] || skip "a private Avahi daemon needs root for its namespace"
  unshare --net --mount --pid --fork --kill-child true 2>/dev/null ||
    skip "cannot make a network namespace here"
  # Every daemon started inside dies with the namespace's first process.
  exec unshare --net --mount --pid --fork --kill-child --mount-proc "$0" "$program" --inside
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ip link set lo up && ip link set lo multicast on || skip "cannot bring up loopback"
mkdir -p /run/avahi-daemon && mount -t tmpfs tmpfs /run/avahi-daemon ||
  skip "cannot give the daemon a private run folder"

cat >"$work/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/><allow own="*"/>
    <allow send_destination="*"/><allow receive_sender="*"/>
  </policy>
</busconfig>
EOF
dbus-daemon --config-file="$work/bus.conf" --fork || skip "the private D-Bus did not start"
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/bus"

printf '[server]\nuse-ipv6=no\nallow-interfaces=lo\n[publish]\npublish-workstation=no\n' \
  >"$work/avahi.conf"
avahi-daemon --no-drop-root --no-chroot --no-rlimits -f "$work/avahi.conf" -D ||
  skip "the private Avahi daemon did not start"

failures=0
check() {
  if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; failures=$((failures + 1)); fi
}

ZELVAN_SIM_BENCH= "$program" --serve --no-window --port 0 -r VXI0::3::INSTR -f 2 \
  2>"$work/server.log" &
server=$!
for _ in $(seq 50); do
  grep -q "listening on" "$work/server.log" && break
  sleep 0.1
done
port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/server.log" | head -1)
check "the server says where it listens" '[ -n "$port" ]'

for _ in $(seq 50); do
  avahi-browse -rpt _scpi-raw._tcp >"$work/found" 2>/dev/null
  grep -q '^=' "$work/found" && break
  sleep 0.1
done
found=$(grep '^=' "$work/found" | head -1)
echo "found: $found"
check "_scpi-raw._tcp is found on the served port" '[[ "$found" == *";$port;"* ]]'
check "its TXT records name the maker, model, serial and firmware" \
  '[[ "$found" == *manufacturer=Quorvel* && "$found" == *model=4720* &&
      "$found" == *serialNumber=* && "$found" == *firmwareVersion=* ]]'
check "_vxi-11._tcp is found beside it" 'avahi-browse -rpt _vxi-11._tcp 2>/dev/null | grep -q "^="'
check "no daemon warning was printed" '! grep -q "no Avahi daemon" "$work/server.log"'

kill -TERM "$server"
wait "$server"
check "SIGTERM ends the server with 0" '[ $? -eq 0 ]'
# The daemon withdraws a vanished client's services with goodbye packets.
for _ in $(seq 50); do
  avahi-browse -rpt _scpi-raw._tcp >"$work/after" 2>/dev/null
  grep -q '^=' "$work/after" || break
  sleep 0.1
done
check "the service is withdrawn after exit" '! grep -q "^=" "$work/after"'

[ "$failures" -eq 0 ] || { cat "$work/server.log"; exit 1; }
