#!/usr/bin/env bash
# Prints the figures of docs/performance.md: the portable core's (Google Benchmark, on the host)
# and the running program's under Wine, each beside a bare baseline measured in the same run.
# scripts/bench.sh [switch] [tick] [start] [list] picks some of the program's figures; scripts/bench.sh
# merge runs the scheme merge's property on a million generated cases (or on as many as follow).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/wine-env.sh
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTRELLITH_SANITIZE=OFF >/dev/null
cmake --build build/bench --target core_bench merge_property -j"$(nproc)" >/dev/null
if [ "${1:-}" = merge ]; then exec build/bench/merge_property "${2:-1000000}"; fi
build/bench/core_bench --benchmark_min_time=0.2
cmake --preset "$WINDOWS_PRESET" >/dev/null && cmake --build --preset "$WINDOWS_PRESET" --target trellith_bench -j"$(nproc)" >/dev/null
start_virtual_display
trap stop_wine_session EXIT
prepare_prefix
start_wine_session
"$WINE" "$ROOT/build/$WINDOWS_PRESET/bin/trellith_bench.exe" "$@"
