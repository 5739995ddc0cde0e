#!/usr/bin/env bash
# Builds everything and runs every test: the Windows tests under Wine on a
# private virtual display, and beside them the native sanitized and fuzz
# tests, which share neither Wine nor the display.
# Two ctest jobs by default: tests that show windows or send input hold the
# "display" lock and so never overlap; the window-free ones run beside them.
# An explicit -j/--parallel among the arguments wins.
set -euo pipefail
TARVOLO_PREFIX=test
# Wine's own error lines stay in each test's output, so that a test that
# fails before it prints anything still says why.
export WINEDEBUG=${WINEDEBUG:--all,err+all}
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start=$(date +%s)
install_packages
build_all
wine_session
jobs=(-j2)
for a in "$@"; do
  case "$a" in -j* | --parallel*) jobs=() ;; esac
done
native_pid=
if [ -x "$ROOT/scripts/native-tests.sh" ]; then
  native_log=$BUILD/native-tests.log
  "$ROOT/scripts/native-tests.sh" >"$native_log" 2>&1 &
  native_pid=$!
fi
status=0
ctest --test-dir "$BUILD" --output-on-failure --timeout 900 "${jobs[@]}" "$@" || status=$?
if [ -n "$native_pid" ]; then
  wait "$native_pid" || status=1
  cat "$native_log"
fi
echo "== test command: $(( $(date +%s) - start )) s wall time"
exit $status
