#!/usr/bin/env bash
# The first start as a new user meets it: the time from a fresh clone (the
# packages already installed) to the main window of scripts/run, under Xvfb.
# Needs Xvfb and xdotool. Give a revision to measure another state of the
# repository (default HEAD); the build uses both cores, so run it on an
# otherwise idle machine.
#   bench/first_start.sh [REVISION]
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
revision="${1:-HEAD}"

command -v xdotool >/dev/null || { echo "needs xdotool: apt-get install xdotool" >&2; exit 1; }

work="$(mktemp -d)"
xvfb_pid=""
run_pid=""
# shellcheck disable=SC2317  # run by the trap
cleanup() {
    [ -n "$run_pid" ] && kill -- "-$run_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

git clone -q "$root" "$work/clone"
git -C "$work/clone" checkout -q "$revision"

# shellcheck source=bench/xvfb.sh
source "$root/bench/xvfb.sh"

start=$EPOCHREALTIME
setsid "$work/clone/scripts/run" >"$work/run.log" 2>&1 &
run_pid=$!
# One xdotool that waits for the window, so the server is not asked over and over.
if ! timeout 1800 xdotool search --sync --name '^Zentrivo' >/dev/null; then
    echo "no window; the run said:" >&2
    cat "$work/run.log" >&2
    exit 1
fi
end=$EPOCHREALTIME
echo "revision $(git -C "$work/clone" rev-parse --short HEAD): fresh clone to window in" \
    "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }') s"
