#!/usr/bin/env bash
# Builds Tarvolo and starts it under Wine in a virtual desktop. Without a
# display it starts a private Xvfb, saves a screenshot and says where.
set -euo pipefail
TARVOLO_PREFIX=run
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
build_all --target tarvolo demo_aliases
RUN=$BUILD/run
mkdir -p "$RUN"
cp "$BUILD/tarvolo.exe" "$RUN/"
# A fresh demo folder gets a small Chinese catalogue to look at, of programs
# and a folder that Windows and Wine both have.
if [ ! -e "$RUN/applist.ini" ]; then
  printf '%s\r\n' 应用程序 np 'C:\windows\notepad.exe' 'C:\windows\' '' 记事本 \
                  文件夹 win 'C:\windows' 'C:\windows' '' 系统目录 \
                  应用程序 rg 'C:\windows\regedit.exe' 'C:\windows\' '' 注册表编辑器 \
    | iconv -f UTF-8 -t GBK > "$RUN/applist.ini"
fi
# As a user's copy has them: the aliases of the catalogue, written by the
# program's own store into the demo prefix (those already there are kept).
demo_aliases() {
  (cd "$RUN" && wine "$BUILD/bench/demo_aliases.exe" applist.ini) \
    || echo "Some demo aliases could not be written; the program's start-up check will name them."
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  make_prefix
  demo_aliases
  cd "$RUN"
  exec wine explorer /desktop=tarvolo,1024x768 "$RUN/tarvolo.exe"
fi

start_xvfb
trap 'stop_wine; stop_xvfb' EXIT
make_prefix
demo_aliases
cd "$RUN"
wine explorer /desktop=tarvolo,1024x768 "$RUN/tarvolo.exe" >/dev/null 2>&1 &
# Wait for the effect, not for a guessed time: first the desktop's X window,
# then a picture that has changed from the empty desktop and holds still
# (the program's window drawn in full). Up to a minute on a slow machine.
# Wine 8 titles that window "<name> - Wine desktop", Wine 10 "... Desktop".
SHOT=$BUILD/screenshot.png
deadline=$(( $(date +%s) + ${TARVOLO_SHOT_TIMEOUT:-60} ))
until xdotool search --name ' - Wine [Dd]esktop$' >/dev/null 2>&1; do
  [ "$(date +%s)" -lt "$deadline" ] || break
  sleep 0.2
done
empty=$(import -window root png:- 2>/dev/null | md5sum)
last=$empty
while [ "$(date +%s)" -lt "$deadline" ]; do
  sleep 0.5
  now=$(import -window root png:- 2>/dev/null | md5sum)
  if [ "$now" = "$last" ]; then
    [ "$now" != "$empty" ] && break
    # Drawn before the empty desktop was caught: a picture that holds for
    # long is the finished one.
    held=$(( ${held:-0} + 1 ))
    [ "$held" -lt 30 ] || break
  else
    held=0
  fi
  last=$now
done
[ "$(date +%s)" -lt "$deadline" ] || echo "The window did not settle within the time allowed; the screenshot shows what there was."
import -window root "$SHOT"
echo "No display was available: Tarvolo ran on a private Xvfb display."
echo "Screenshot saved to $SHOT"
