#!/usr/bin/env bash
# Installs what is missing, builds, and starts the panel on the built-in
# simulated bench (or on the bench file named by ZELVAN_SIM_BENCH).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/install-deps.sh"
"$here/build.sh" default

# The modes without a window (help, version, list, scripted writes) need no display.
headless=0
for arg in "$@"; do
  case "$arg" in
    -h | --help | -V | --version | -l | --list | --set | --set=* | --reset) headless=1 ;;
  esac
done

if [ $headless -eq 0 ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<MSG
The panel is built, but there is no display to show it on (DISPLAY is not set).
Run it in a virtual display instead:
  xvfb-run -a -s "-screen 0 1280x800x24" $here/run.sh
or start build/default/bin/qv4720sfp from a desktop session.
MSG
  exit 1
fi
exec "$here/../build/default/bin/qv4720sfp" "$@"
