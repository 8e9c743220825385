#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: the default
# build, then the address+undefined sanitizer build, then the concurrency tests
# under ThreadSanitizer, then each fuzz target for 20 seconds on its committed
# corpus, then builds and checks the Debian package (package.sh). Pass --quick
# to run the default build only. Each step says when it starts (seconds since
# the start), so a slow one shows.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here/.."
"$here/install-deps.sh"

presets=(default asan tsan)
[ "${1:-}" = "--quick" ] && presets=(default)

status=0
step() { echo "=== [${SECONDS}s] $*"; }
for preset in "${presets[@]}"; do
  step "$preset: build"
  "$here/build.sh" "$preset"
  step "$preset: test"
  ctest --preset "$preset" -j "${SFP_JOBS:-$(nproc)}" || status=1
done
if [ "${1:-}" != "--quick" ]; then
  step "fuzz: each target for 20 s"
  "$here/fuzz.sh" 20 || status=1
  step "package: build and check the Debian package"
  "$here/package.sh" || status=1
fi
step "done: $([ $status -eq 0 ] && echo passed || echo FAILED)"
exit $status
