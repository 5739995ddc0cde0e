#!/usr/bin/env bash
# Runs a test executable in a Wine prefix whose DPI is set, with a Wine
# server of its own: dpi-test.sh DPI EXE [test arguments...]. The test is
# told the DPI it must find through TARVOLO_EXPECT_DPI. Uses the display the
# caller exports, or a private one when there is none; stops only the server
# of its own prefix.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/dpi.sh"

dpi=${1:?DPI}
exe=${2:?test executable}
shift 2

own_display=
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
  own_display=1
fi
use_dpi_prefix "$dpi"
got=$(prefix_logpixels)
if [ "$got" != "$dpi" ]; then
  echo "LogPixels in $WINEPREFIX is '${got}', not $dpi" >&2
  exit 1
fi
trap 'stop_wine; [ -n "$own_display" ] && stop_xvfb' EXIT
start_wine
TARVOLO_EXPECT_DPI=$dpi wine "$exe" "$@"
