#!/usr/bin/env bash
# Copy throughput: 200 photos of 8 MB copied by the program's own photo copy
# (CopyNewPhotos, as "Copy photos" runs it) and by `cp`, from and to folders
# on the disk that holds the build, never a memory file system. Prints both
# throughputs and their ratio; the goal is at least 0.9 times `cp`.
#
# The page cache: as root with a writable /proc/sys/vm/drop_caches, every run
# starts cold (sync, then drop the caches), so both read the photos from the
# disk. Otherwise every run starts warm: the photos are read once just
# before, so both read them from memory. The copiers take turns going first
# in each round; each run is timed to the end of the copy and again to the
# end of a following sync (the photos on the disk), and the medians are
# compared.
#   ZENTRIVO_BENCH_DIR     build folder (default build-bench-copy)
#   ZENTRIVO_BENCH_PHOTOS  number of photos (default 200)
#   ZENTRIVO_BENCH_MB      size of one photo in MB (default 8)
#   ZENTRIVO_BENCH_ROUNDS  rounds of one copy each (default 3)
#   ZENTRIVO_BENCH_CACHE   warm or cold, to choose rather than take the above
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps --tests

build=${ZENTRIVO_BENCH_DIR:-build-bench-copy}
photos=${ZENTRIVO_BENCH_PHOTOS:-200}
mb=${ZENTRIVO_BENCH_MB:-8}
rounds=${ZENTRIVO_BENCH_ROUNDS:-3}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZENTRIVO_BENCH=ON \
    -DZENTRIVO_BUILD_UI=OFF -DZENTRIVO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target copy_throughput >/dev/null

work=$(realpath "$build")/copy-throughput
fstype=$(df --output=fstype "$(realpath "$build")" | tail -n 1 | tr -d ' ')
case $fstype in
tmpfs | ramfs)
    echo "$build is on $fstype, not a disk; set ZENTRIVO_BENCH_DIR to a folder on a disk" >&2
    exit 1
    ;;
esac
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/camera" "$work/by-zentrivo" "$work/by-cp"

echo "making $photos photos of $mb MB in $work ($fstype)"
for i in $(seq -f '%04g' "$photos"); do
    head -c "${mb}M" /dev/urandom >"$work/camera/IMG_$i.JPG"
done
sync
bytes=$(du -sb "$work/camera" | cut -f1)

cache=${ZENTRIVO_BENCH_CACHE:-}
if [ -z "$cache" ]; then
    cache=warm
    if [ "$(id -u)" = 0 ] && [ -w /proc/sys/vm/drop_caches ]; then
        cache=cold
    fi
fi

prepare() {
    rm -rf "$work/by-zentrivo"/* "$work/by-cp"/*
    sync
    if [ "$cache" = cold ]; then
        echo 3 >/proc/sys/vm/drop_caches
    else
        cat "$work/camera"/* >/dev/null
    fi
}

now() { date +%s.%N; }
calc() { awk "BEGIN { printf \"%.6f\", $* }"; }

# run NAME [quiet]: one copy with that copier; prints and records its times.
declare -A copy_times=([zentrivo]="" [cp]="") synced_times=([zentrivo]="" [cp]="")
run() {
    prepare
    local start copied synced c s
    start=$(now)
    if [ "$1" = zentrivo ]; then
        "$build/bin/copy_throughput" "$work/camera" "$work/by-zentrivo" >/dev/null
    else
        cp "$work/camera"/* "$work/by-cp/"
    fi
    copied=$(now)
    sync
    synced=$(now)
    [ "${2:-}" = quiet ] && return
    c=$(calc "$copied - $start")
    s=$(calc "$synced - $start")
    copy_times[$1]+="$c "
    synced_times[$1]+="$s "
    printf '  %-9s copy %6.2f s %7.1f MB/s   with sync %6.2f s %7.1f MB/s\n' \
        "$1" "$c" "$(calc "$bytes / $c / 1e6")" "$s" "$(calc "$bytes / $s / 1e6")"
}

# The median of the times given, as MB/s.
median_rate() {
    local t
    t=$(printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
        print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
    calc "$bytes / $t / 1e6"
}

echo "copying $((bytes / 1000000)) MB in $rounds rounds, page cache $cache before each run"
# The disk is still settling just after the photos were written, and the
# first run after that pays for it, so a first copy is not counted.
run cp quiet
for round in $(seq "$rounds"); do
    if [ $((round % 2)) = 1 ]; then
        run zentrivo
        run cp
    else
        run cp
        run zentrivo
    fi
done

z=$(median_rate ${copy_times[zentrivo]})
c=$(median_rate ${copy_times[cp]})
zs=$(median_rate ${synced_times[zentrivo]})
cs=$(median_rate ${synced_times[cp]})
printf 'median:  zentrivo %7.1f MB/s, cp %7.1f MB/s, ratio %.2f (to the end of the copy)\n' \
    "$z" "$c" "$(calc "$z / $c")"
printf '         zentrivo %7.1f MB/s, cp %7.1f MB/s, ratio %.2f (to the end of the sync)\n' \
    "$zs" "$cs" "$(calc "$zs / $cs")"
