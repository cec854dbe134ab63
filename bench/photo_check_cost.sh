#!/usr/bin/env bash
# What the photo check costs: a shoot with it off and on against the
# simulator's camera at its own speed (bench/photo_check_cost.cpp says what
# is printed). The number of photos may be given (30). Needs a quiet machine
# for figures worth comparing; the load average is printed first.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZENTRIVO_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target photo_check_cost turntable_sim

echo "load average: $(cut -d ' ' -f 1-3 /proc/loadavg) on $(nproc) cores"
QT_QPA_PLATFORM=offscreen "$build/bin/photo_check_cost" "$@"
