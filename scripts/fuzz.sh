#!/usr/bin/env bash
# Builds the "fuzz" preset and runs each libFuzzer target for the given number
# of seconds (default 60) on a copy of its committed seeds and regression
# inputs; the committed corpus is never grown. Fails when a target finds a
# crash, a sanitizer report, a leak or a hang; the input is kept under the
# work folder it prints, for tests/fuzz/regressions/<target>/.
#   scripts/fuzz.sh [seconds]
# SFP_FUZZ_BUILD_DIR overrides the build folder (default build/fuzz).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/.."
cd "$root"
seconds=${1:-60}
build=${SFP_FUZZ_BUILD_DIR:-build/fuzz}
targets=(descriptorOrder benchLoader descriptorFile scpiParser vxi11Record sequenceCsv
  setupFile)

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset fuzz -G Ninja -B "$build"
fi
cmake --build "$build" -j "${SFP_JOBS:-$(nproc)}" --target "${targets[@]/#/fuzz_}"

work="$(mktemp -d "${TMPDIR:-/tmp}/sfp-fuzz.XXXXXX")"
mkdir -p "$work/allusers"
export ALLUSERSPROFILE="$work/allusers" ZELVAN_SIM_BENCH= ZELVAN_SIM_TRACE= QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$root/tests/fuzz/lsan.supp:${LSAN_OPTIONS:-}"

failed=0
for target in "${targets[@]}"; do
  corpus="$work/corpus/$target"
  mkdir -p "$corpus" "$work/artifacts/$target"
  cp tests/fuzz/corpus/"$target"/* "$corpus"/
  find tests/fuzz/regressions/"$target" -type f ! -name '.*' -exec cp {} "$corpus"/ \;
  extra=()
  # The widget toolkit keeps per-process caches that libFuzzer's per-input
  # leak check would report on every input.
  [ "$target" = descriptorFile ] && extra+=(-detect_leaks=0)
  echo "=== fuzz $target for ${seconds}s"
  if ! "$build/bin/fuzz_$target" "$corpus" \
      -dict="tests/fuzz/$target.dict" -max_total_time="$seconds" -timeout=25 \
      -rss_limit_mb=4096 -print_final_stats=1 \
      -artifact_prefix="$work/artifacts/$target/" "${extra[@]}" 2> "$work/$target.log"; then
    tail -n 60 "$work/$target.log"
    echo "=== fuzz $target FAILED: input kept in $work/artifacts/$target/"
    failed=$((failed + 1))
  else
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' \
      "$work/$target.log" || true
  fi
done

echo "fuzz: $((${#targets[@]} - failed)) passed, $failed failed"
if [ $failed -eq 0 ]; then
  rm -rf "$work"
fi
[ $failed -eq 0 ]
