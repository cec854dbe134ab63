#!/usr/bin/env bash
# The first start as a new user meets it: the time from a fresh clone (the
# packages already installed) to the main window of scripts/run, under Xvfb.
# Give a revision to measure another state of the repository (default HEAD);
# the build uses both cores, so run it on an otherwise idle machine.
#   bench/first_start.sh [REVISION]
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
revision="${1:-HEAD}"

missing=()
for p in xvfb xdotool; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" != 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
fi

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

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
export DISPLAY=":$(head -n 1 "$work/display")"
export QT_QPA_PLATFORM=xcb

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
