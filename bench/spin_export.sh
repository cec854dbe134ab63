#!/usr/bin/env bash
# 360° export speed: 72 photos of 6000 x 4000 made into a 1200-pixel HTML
# viewer and an animated WebP by zentrivo-spin, and the same work done by
# the tools a photographer would otherwise chain: ImageMagick's
# `convert -resize` for each frame (only shrinking, as ours does), then
# `img2webp` (lossy, the same quality and method) for the animation. Both
# run once, one after the other, on the same photos with the page cache
# warm. Prints both times, their ratio and the peak memory of each (the
# largest process, from /usr/bin/time -v); the goal is at least twice as
# fast.
#   ZENTRIVO_BENCH_DIR     build folder (default build-bench-spin)
#   ZENTRIVO_BENCH_PHOTOS  number of photos (default 72)
#   ZENTRIVO_BENCH_SIZE    their size (default 6000x4000)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps --tests imagemagick webp time

build=${ZENTRIVO_BENCH_DIR:-build-bench-spin}
photos=${ZENTRIVO_BENCH_PHOTOS:-72}
size=${ZENTRIVO_BENCH_SIZE:-6000x4000}
edge=1200
turn_ms=6000
quality=80
method=4

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZENTRIVO_BUILD_UI=OFF \
    -DZENTRIVO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target zentrivo-spin spin_sample_photos >/dev/null

work=$(realpath "$build")/spin-export
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/chain/frames"

echo "making $photos photos of $size in $work"
"$build/bin/spin_sample_photos" "$work/photos" --count "$photos" --size "$size" --quality 92
echo "  $(du -sm "$work/photos" | cut -f1) MB, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"

photos_dir=$work/photos
. bench/timed_run.sh

chain() {
    local i frames=()
    for i in $(seq "$photos"); do
        convert "$work/photos/$i.jpg" -resize "${edge}x${edge}>" -quality 85 \
            "$work/chain/frames/$i.jpg"
        frames+=("$work/chain/frames/$i.jpg")
    done
    img2webp -loop 0 -lossy -q "$quality" -m "$method" -d $((turn_ms / photos)) "${frames[@]}" \
        -o "$work/chain/spin.webp"
}
export -f chain
export work photos edge quality method turn_ms

echo "exporting to ${edge} px HTML and WebP"
run zentrivo-spin "$build/bin/zentrivo-spin" "$work/photos" "$work/ours" --size "$edge" \
    --turn $((turn_ms / 1000)) --formats html,webp --quiet
ours=$seconds ours_mb=$peak_mb
run convert+img2webp bash -c chain
theirs=$seconds theirs_mb=$peak_mb

for webp in "$work/ours/spin.webp" "$work/chain/spin.webp"; do
    echo "  $(webpmux -info "$webp" | grep -E 'Canvas size|Number of frames' | tr '\n' ' ')" \
        "$(du -k "$webp" | cut -f1) kB  ${webp#"$work"/}"
done
awk -v a="$ours" -v b="$theirs" -v am="$ours_mb" -v bm="$theirs_mb" 'BEGIN {
    printf "zentrivo-spin %.2f s, convert + img2webp %.2f s: %.1f times as fast", a, b, b / a
    printf " (goal 2); peak memory %d MB against %d MB\n", am, bm }'
