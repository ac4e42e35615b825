#!/usr/bin/env bash
# The test command keeps out of a developer's own Wine: with WINEPREFIX pointing at a prefix of
# theirs, the scripts work in the project's prefix, and ending the project's Wine session leaves
# the developer's prefix untouched and its wineserver running.
set -u
cd "$(dirname "$0")/../.."
theirs=$(mktemp -d)
echo "their own" >"$theirs/marker"
WINEPREFIX=$theirs wineserver -f -p &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$theirs"' EXIT
sleep 0.5
fail() { echo "FAIL: $*"; exit 1; }
kill -0 $server 2>/dev/null || fail "their wineserver did not start"
snapshot() { find "$theirs" -printf '%p %s %T@\n' | sort; }
before=$(snapshot)

export WINEPREFIX=$theirs
source scripts/wine-env.sh
[ "$WINEPREFIX" = "$ROOT/build/wineprefix" ] || fail "the scripts work in $WINEPREFIX"
stop_wine_session
sleep 0.5
kill -0 $server 2>/dev/null || fail "their wineserver was ended"
[ "$(snapshot)" = "$before" ] || fail "their prefix was changed"
echo "ok: their prefix untouched, their wineserver still runs"
