#!/usr/bin/env bash
# Takes the screenshots of the finished program again: runs the end-to-end
# tests (the real tarvolo.exe driven in a Wine virtual desktop) and turns
# their pictures into PNG files in build/e2e-shots/.
#   screenshots.sh [DPI]  with a DPI (120, 144, 192...): in a Wine prefix of
#                         that DPI's own (build/dpi-<DPI>), pictures in
#                         build/e2e-shots-<DPI>/.
set -euo pipefail
TARVOLO_PREFIX=shots  # its own Wine server: a test run beside it is not stopped
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

dpi=${1:-}
install_packages
build_all --target e2e_tests
SHOTS=$BUILD/e2e-shots
if [ -n "$dpi" ]; then
  source "$ROOT/scripts/dpi.sh"
  SHOTS=$BUILD/e2e-shots-$dpi
  start_xvfb "$(dpi_desktop_size "$dpi")"
  use_dpi_prefix "$dpi"
  trap 'stop_wine; stop_xvfb' EXIT
  start_wine
else
  wine_session
fi
mkdir -p "$SHOTS"
rm -f "$SHOTS"/*.bmp "$SHOTS"/*.png
crop=1024x768
[ -n "$dpi" ] && crop=$(dpi_desktop_size "$dpi")
status=0
wine "$BUILD/tests/e2e/e2e_tests.exe" "$BUILD/tarvolo.exe" "$SHOTS" || status=$?
for f in "$SHOTS"/*.bmp; do
  [ -e "$f" ] || continue
  convert "$f" -crop "$crop+0+0" +repage "${f%.bmp}.png" && rm -f "$f"
done
echo "Screenshots: $SHOTS"
ls "$SHOTS"
exit $status
