#!/usr/bin/env bash
# Runs Trellith inside a Wine desktop on a virtual display and takes the pictures of the user's
# guide: the countdown, the timer settings with a scheme, the About box, the notification area
# with the icon and the tray menu with one plate selected. Writes docs/images/*.png (or the
# folder given).
set -euo pipefail
trap 'echo "screenshots: failed at line $LINENO" >&2' ERR
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/wine-env.sh
out=${1:-$ROOT/docs/images}
mkdir -p "$out"
cmake --preset "$WINDOWS_PRESET" >/dev/null && cmake --build --preset "$WINDOWS_PRESET" --target Trellith TrellithModule winpost -j"$(nproc)" >/dev/null
bin=$ROOT/build/$WINDOWS_PRESET/bin

# A folder of its own with two schemes: one due this very minute (its countdown shows at once)
# and one for the evening.
app=$ROOT/build/screenshots/app
rm -rf "$app" && mkdir -p "$app" && cp "$bin/Trellith.exe" "$bin/Trellith.dll" "$app/"
python3 - "$app/Trellith.ini" <<'PY'
import struct, sys, time
now = time.localtime()
def record(name, kind, minutes, action, delay):
    return name.encode("gbk").ljust(48, b"\0") + struct.pack("<8I", kind, minutes, action, delay, 0, 0, 0, 0)
with open(sys.argv[1], "wb") as f:
    f.write(record("喝水提醒", 0, now.tm_hour * 60 + now.tm_min, 0, 90))
    f.write(record("晚上关机", 0, 23 * 60 + 30, 3, 60))
    f.write(struct.pack("<I", 0))
PY

start_virtual_display
trap stop_wine_session EXIT
prepare_prefix
post() { "$WINE" "$bin/winpost.exe" post "$@"; }
# Saves the part of the screen that a window covers, with a margin.
shoot_window() {
  local name=$1 class=$2 title=$3 x y w h
  read -r x y w h < <("$WINE" "$bin/winpost.exe" rect "$class" "$title" | tr -d '\r')
  import -window root -crop "$((w + 16))x$((h + 16))+$((x - 8))+$((y - 8))" +repage "$out/$name.png"
}

(cd "$app" && "$WINE" explorer /desktop=shell,1024x768 Trellith.exe >/dev/null 2>&1 &)
sleep 7  # a few ticks into the countdown: the bar and the remaining time show
shoot_window countdown "#32770" Trellith
post "#32770" Trellith 0x111 2 0                 # Esc: the countdown ends, nothing happens
sleep 1
post TRELLITH15 Trellith 0x111 1038 0            # 定时器设置...
sleep 2
shoot_window settings "#32770" "定时器设置"
post "#32770" "定时器设置" 0x111 2 0
post TRELLITH15 Trellith 0x111 1031 0            # 关于 Trellith...
sleep 2
shoot_window about "#32770" "关于 Trellith"
post "#32770" "关于 Trellith" 0x111 1 0
sleep 1

# The notification area with the icon, the pointer resting on it so that its tooltip shows.
xdotool mousemove 1013 757
sleep 2
import -window root -crop 300x150+724+618 +repage "$out/tray.png"

# The menu as a person opens it: a right click on the icon, then the pointer on one plate.
xdotool mousemove 1013 757 click 3
sleep 1
xdotool mousemove 960 640
sleep 1
import -window root -crop 260x330+764+438 +repage "$out/menu.png"
import -window root "$out/desktop.png"
xdotool key Escape
post TRELLITH15 Trellith 0x111 1039 0            # 退出
sleep 1
echo "screenshots: $out"
ls -l "$out"
