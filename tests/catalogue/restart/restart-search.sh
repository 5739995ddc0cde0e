#!/usr/bin/env bash
# A per-user alias must be found by the shell's search in a program started
# afresh after the Wine server restarts, as after a logon: its environment
# comes from the registry, with nothing set up by us. The server of the
# shared test prefix must not be restarted, so this runs in a copy of it.
#   restart-search.sh PROBE_EXE
set -uo pipefail
PROBE=$1
SHARED=${WINEPREFIX:?run inside the Wine session of the test command}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvolo-restart.XXXXXX")
export WINEPREFIX=$WORK/prefix
cleanup() { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; rm -rf "$WORK"; }
trap cleanup EXIT
cp -a "$SHARED" "$WINEPREFIX" || exit 1
rm -f "$WINEPREFIX"/.update-timestamp.lock
before=$(wine cmd /c echo %PATH% 2>/dev/null | tr -d '\r')
# Windows-style paths for the probe's file argument.
saved='C:\tarvolo-restart-path.bin'
step() { wine "$PROBE" "$@" </dev/null; }
step write rsnp "$saved" || exit 1
wineserver -k; wineserver -w
step find rsnp || exit 1
step delete rsnp "$saved" || exit 1
wineserver -k; wineserver -w
after=$(wine cmd /c echo %PATH% 2>/dev/null | tr -d '\r')
[ "$before" = "$after" ] || { echo "PATH after the restart: $after, was: $before"; exit 1; }
echo "per-user alias found after the restart; PATH restored"
