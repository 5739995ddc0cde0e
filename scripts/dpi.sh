# A Wine prefix of its own for one DPI, for the DPI tests and screenshots.
# Sourced after lib.sh, not executed. The prefix lives in the build folder
# (build/dpi-<dpi>) and is reused as long as its LogPixels value matches.

# The virtual desktop for a DPI: the usual 1024 x 768 grown with the DPI, so
# a window sized for the DPI fits on it as it does at 96.
dpi_desktop_size() {
  echo "$(( 1024 * $1 / 96 ))x$(( 768 * $1 / 96 ))"
}

# use_dpi_prefix DPI: makes WINEPREFIX the prefix for DPI, creates it if
# needed and sets LogPixels and the desktop size in it. Its server is
# stopped afterwards, so the next start reads the new values; only this
# prefix's server is touched.
use_dpi_prefix() {
  local dpi=$1 size
  size=$(dpi_desktop_size "$dpi")
  export WINEPREFIX=$BUILD/dpi-$dpi
  make_prefix
  local stamp=$WINEPREFIX/.logpixels
  if [ "$(cat "$stamp" 2>/dev/null)" != "$dpi $size" ]; then
    echo "== setting LogPixels to $dpi and the desktop to $size in $WINEPREFIX"
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f >/dev/null 2>&1
    stop_wine
    echo "$dpi $size" >"$stamp"
  fi
}

# The LogPixels value the prefix's registry holds (decimal), empty if none.
prefix_logpixels() {
  local hex
  hex=$(grep -A40 '^\[Control Panel\\\\Desktop\]' "$WINEPREFIX/user.reg" 2>/dev/null |
        sed -n 's/^"LogPixels"=dword:\([0-9a-fA-F]*\).*/\1/p' | head -n 1)
  [ -n "$hex" ] && echo $((16#$hex))
}
