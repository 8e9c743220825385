#!/usr/bin/env bash
# Configures and builds one preset (default, asan or tsan) into build/<preset>.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
jobs=${SFP_JOBS:-$(nproc)}
if [ ! -f "build/$preset/CMakeCache.txt" ]; then
  cmake --preset "$preset" -G Ninja
fi
cmake --build "build/$preset" -j "$jobs"
