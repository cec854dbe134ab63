#!/usr/bin/env bash
# The long run: a process of 2,400 photos (half steps) played by the whole
# program against the simulated turntable at full speed, its camera writing
# every photo, the photos copied automatically when the process completes.
# Prints the program's memory and open descriptors after 100 photos and at
# the end, checks the copies, and exits non-zero when a check fails.
#
# Takes about seven minutes (7,203 commands at the program's 50 ms pace);
# on demand, not in CI. Arguments go to the program, e.g.
#   bench/long_run.sh --photos 200     a short trial
#   bench/long_run.sh --keep           keep the run's folders to look at
#   bench/long_run.sh /some/disk       make the run's folders there
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZENTRIVO_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target long_run turntable_sim

# The camera folder and the copies (about 100 MB) go on the build disk
# unless a folder is given.
folder="$build"
previous=""
for arg in "$@"; do
    case "$previous:$arg" in
        --photos:* | --slack-mb:* | *:-*) ;;
        *) folder="$arg" ;;
    esac
    previous="$arg"
done
echo "disk of the run's folders:"
df -h "$folder" | tail -n 1

exec "$build/bin/long_run" "$build" "$@"
