#!/usr/bin/env bash
# A whole shoot with the Windows program under Wine, as a photographer on
# Windows would have it: installed by its installer, started from Program
# Files (so its settings live in %APPDATA%\Zentrivo), a default shoot made
# and run against the simulated turntable on COM3, its 30 photos copied, a
# picture of the screen taken at the end, and the program removed again by
# its uninstaller.
#
# Usage: wine_smoke.sh SETUP.EXE SIMULATOR INI_TOOL WORK_FOLDER
# with WINEPREFIX set to a prefix booted on the X display that DISPLAY
# names (a virtual one: the picture is of the whole screen).
set -uo pipefail
source "$(dirname "$0")/../../bench/x_window.sh"
setup=$1
sim=$2
ini_tool=$3
work=$4

failures=0
ok() { echo "ok: $*"; }
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work/camera" "$work/photos"
sim_pid=""
app_pid=""
finish() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
    wait 2>/dev/null
}
trap finish EXIT

drive_c=$WINEPREFIX/drive_c
folder=$drive_c/Program\ Files/Zentrivo
echo "== the installer"
wine "$setup" /S >>"$work/wine.log" 2>&1
if [ -f "$folder/zentrivo.exe" ] && [ -f "$folder/platforms/qwindows.dll" ]; then
    ok "installed into C:\\Program Files\\Zentrivo"
else
    fail "nothing installed: $(ls "$folder" 2>&1)"
    exit 1
fi
link=$(find "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs" -name 'Zentrivo.lnk' 2>/dev/null)
[ -n "$link" ] && ok "a Start menu entry" || fail "no Start menu entry"

appdata=$(winepath -u "$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')" 2>/dev/null)
settings=$appdata/Zentrivo/opcije.ini
mkdir -p "$(dirname "$settings")"
"$ini_tool" set "$settings" Parametri com_port 3
"$ini_tool" set "$settings" Ostalo fotos_dir "$(winepath -w "$work/camera")"
"$ini_tool" set "$settings" Ostalo fotos_copy_dir "$(winepath -w "$work/photos")"
"$ini_tool" set "$settings" Ostalo fotos_auto_copy 1
# The copy names its folder by date and time instead of asking.
"$ini_tool" set "$settings" Ostalo fotos_auto_name_dir 1

echo "== a shoot"
# The camera writes each photo a quarter of a second after its shutter.
"$sim" --camera-dir "$work/camera" --time-scale 0.1 --log "$work/turntable.log" \
    >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do
    [ -s "$work/sim.out" ] && break
    sleep 0.05
done
ln -sfn "$(head -n 1 "$work/sim.out")" "$WINEPREFIX/dosdevices/com3"

started=$(date +%s)
wine "$folder/zentrivo.exe" >>"$work/wine.log" 2>&1 &
app_pid=$!
if ! window=$(window_named '^Zentrivo - novi_profil\.zv$' 120); then
    fail "no main window within 120 s"
    exit 1
fi
ok "the main window within $(($(date +%s) - started)) s: $(xdotool getwindowname "$window")"
sleep 2
# From a window where nothing has the focus yet, the fifth Tab reaches
# "Make Process": the type of rotation, the number of photos, the period,
# the chosen direction (the other is passed over, as in any group of
# choices), then the button. The run starts by itself once the process is
# made ("Auto-start after process making").
xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key --delay 200 Tab Tab Tab Tab Tab space
if box=$(window_named '^Information$' 300); then
    ok "the shoot ended in $(($(date +%s) - started)) s"
else
    fail "no end of the shoot within 300 s"
fi
sleep 1
import -window root "$work/shoot.png" && ok "screenshot: $work/shoot.png"

photos=$(find "$work/photos" -name '*.jpg' | wc -l)
[ "$photos" = 30 ] && ok "30 photos copied" || fail "$photos photos copied, not 30"
shots=$(grep -cP '\tP[0-9]{4}\.\t' "$work/turntable.log" || true)
[ "$shots" = 30 ] && ok "30 photo commands on the wire" || fail "$shots photo commands"

if [ -n "${box:-}" ]; then
    xdotool windowfocus --sync "$box" key Return 2>/dev/null
fi
sleep 1
xdotool windowfocus --sync "$window" key alt+f e 2>/dev/null
if close=$(window_named '^Close$' 20); then
    xdotool windowfocus --sync "$close" key Return 2>/dev/null
fi
for _ in $(seq 100); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
    fail "still running after File > Exit"
else
    ok "closed on File > Exit"
fi
app_pid=""
[ ! -e "$folder/opcije.ini" ] && ok "no settings written into Program Files" ||
    fail "settings written into Program Files"
grep -q '^fotos_auto_copy=1' "$settings" && ok "settings kept in %APPDATA%\\Zentrivo" ||
    fail "settings not in %APPDATA%\\Zentrivo"

echo "== the uninstaller"
wine "$folder/uninstall.exe" /S >>"$work/wine.log" 2>&1
# It runs from a copy of itself, so it may still work after the call returns.
for _ in $(seq 100); do
    [ -e "$folder/zentrivo.exe" ] || break
    sleep 0.2
done
[ ! -e "$folder" ] && ok "removed, folder and all" || fail "left behind: $(ls "$folder")"
[ -f "$settings" ] && ok "the user's settings stay" || fail "the user's settings went too"

echo "wine smoke: $failures failed"
[ $failures = 0 ]
