# Sourced by the run, test and screenshot scripts: one Wine prefix of the project's own, a
# display, and a long-lived Wine session with a virtual desktop and a taskbar.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Always the project's own prefix, whatever the caller's WINEPREFIX says: the scripts copy DLLs
# into it, set its fonts and end its wineserver, none of which may touch a developer's own Wine.
export WINEPREFIX=$ROOT/build/wineprefix
export WINEDEBUG=-all
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts

# 32-bit Windows programs need the 32-bit Wine loader, which needs a kernel that runs i386
# programs; some sandboxes do not. Then the same sources are tested as an x86_64 build.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  WINDOWS_PRESET=windows WINE=/usr/lib/wine/wine
else
  WINDOWS_PRESET=windows-x64 WINE=/usr/lib/wine/wine64
fi

# Starts Xvfb on a free display. A display that another Xvfb holds (perhaps from outside this
# file system, through its abstract socket) makes ours exit at once: then the next one is tried.
start_virtual_display() {
  local n
  for n in $(seq 90 130); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=:$n
    sleep 0.3  # time for an Xvfb that finds its display taken to give up
    for _ in $(seq 50); do
      kill -0 "$XVFB_PID" 2>/dev/null || break
      xdpyinfo >/dev/null 2>&1 && return 0
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null || true
  done
  echo "Xvfb did not start" >&2
  return 1
}

# Creates the prefix once: every program runs inside one virtual desktop named "shell", which
# has a taskbar and a notification area, and hiding a window takes no window-manager round trip.
# Song faces that draw whole glyphs at 12 pixels, where the CJK bitmap strike Wine would take
# otherwise cuts their tops off: "宋体", the dialogs' font, as AR PL SungtiL GB, whose widths lay
# the dialogs out as SimSun does; SimSun, the menu's, as AR PL UMing CN, which has the menu's
# arrows and 〤. Wine's Marlett draws the caption buttons (this Wine does not look for its own
# fonts where Debian puts them). All of it in this prefix only.
prepare_prefix() {
  if [ ! -f "$WINEPREFIX/.trellith-ready-4" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    local replacements='HKCU\Software\Wine\Fonts\Replacements'
    "$WINE" reg add "$replacements" /v 宋体 /d "AR PL SungtiL GB" /f >/dev/null 2>&1
    for face in SimSun 新宋体 NSimSun; do
      "$WINE" reg add "$replacements" /v "$face" /d "AR PL UMing CN" /f >/dev/null 2>&1
    done
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    wineserver -w
    touch "$WINEPREFIX/.trellith-ready-4"
  fi
}

# One Wine session for the whole run: starting and ending a session between calls makes a call
# hang now and then.
start_wine_session() {
  wineserver -p
  "$WINE" explorer /desktop=shell,1024x768 >/dev/null 2>&1 &
  sleep 1
}

stop_wine_session() {
  wineserver -k 2>/dev/null || true
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
