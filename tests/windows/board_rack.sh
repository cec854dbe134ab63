#!/usr/bin/env bash
# Serves simulated turntables to the Windows tests running under Wine, which
# cannot start a Linux program themselves. A test asks for a board by
# writing RACK/<n>.options (one simulator option a line); this starts
# turntable_sim with those options on a pseudo-terminal of its own, links
# the prefix's dosdevices/com<n> to it, so that "COM<n>" opens it, and
# answers with RACK/<n>.ready. RACK/<n>.stop stops the board again; a board
# that ends by itself (it was told to hang up) leaves its exit status in
# RACK/<n>.exit. The file RACK/quit, or a TERM signal, stops them all.
#
# Usage: board_rack.sh SIMULATOR RACK_FOLDER DOSDEVICES_FOLDER
set -uo pipefail

sim=$1
rack=$2
dosdevices=$3

declare -A running=()  # port number -> simulator pid

# Writes a reply file whole, so the test never reads half of one.
answer() {
    printf '%s\n' "$2" >"$rack/.$1.tmp" && mv "$rack/.$1.tmp" "$rack/$1"
}

start_board() {
    local n=$1 options=() pid path=""
    mapfile -t options <"$rack/$n.options"
    rm -f "$rack/$n.options"
    "$sim" "${options[@]}" >"$rack/$n.out" 2>"$rack/$n.err" &
    pid=$!
    # Its first line is the device path; a board that ends before saying it
    # could not start.
    until IFS= read -r path <"$rack/$n.out"; do
        if ! kill -0 "$pid" 2>/dev/null; then
            answer "$n.failed" "$(cat "$rack/$n.err")"
            return
        fi
        sleep 0.005
    done
    ln -sfn "$path" "$dosdevices/com$n"
    running[$n]=$pid
    answer "$n.ready" "COM$n"
}

stop_board() {
    local n=$1
    rm -f "$rack/$n.stop"
    if [ -n "${running[$n]:-}" ]; then
        kill "${running[$n]}" 2>/dev/null
        wait "${running[$n]}" 2>/dev/null
        unset "running[$n]"
    fi
    rm -f "$dosdevices/com$n"
}

note_ended_boards() {
    local n status
    for n in "${!running[@]}"; do
        if ! kill -0 "${running[$n]}" 2>/dev/null; then
            wait "${running[$n]}"
            status=$?
            unset "running[$n]"
            answer "$n.exit" "$status"
        fi
    done
}

stop_all() {
    local n
    for n in "${!running[@]}"; do
        stop_board "$n"
    done
}
trap 'stop_all; exit 0' TERM INT
trap stop_all EXIT

shopt -s nullglob
while [ ! -e "$rack/quit" ]; do
    for request in "$rack"/*.options; do
        start_board "$(basename "$request" .options)"
    done
    for request in "$rack"/*.stop; do
        stop_board "$(basename "$request" .stop)"
    done
    note_ended_boards
    sleep 0.01
done
