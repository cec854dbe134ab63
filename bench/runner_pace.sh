#!/usr/bin/env bash
# The runner's pace in the program's window under Xvfb, against the
# simulated turntable answering at once: the default shoot of 24, 30 (the
# demo's) and 72 photos at the usual and at the fast pace, measured from the
# simulator's log (bench/runner_pace.cpp says what is printed). Other numbers
# of photos may be given as arguments. Needs a quiet machine for figures
# worth comparing; the load average is printed first.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZENTRIVO_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target runner_pace turntable_sim

work="$(mktemp -d)"
xvfb_pid=""
# shellcheck disable=SC2317  # run by the trap
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=bench/xvfb.sh
source "$root/bench/xvfb.sh"

echo "load average: $(cut -d ' ' -f 1-3 /proc/loadavg) on $(nproc) cores"
if [ $# -eq 0 ]; then
    set -- 24 30 72
fi
"$build/bin/runner_pace" "$@"
