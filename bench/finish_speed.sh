#!/usr/bin/env bash
# Finished frames, speed and quality side by side.
#
# Speed: a turn of 72 rendered studio photos of 6000 x 4000 (a printed box
# on a warm, vignetted sweep with its contact shadow, the lens's blur,
# sensor noise, JPEG) made into a 1200-pixel HTML viewer and an animated
# WebP by zentrivo-spin three ways: as the export is without finishing, then
# finished on white with the spin's one framing, without and with the clean
# plate. Beside them the chain a photographer scripts today with ImageMagick,
# per frame: the backdrop flood-filled white from the four corners
# (`-fuzz 15% -fill white -draw 'color X,Y floodfill'`; 15 % is the least
# round figure that reaches across the vignetted sweep), `-trim` to the
# product, resized to fill 85 % of a white 1200-pixel square (`-resize
# -extent`, as our --fill 85), then `img2webp` as bench/spin_export.sh does.
# Each runs once, one after the other, on the same photos with the page
# cache warm. Prints the times, the peak memory of the largest process
# (/usr/bin/time -v) and the finished export against the plain one; the
# goal is at most twice its time.
#
# Quality: smaller turns of each kind of product (textured, dark glossy,
# white on white, a mug's handle), finished by zentrivo-spin (white and
# transparent, shadow dropped, the photos' own framing and size; without
# and with the plate) and by the same flood fill (white, and `-fill none`
# for the mask). shot_quality renders the truth again from the same seeds
# and gives the overlap of kept and true product (intersection over union),
# the share of pure white among the backdrop's pixels, and that share away
# from the contact shadow.
#   ZENTRIVO_BENCH_DIR     build folder (default build-bench-finish)
#   ZENTRIVO_BENCH_PHOTOS  photos of the timed turn (default 72)
#   ZENTRIVO_BENCH_SIZE    their size (default 6000x4000)
#   ZENTRIVO_BENCH_VIEWS   views of each product for the quality (default 6)
#   ZENTRIVO_BENCH_PARTS   which parts to run: speed, quality or both (default)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps --tests imagemagick webp time

build=${ZENTRIVO_BENCH_DIR:-build-bench-finish}
photos=${ZENTRIVO_BENCH_PHOTOS:-72}
size=${ZENTRIVO_BENCH_SIZE:-6000x4000}
views=${ZENTRIVO_BENCH_VIEWS:-6}
parts=${ZENTRIVO_BENCH_PARTS:-speed,quality}
quality_size=1500x1000
edge=1200
fill=85
fuzz=15
turn_ms=6000
quality=80
method=4

# render_turn and shot_quality are built with the finishing tests' sources.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZENTRIVO_BUILD_UI=OFF \
    -DZENTRIVO_BUILD_TESTS=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target zentrivo-spin render_turn shot_quality \
    >/dev/null

work=$(realpath "$build")/finish-speed
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/chain/frames"

