# Shared set-up for the build, run and test commands. Sourced, not executed.
# Everything here is idempotent and quick the second time.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TARVOLO_BUILD:-$ROOT/build}
# Each command has a prefix (and so a Wine server) of its own: the test
# command's exit stops its server with `wineserver -k`, which must never take
# a running demo or benchmark with it. Commands set TARVOLO_PREFIX before
# sourcing this file.
export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix-${TARVOLO_PREFIX:-test}}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
# No Mono or Gecko installer prompts when the prefix is created. No
# winemenubuilder either: Wine starts one for every shell link saved, to copy
# it into the Linux desktop's menus, and waits up to 10 s for each. Thousands
# of shortcuts written by tests and benchmarks then cost minutes, and the
# builders still running each hold an X connection until the virtual
# display refuses new clients ("Maximum number of clients reached").
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}

PACKAGES=(cmake make g++ g++-mingw-w64-x86-64 wine wine64 fonts-wine xvfb xdotool
          x11-utils imagemagick fonts-wqy-zenhei locales googletest python3 clang)

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

APT_UPDATED=
apt_install() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "== installing: ${missing[*]}"
  if [ -z "$APT_UPDATED" ]; then
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    APT_UPDATED=1
  fi
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# The sanitizer and fuzzer runtimes come in a package named after clang's
# major version (libclang-rt-14-dev on Debian 12, -19- on Debian 13): the one
# matching the clang just installed is the one clang looks for.
clang_major() {
  clang --version 2>/dev/null | sed -n 's/.*clang version \([0-9][0-9]*\)\..*/\1/p' | head -n 1
}

install_packages() {
  apt_install "${PACKAGES[@]}"
  local major
  major=$(clang_major)
  if [ -n "$major" ]; then
    apt_install "libclang-rt-$major-dev"
  else
    echo "== clang's version not recognised; the sanitizer runtime is not installed" >&2
  fi
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    echo "== generating the zh_CN.UTF-8 locale"
    as_root sed -i 's/^# *zh_CN.UTF-8/zh_CN.UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
  # Code page 936 under Wine, as on the Chinese systems the program addresses.
  # (Right after generating it this shell cannot load it yet and says so;
  # the programs it starts can.)
  { export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8; } 2>/dev/null
}

build_all() {
  if [ ! -f "$BUILD/Makefile" ]; then
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
          -DCMAKE_BUILD_TYPE=Release >/dev/null
  fi
  cmake --build "$BUILD" -j"$(nproc)" "$@"
}

XVFB_PID=
# start_xvfb [WIDTHxHEIGHT]: a private display. Xvfb picks a free display
# number itself (-displayfd) and says which once it accepts clients, so two
# commands started together never pick the same number, and nothing
# waits for a guessed time.
start_xvfb() {
  local size=${1:-1280x1024} out n=
  mkdir -p "$BUILD"
  out=$(mktemp "$BUILD/xvfb-display.XXXXXX")
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$out" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 300); do
    n=$(tr -dc 0-9 <"$out")
    [ -n "$n" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$out"
  if [ -z "$n" ]; then
    echo "== Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=:$n
  # A desktop session always has X resources loaded. This display has none,
  # and then Xlib reads ~/.Xdefaults and ~/.Xdefaults-<host> again on every
  # XGetDefault, which Wine calls for each window DC and font selection: two
  # file opens inside every GDI call that should cost microseconds. One
  # resource that nothing reads gives the display a resource database.
  local resources="$BUILD/x-resources"
  mkdir -p "$BUILD"
  printf '! Resources of the private display\ntarvolo.display: private\n' >"$resources"
  export XENVIRONMENT="$resources"
}

stop_xvfb() {
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  XVFB_PID=
}

# The prefix lives in the build folder; C:\windows\system is created because
# a fresh prefix lacks it and the program never creates it.
make_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== creating the Wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  mkdir -p "$WINEPREFIX/drive_c/windows/system"
  # Wine does not find the Marlett font that fonts-wine installs (it is in no
  # fontconfig folder), so menu check marks and caption buttons would show as
  # plain letters; a font in the prefix's Fonts folder is always loaded.
  local marlett=/usr/share/wine/fonts/marlett.ttf
  if [ -f "$marlett" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
  # The system's own texts (message boxes, standard menus, captions) in the
  # font a Chinese Windows has for them, 宋体 (SimSun) at 9 points; fontconfig
  # gives Wine a Chinese font for that name. Wine's default, Tahoma, has no
  # Chinese glyphs, and under Wine 10 a message box shows every Chinese
  # character as an empty box (font linking finds no SimSun file to add).
  if ! grep -q '"MessageFont"=hex:f4,ff,ff,ff' "$WINEPREFIX/user.reg" 2>/dev/null; then
    local fonts="$WINEPREFIX/chinese-ui-fonts.reg" name
    # LOGFONTW: height -12 px, weight 400, GB2312 charset, face "SimSun".
    local simsun=f4,ff,ff,ff,00,00,00,00,00,00,00,00,00,00,00,00,90,01,00,00,00,00,00,86,00,00,00,00
    simsun+=,53,00,69,00,6d,00,53,00,75,00,6e,00$(printf ',00%.0s' $(seq 52))
    {
      printf 'Windows Registry Editor Version 5.00\r\n\r\n'
      printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics]\r\n'
      for name in CaptionFont SmCaptionFont MenuFont StatusFont MessageFont; do
        printf '"%s"=hex:%s\r\n' "$name" "$simsun"
      done
    } >"$fonts"
    wine reg import "$fonts" >/dev/null 2>&1
    wineserver -w || true
    rm -f "$fonts"
  fi
  # Every program of this prefix runs inside one Wine virtual desktop: Wine
  # then draws frames itself, as Windows does, windows of all processes see
  # each other, and hiding or destroying a window does not wait for an X
  # window manager that is not there.
  if ! grep -q '"Desktop"="Default"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    wineserver -w || true
  fi
}

# One persistent server keeps each Wine process's start-up short. Its helper
# processes (services, the desktop's explorer, rpcss) are started here with
# their output detached: started from inside a test they would inherit the
# test's output pipe, and the first test would race the session's start-up.
# Asking for the desktop window starts the desktop and returns once it is up.
start_wine() {
  wineserver -p
  wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
}

# Stops the prefix's Wine server and returns once it has gone. `-k` alone
# only starts the shutdown: a command started right after (the next test
# run, whose first test starts within seconds) would reach the dying server
# and its first program would end at once, without a word.
stop_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

# A private display and a running Wine of the build's prefix, both stopped
# when the calling script exits.
wine_session() {
  start_xvfb
  trap 'stop_wine; stop_xvfb' EXIT
  make_prefix
  start_wine
}
