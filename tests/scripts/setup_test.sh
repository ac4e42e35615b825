#!/usr/bin/env bash
# The set-up on a machine where apt misbehaves, with apt, dpkg, id, sudo and sleep stood in for
# on the PATH: an index update that keeps failing is a warning and the install goes on; a failed
# install, or no sudo for a user who is not root, is one line that says why, and a non-zero exit.
set -u
cd "$(dirname "$0")/../.."
fakes=$(mktemp -d)
trap 'rm -rf "$fakes"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
fake() { printf '#!/bin/sh\n%s\n' "$2" >"$fakes/$1"; chmod +x "$fakes/$1"; }
fake dpkg-query 'case "$*" in *python3*) exit 1;; *) echo "install ok installed";; esac'
fake dpkg 'echo i386'
fake sleep 'exit 0'
fake sudo '"$@"'
# setup BEHAVIOUR... runs the set-up with apt doing as told; prints its output.
setup() {
  fake id "echo ${UID_OF:-0}"
  fake apt-get "case \"\$1\" in update) echo 'E: Failed to fetch i386 index' >&2; exit $1;;
                install) [ $2 = 0 ] || echo \"E: Unable to locate package python3\"; exit $2;; esac"
  PATH=$fakes:/usr/bin:/bin scripts/setup.sh 2>&1
}

out=$(setup 100 0) || fail "an update that fails ended the set-up: $out"
grep -q 'warning: apt-get update failed three times (E: Failed to fetch i386 index)' <<<"$out" || fail "no warning: $out"
out=$(setup 0 100) && fail "a failed install passed: $out"
[ "$(grep -c . <<<"$out")" = 2 ] && grep -q '^setup: failed to install python3: E: Unable to locate package python3$' <<<"$out" ||
  fail "a failed install did not say why in one line: $out"
rm "$fakes/sudo"
out=$(UID_OF=1000 setup 0 0) && fail "no sudo and not root passed: $out"
[ "$out" = "setup: missing python3; run as root: apt-get install python3 (with dpkg --add-architecture i386 first)" ] ||
  fail "no sudo and not root: $out"
echo "ok: the set-up goes on after a failed update and says in one line why it stopped"
