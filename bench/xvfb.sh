# Sourced by the benchmark scripts: starts Xvfb on a free display, exports
# DISPLAY for an X11 session of Qt and sets xvfb_pid. $work must name a
# folder of the caller's own.
# Xvfb picks a free display and writes its number to descriptor 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY
export QT_QPA_PLATFORM=xcb
