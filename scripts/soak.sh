#!/usr/bin/env bash
# The soak: the program's work repeated many times in one process under Wine, then a check that
# no handle, GDI object, memory or hidden window was left behind. SOAK=full runs the long one
# (10,000 switches with 100 windows, 10,000 menu paints, 1,000 settings dialogs, 1,000
# countdowns; about an hour and a quarter here); otherwise the short one that the tests run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/wine-env.sh
cmake --preset "$WINDOWS_PRESET" >/dev/null && cmake --build --preset "$WINDOWS_PRESET" --target trellith_soak -j"$(nproc)" >/dev/null
start_virtual_display
trap stop_wine_session EXIT
prepare_prefix
start_wine_session
"$WINE" "$ROOT/build/$WINDOWS_PRESET/bin/trellith_soak.exe" $([ "${SOAK:-}" = full ] || echo --short)
