#!/usr/bin/env bash
# Runs the panel end to end under valgrind's memcheck and fails on any invalid
# read or write, any other memcheck error, and anything definitely lost:
#   - the program's own start-up (splash, connection, panel, About dialog,
#     event loop, tear-down) on the built-in bench, in demo mode and through
#     "Auto Find" with a real connection;
#   - 2,000 channel writes through the panel's controls;
#   - the panel tests (hardware and demo, resets, error and warning boxes);
#   - the fault matrix (every library call failing and warning).
# Leaks inside Qt, fontconfig and the X libraries that no project frame
# reaches are suppressed by scripts/valgrind.supp; nothing of ours is.
#   scripts/valgrind.sh            logs are kept in the folder it prints
# The build is unoptimised (Debug): at -O2 the compiler may test an empty
# std::optional's payload before its flag, which memcheck reports as a jump on
# an uninitialised value although the result never depends on it.
# SFP_BUILD_DIR overrides the build folder (default build/valgrind).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here/.."
"$here/install-deps.sh"

build=${SFP_BUILD_DIR:-build/valgrind}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug
fi
cmake --build "$build" -j "${SFP_JOBS:-$(nproc)}" \
  --target startup_panel longrun_benchmark tst_panel tst_faultmatrix

work="$(mktemp -d "${TMPDIR:-/tmp}/sfp-valgrind.XXXXXX")"
mkdir -p "$work/allusers"
export QT_QPA_PLATFORM=offscreen ALLUSERSPROFILE="$work/allusers"
unset ZELVAN_SIM_BENCH ZELVAN_SIM_TRACE

memcheck=(valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite
  --show-leak-kinds=definite --num-callers=40 --error-exitcode=99
  --suppressions="$here/valgrind.supp")

failed=0
count=0
# check NAME PROGRAM [ARGS...]: one run under memcheck, one line of summary.
check() {
  local name=$1
  shift
  local log="$work/$name.log" status=0
  "${memcheck[@]}" --log-file="$log" "$@" > "$work/$name.out" 2>&1 || status=$?
  local reads writes lost errors result=ok
  reads=$(grep -c 'Invalid read' "$log" || true)
  writes=$(grep -c 'Invalid write' "$log" || true)
  lost=$(sed -n 's/.*definitely lost: \([0-9,]*\) bytes.*/\1/p' "$log" | tr -d , | tail -n 1)
  errors=$(sed -n 's/.*ERROR SUMMARY: \([0-9,]*\) errors.*/\1/p' "$log" | tr -d , | tail -n 1)
  if [ "$status" -ne 0 ] || [ "$reads" -ne 0 ] || [ "$writes" -ne 0 ] || [ "${errors:-1}" -ne 0 ]; then
    result=FAILED
    failed=$((failed + 1))
  fi
  count=$((count + 1))
  printf '%-18s %6s %10s %10s %14s %8s  %s\n' "$name" "$status" "$reads" "$writes" \
    "${lost:-0}" "${errors:-?}" "$result"
}

printf '%-18s %6s %10s %10s %14s %8s  %s\n' run exit "inv. read" "inv. write" \
  "def. lost (B)" errors result
SFP_STARTUP_CHOICE= check startup-demo "$build/bin/startup_panel"
SFP_STARTUP_CHOICE="Auto Find" check startup-hardware "$build/bin/startup_panel"
check writes "$build/bin/longrun_benchmark" 2000
check panel-tests "$build/bin/tst_panel"
check fault-matrix "$build/bin/tst_faultmatrix"

echo "logs: $work"
echo "valgrind: $((count - failed)) passed, $failed failed"
[ $failed -eq 0 ]