# corners WIDTHxHEIGHT: the four corner seeds of the flood fill as -draw options.
corners() {
    local w=${1%x*} h=${1#*x} seeds=()
    for seed in "0,0" "$((w - 1)),0" "0,$((h - 1))" "$((w - 1)),$((h - 1))"; do
        seeds+=(-draw "color $seed floodfill")
    done
    printf '%s\n' "${seeds[@]}"
}

if [[ $parts == *speed* ]]; then
    echo "rendering $photos studio photos of $size in $work"
    "$build/bin/render_turn" "$work/turn/photos" "$photos" --size "$size" --quality 92
    echo "  $(du -sm "$work/turn/photos" | cut -f1) MB, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"

    photos_dir=$work/turn/photos
    . bench/timed_run.sh

    chain() {
        local i frames=() seeds inner=$((edge * fill / 100))
        mapfile -t seeds < <(corners "$size")
        for i in $(seq "$photos"); do
            convert "$work/turn/photos/$i.jpg" -fuzz "$fuzz%" -fill white "${seeds[@]}" \
                -trim +repage -resize "${inner}x${inner}" -gravity center -background white \
                -extent "${edge}x${edge}" -quality 85 "$work/chain/frames/$i.jpg"
            frames+=("$work/chain/frames/$i.jpg")
        done
        img2webp -loop 0 -lossy -q "$quality" -m "$method" -d $((turn_ms / photos)) "${frames[@]}" \
            -o "$work/chain/spin.webp"
    }
    export -f chain corners
    export work photos size edge fill fuzz quality method turn_ms

    spin=("$build/bin/zentrivo-spin" "$work/turn/photos")
    common=(--size "$edge" --turn $((turn_ms / 1000)) --formats html,webp --quiet)
    finished=(--background white --framing spin --fill "$fill")
    echo "exporting to ${edge} px HTML and WebP"
    run "as today" "${spin[@]}" "$work/plain" "${common[@]}"
    plain=$seconds plain_mb=$peak_mb
    run "white, spin framing" "${spin[@]}" "$work/finished" "${common[@]}" "${finished[@]}"
    border=$seconds border_mb=$peak_mb
    run "  the same, with plate" "${spin[@]}" "$work/plated" "${common[@]}" "${finished[@]}" \
        --plate "$work/turn/plate.jpg"
    plated=$seconds plated_mb=$peak_mb
    run "ImageMagick + img2webp" bash -c chain
    theirs=$seconds theirs_mb=$peak_mb
    awk -v a="$plain" -v b="$border" -v c="$plated" -v d="$theirs" 'BEGIN {
        printf "finished on white: %.1f times the plain export (%.1f with the plate; goal at most 2);", b / a, c / a
        printf " the ImageMagick chain %.1f times\n", d / a }'
    printf 'WebP: %s bytes as today, %s finished, %s with the plate, %s by the chain\n' \
        "$(stat -c %s "$work/plain/spin.webp")" "$(stat -c %s "$work/finished/spin.webp")" \
        "$(stat -c %s "$work/plated/spin.webp")" "$(stat -c %s "$work/chain/spin.webp")"
    rm -rf "$work/turn" "$work/plain" "$work/finished" "$work/plated" "$work/chain"
fi

if [[ $parts == *quality* ]]; then
    # finish_ours KIND NAME [OPTIONS...]: zentrivo-spin's stills of a quality
    # turn on white and transparent, the alpha as PGM masks.
    finish_ours() {
        local kind=$1 name=$2 q=$work/quality/$1
        shift 2
        local args=("$q/photos" "$q/$name" --size "${quality_size%x*}" --formats html --quiet
            --shadow drop --stills "$@")
        "$build/bin/zentrivo-spin" "${args[@]}" --background transparent >/dev/null
        mkdir -p "$q/$name-mask"
        for png in "$q/$name/stills"/*.png; do
            convert "$png" -alpha extract "$q/$name-mask/$(basename "$png" .png).pgm"
        done
        "$build/bin/zentrivo-spin" "${args[@]}" --background white >/dev/null
    }

    finish_theirs() {
        local q=$work/quality/$1 i seeds
        mapfile -t seeds < <(corners "$quality_size")
        mkdir -p "$q/im/stills" "$q/im-mask"
        for i in $(seq "$views"); do
            convert "$q/photos/$i.jpg" -fuzz "$fuzz%" -fill white "${seeds[@]}" -quality 92 \
                "$q/im/stills/$i.jpg"
            convert "$q/photos/$i.jpg" -alpha set -fuzz "$fuzz%" -fill none "${seeds[@]}" \
                -alpha extract "$q/im-mask/$i.pgm"
        done
    }

    echo
    echo "quality on $views views of $quality_size per product, shadow dropped"
    printf '  %-15s %-24s %8s %8s %18s\n' product finished-by overlap white "white off shadow"
    for kind in textured dark-glossy white-on-white handle; do
        q=$work/quality/$kind
        "$build/bin/render_turn" "$q/photos" "$views" --size "$quality_size" --kind "$kind"
        finish_ours "$kind" ours
        finish_ours "$kind" plated --plate "$q/plate.jpg"
        finish_theirs "$kind"
        for method in "ours:zentrivo-spin" "plated:zentrivo-spin, plate" "im:ImageMagick $fuzz %"; do
            name=${method%%:*}
            read -r overlap white offshadow < <("$build/bin/shot_quality" --kind "$kind" \
                --size "$quality_size" --views "$views" "$q/$name/stills" "$q/$name-mask")
            printf '  %-15s %-24s %8.4f %8.4f %18.4f\n' "$kind" "${method#*:}" "$overlap" "$white" \
                "$offshadow"
        done
    done
fi

