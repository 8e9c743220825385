#!/usr/bin/env bash
# Configures and builds one preset (default, asan or tsan) into build/<preset>.
# The ThreadSanitizer build runs only its test programs, so makes only them.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
jobs=${SFP_JOBS:-$(nproc)}
if [ ! -f "build/$preset/CMakeCache.txt" ]; then
  cmake --preset "$preset" -G Ninja
fi
targets=()
[ "$preset" = tsan ] && targets=(--target sfp_qtests)
cmake --build "build/$preset" -j "$jobs" "${targets[@]}"
