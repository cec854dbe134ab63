#!/usr/bin/env bash
# Start-up and footprint: the time from launch until the main window is shown
# and the peak resident memory of Zentrivo, beside the same figures for an
# empty Qt main window of the same size (bench/bare_window.cpp) opened the
# same way, under Xvfb. Goal: at most 1.5 times the bare window. The same
# window with one label is measured too, for a yardstick that loads fonts as
# any window with text must; its ratios are printed for information.
# Each program runs RUNS times (5 unless given as the first argument), in
# turns, after one run each that warms the disk cache; medians are printed.
#
# Each run starts a fresh copy of the program in an empty folder of its own,
# so no settings file from an earlier run is read. The window counts as shown
# when the X server maps it: one xev, started once, reports every top-level
# window mapped. (Asking the server over and over with xdotool instead makes
# it refuse a new client now and then, and the program then fails to start.)
# The peak memory is VmHWM of /proc/<pid>/status a second after that, just
# before the program is ended.
set -euo pipefail

runs="${1:-5}"
goal="1.5"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"

"$root/scripts/deps" --tests

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZENTRIVO_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target zentrivo bare_window

work="$(mktemp -d)"
xvfb_pid=""
program_pid=""
# shellcheck disable=SC2317  # run by the trap
cleanup() {
    for pid in $program_pid ${XEV_PID:-} $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=bench/xvfb.sh
source "$root/bench/xvfb.sh"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
echo "Xvfb on $DISPLAY; $runs runs each"

# The X server's news of top-level windows (and of the root's properties,
# for the probe below), a line at a time.
coproc XEV { exec stdbuf -oL xev -root -event substructure -event property 2>/dev/null; }
# Set a property of the root until xev tells of it: then it is listening.
listening=""
for _ in $(seq 50); do
    xprop -root -f ZENTRIVO_BENCH_PROBE 8s -set ZENTRIVO_BENCH_PROBE ready
    while read -r -t 0.2 -u "${XEV[0]}" line; do
        [[ "$line" == PropertyNotify* ]] && listening=yes
    done
    [ -n "$listening" ] && break
done
[ -n "$listening" ] || { echo "xev reports nothing" >&2; exit 1; }

micros() {
    echo "${1//[.,]/}"
}

# One launch of $1 (a built program) whose window title matches $2; appends
# "milliseconds-until-shown peak-kB" to the file $3. Further arguments go to
# the program.
measure() {
    local program="$1" title="$2" into="$3" folder start="" shown="" stamp line window waited=0 peak
    shift 3
    folder="$(mktemp -d "$work/run.XXXXXX")"
    cp "$program" "$folder/"
    cd "$folder"
    # Forget what the run before left.
    while read -r -t 0.05 -u "${XEV[0]}" _; do :; done
    start="$EPOCHREALTIME"
    "./$(basename "$program")" "$@" >/dev/null 2>"$work/stderr" &
    program_pid=$!
    cd "$root"
    while [ -z "$shown" ] && [ "$waited" -lt 30 ]; do
        if ! read -r -t 1 -u "${XEV[0]}" line; then
            kill -0 "$program_pid" 2>/dev/null || break
            waited=$((waited + 1))
            continue
        fi
        if [[ "$line" == MapNotify* ]]; then
            stamp="$EPOCHREALTIME"
            # The next line: "event 0x..., window 0x..., override NO".
            read -r -t 1 -u "${XEV[0]}" line
            window="${line#*window }"
            window="${window%%,*}"
            if xdotool getwindowname "$window" 2>/dev/null | grep -q "$title"; then
                shown="$stamp"
            fi
        fi
    done
    if [ -z "$shown" ]; then
        echo "$(basename "$program") showed no window:" >&2
        cat "$work/stderr" >&2
        exit 1
    fi
    sleep 1
    peak="$(awk '/^VmHWM:/ {print $2}' "/proc/$program_pid/status")"
    kill "$program_pid"
    wait "$program_pid" 2>/dev/null || true
    program_pid=""
    rm -rf "$folder"
    echo "$((($(micros "$shown") - $(micros "$start")) / 1000)) $peak" >>"$into"
}

zentrivo="$build/bin/zentrivo"
bare="$build/bin/bare_window"
measure "$bare" "^Bare - empty" "$work/warm-up"
measure "$bare" "^Bare - window with a label" "$work/warm-up" --label
measure "$zentrivo" "^Zentrivo - " "$work/warm-up"

: >"$work/bare"
: >"$work/label"
: >"$work/zentrivo"
for i in $(seq "$runs"); do
    measure "$bare" "^Bare - empty" "$work/bare"
    measure "$bare" "^Bare - window with a label" "$work/label" --label
    measure "$zentrivo" "^Zentrivo - " "$work/zentrivo"
    read -r b_ms b_kb < <(tail -n 1 "$work/bare")
    read -r l_ms l_kb < <(tail -n 1 "$work/label")
    read -r z_ms z_kb < <(tail -n 1 "$work/zentrivo")
    printf 'run %d: bare window %4d ms %6d kB   with label %4d ms %6d kB   Zentrivo %4d ms %6d kB\n' \
        "$i" "$b_ms" "$b_kb" "$l_ms" "$l_kb" "$z_ms" "$z_kb"
done

# column $1 of the file $2: its median
median() {
    cut -d' ' -f"$1" "$2" | sort -n |
        awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

# $1 what, $2 Zentrivo's figure, $3 the yardstick's, $4 the unit, $5 the
# yardstick's name; with $6 "goal" the ratio is judged.
ratio() {
    awk -v what="$1" -v z="$2" -v b="$3" -v unit="$4" -v name="$5" -v judge="${6:-}" \
        -v goal="$goal" 'BEGIN {
        r = z / b
        verdict = judge == "" ? "    " : (r <= goal ? "PASS" : "FAIL")
        printf "%s %s: Zentrivo %s %s, %s %s %s, ratio %.2f%s\n", verdict, what, z, unit,
            name, b, unit, r, judge == "" ? "" : " (goal at most " goal ")"
        exit (judge == "" || r <= goal) ? 0 : 1
    }'
}

mb() {
    awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'
}

echo "medians of $runs runs:"
status=0
ratio "start-up time" "$(median 1 "$work/zentrivo")" "$(median 1 "$work/bare")" ms \
    "bare window" goal || status=1
ratio "peak memory" "$(mb "$(median 2 "$work/zentrivo")")" "$(mb "$(median 2 "$work/bare")")" MB \
    "bare window" goal || status=1
ratio "start-up time" "$(median 1 "$work/zentrivo")" "$(median 1 "$work/label")" ms \
    "window with a label"
ratio "peak memory" "$(mb "$(median 2 "$work/zentrivo")")" "$(mb "$(median 2 "$work/label")")" MB \
    "window with a label"
exit "$status"
