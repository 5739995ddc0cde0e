#!/usr/bin/env bash
# Builds everything and runs every test: the Windows tests under Wine on a
# private virtual display, then the native sanitized and fuzz tests if present.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
build_all
wine_session
status=0
ctest --test-dir "$BUILD" --output-on-failure --timeout 900 "$@" || status=$?
if [ -x "$ROOT/scripts/native-tests.sh" ]; then
  "$ROOT/scripts/native-tests.sh" || status=1
fi
exit $status
