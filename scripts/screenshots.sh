#!/usr/bin/env bash
# Retakes the pictures in docs/screenshots/ from the real start-up on the
# built-in simulated bench (two usable cards), in a virtual display: the
# choice box with the splash behind it, the card selection, the panel and
# its About dialog. Run it again after any change to what the windows show.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here/.."
"$here/install-deps.sh"

build=${SFP_BUILD_DIR:-build/default}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target panel_screenshots -j "${SFP_JOBS:-$(nproc)}"

out=docs/screenshots
mkdir -p "$out"
profile="$(mktemp -d)"
trap 'rm -rf "$profile"' EXIT
# The built-in bench, no trace, and a descriptor file of its own.
env -u ZELVAN_SIM_BENCH -u ZELVAN_SIM_TRACE -u QT_QPA_PLATFORM ALLUSERSPROFILE="$profile" \
  xvfb-run -a -s "-screen 0 1280x800x24" "$build/bin/panel_screenshots" "$out"
