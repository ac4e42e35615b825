#!/usr/bin/env bash
# Runs every test: the host unit tests under sanitizers, a bounded fuzz run of the scheme file
# decoder, the 32-bit product build and its package, and the Windows-side tests under Wine on a virtual display
# of its own. Ends with one summary line: "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
if ! scripts/setup.sh; then echo "0 passed, 1 failed: set-up failed (the line above says why)"; exit 1; fi
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

skipped=0
mkdir -p build/logs

# 32-bit Wine under qemu-user, for the 32-bit step only: while registered, anything that probes
# for 32-bit Wine finds it. The entry has a name of our own and is held under a lock: a run
# killed outright leaves it behind, and the next run that takes the lock removes it before it
# probes; two runs at once wait for each other there. An entry of another name is left alone.
binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/trellith-i386
exec 9>>/tmp/trellith-i386.lock
mounted_here=0 registered_here=0
release_i386() {
  if [ $registered_here = 1 ]; then echo -1 >$entry; registered_here=0; fi
  if [ $mounted_here = 1 ]; then umount $binfmt; mounted_here=0; fi
  flock -u 9
}
remove_stale_i386() {
  flock 9
  if [ -e $entry ]; then echo -1 >$entry 2>/dev/null || true; fi
  flock -u 9
}
register_i386() {
  [ "$(id -u)" = 0 ] && [ -x /usr/bin/qemu-i386-static ] || return 1
  flock 9
  if [ ! -e $binfmt/register ]; then
    mount -t binfmt_misc binfmt_misc $binfmt 2>/dev/null || return 1
    mounted_here=1
  fi
  if [ ! -e $binfmt/qemu-i386 ] && [ ! -e $entry ]; then
    echo ':trellith-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      >$binfmt/register 2>/dev/null || return 1
    registered_here=1
  fi
  /usr/lib/wine/wine --version >/dev/null 2>&1
}
trap 'release_i386; stop_wine_session' EXIT
trap 'exit 130' INT TERM HUP
remove_stale_i386
source scripts/wine-env.sh
step own-wine tests/scripts/own_wine_test.sh  # a developer's own WINEPREFIX is left alone
step setup-script tests/scripts/setup_test.sh  # the set-up when apt misbehaves

# The shipped 32-bit program, unpacked from its package, in the 64-bit prefix of the suite,
# driven by the 64-bit tests. The prefix gets Wine's 32-bit system DLLs by a copy: a 32-bit
# wineboot under emulation takes minutes.
smoke32() {
  rm -rf build/smoke32 && mkdir -p build/smoke32
  python3 -c "import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])" \
    build/windows/package/Trellith-1.5-win32.zip build/smoke32 || return 1
  local wow=$WINEPREFIX/drive_c/windows/syswow64
  [ -f "$wow/kernel32.dll" ] || cp /usr/lib/i386-linux-gnu/wine/i386-windows/* "$wow/" || return 1
  local exe=Z:$(cd build/smoke32/Trellith-1.5-win32 && pwd)/Trellith.exe
  TRELLITH_SMOKE_EXE=${exe//\//\\} timeout --foreground 900 "$WINE" "build/$WINDOWS_PRESET/bin/trellith_e2e_tests.exe" \
    --gtest_filter='Smoke32.*' | tee build/logs/smoke-32bit.out
  grep -q '^\[  PASSED  \] 1 test\.' build/logs/smoke-32bit.out && ! grep -q SKIPPED build/logs/smoke-32bit.out
}

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
  if [ "$WINDOWS_PRESET" = windows ]; then
    echo "note: the Windows-side tests above ran the shipped 32-bit build"
  elif register_i386; then
    start=$SECONDS
    step smoke-32bit smoke32
    release_i386
    grep -E 'start-up|OK \]|FAILED' build/logs/smoke-32bit.log | sed 's/^/     /'
    echo "     the 32-bit step took $((SECONDS - start)) s"
  else
    release_i386
    skipped=$((skipped + 1))
    echo "skip smoke-32bit: this machine runs no 32-bit programs and binfmt_misc cannot be used here (it needs root and qemu-user-static)"
  fi
  stop_wine_session
else
  failed=$((failed + 1)); echo "FAIL windows build"; tail -n 30 build/logs/windows-build.log
fi

if [ $skipped -gt 0 ]; then echo "$passed passed, $failed failed, $skipped skipped"; else echo "$passed passed, $failed failed"; fi
[ "$failed" -eq 0 ]
