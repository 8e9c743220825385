#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: the default
# build, then the address+undefined sanitizer build, then the concurrency tests
# under ThreadSanitizer, then each fuzz target for a minute, then builds and
# checks the Debian package (package.sh). Pass --quick to run the default
# build only.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here/.."
"$here/install-deps.sh"

presets=(default asan tsan)
[ "${1:-}" = "--quick" ] && presets=(default)

status=0
for preset in "${presets[@]}"; do
  echo "=== $preset: build"
  "$here/build.sh" "$preset"
  echo "=== $preset: test"
  ctest --preset "$preset" -j "${SFP_JOBS:-$(nproc)}" || status=1
done
if [ "${1:-}" != "--quick" ]; then
  echo "=== fuzz: each target for 60 s"
  "$here/fuzz.sh" 60 || status=1
  echo "=== package: build and check the Debian package"
  "$here/package.sh" || status=1
fi
exit $status
