#!/usr/bin/env bash
# Runs every test: the host unit tests under sanitizers, a bounded fuzz run of the scheme file
# decoder, the 32-bit product build and its package, and the Windows-side tests under Wine on a virtual display
# of its own. Ends with one summary line: "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1
source scripts/wine-env.sh
jobs=$(nproc)
passed=0 failed=0

# Adds the counts of a ctest log ("95% tests passed, 1 tests failed out of 20").
count_ctest() {
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$1" | tail -n 1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  bad=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/')
  total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
  passed=$((passed + total - bad)); failed=$((failed + bad))
}

# Shows what failed in a ctest log, so that CI's output says it.
show_failures() {
  grep -q 'tests FAILED' "$1" && grep -B3 -A12 -E 'Failure$|^Failure' "$1" | head -n 120
  return 0
}

step() {  # step NAME COMMAND...: one check that passes or fails as a whole
  local name=$1; shift
  if "$@" >"build/logs/$name.log" 2>&1; then passed=$((passed + 1)); echo "ok   $name"
  else failed=$((failed + 1)); echo "FAIL $name (build/logs/$name.log)"; tail -n 30 "build/logs/$name.log"; fi
}

mkdir -p build/logs

# Host: the portable core under AddressSanitizer and UndefinedBehaviorSanitizer.
if cmake --preset host >build/logs/host-build.log 2>&1 && cmake --build --preset host -j"$jobs" >>build/logs/host-build.log 2>&1; then
  ctest --preset host -j"$jobs" >build/logs/host-tests.log 2>&1
  count_ctest build/logs/host-tests.log
  tail -n 3 build/logs/host-tests.log
  show_failures build/logs/host-tests.log
else
  failed=$((failed + 1)); echo "FAIL host build"; tail -n 30 build/logs/host-build.log
fi

# Fuzz: the decoders of the scheme file and of the recovery file, each for a bounded time, from
# corpora of valid and boundary files.
fuzz_run() {
  cmake --preset fuzz && cmake --build --preset fuzz -j"$jobs" || return 1
  rm -rf build/fuzz/corpus build/fuzz/recovery
  python3 tests/fuzz/make_corpus.py build/fuzz/corpus build/fuzz/recovery || return 1
  build/fuzz/scheme_file_fuzz -max_total_time=${FUZZ_SECONDS:-20} -max_len=1024 build/fuzz/corpus &&
    build/fuzz/recovery_file_fuzz -max_total_time=${FUZZ_SECONDS:-20} -max_len=1024 build/fuzz/recovery
}
step fuzz-decoders fuzz_run

# The program as it ships: 32-bit, with its size, and the package a user downloads.
product_build() {
  cmake --preset windows -DTRELLITH_TESTS=OFF && cmake --build --preset windows -j"$jobs" &&
    (cd build/windows && cpack) &&
    python3 tests/package/check_package.py build/windows/package/Trellith-1.5-win32.zip
}
step product-build product_build
grep -E 'bytes, imports|package ok' build/logs/product-build.log | sed 's/^/     /'

# Windows-side tests under Wine, in one Wine session on a virtual display.
[ "$WINDOWS_PRESET" = windows ] || echo "note: no 32-bit Wine on this machine; the Windows-side tests run on the x86_64 build of the same sources"
if cmake --preset "$WINDOWS_PRESET" -DTRELLITH_TESTS=ON >build/logs/windows-build.log 2>&1 &&
   cmake --build --preset "$WINDOWS_PRESET" -j"$jobs" >>build/logs/windows-build.log 2>&1; then
  start_virtual_display && prepare_prefix && start_wine_session
  ctest --preset "$WINDOWS_PRESET" --timeout 300 >build/logs/windows-tests.log 2>&1
  count_ctest build/logs/windows-tests.log
  grep -E '(Passed|Failed|\*\*\*)' build/logs/windows-tests.log | sed 's/^/     /'
  show_failures build/logs/windows-tests.log
  stop_wine_session
else
  failed=$((failed + 1)); echo "FAIL windows build"; tail -n 30 build/logs/windows-build.log
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
