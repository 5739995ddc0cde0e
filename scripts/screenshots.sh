#!/usr/bin/env bash
# Takes the screenshots of the finished program again: runs the end-to-end
# tests (the real tarvolo.exe driven in a Wine virtual desktop) and turns
# their pictures into PNG files in build/e2e-shots/.
set -euo pipefail
TARVOLO_PREFIX=shots  # its own Wine server: a test run beside it is not stopped
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
build_all --target e2e_tests
wine_session
SHOTS=$BUILD/e2e-shots
rm -f "$SHOTS"/*.bmp "$SHOTS"/*.png
wine "$BUILD/tests/e2e/e2e_tests.exe" "$BUILD/tarvolo.exe" "$SHOTS"
for f in "$SHOTS"/*.bmp; do
  convert "$f" -crop 1024x768+0+0 +repage "${f%.bmp}.png" && rm -f "$f"
done
echo "Screenshots: $SHOTS"
ls "$SHOTS"
