# Sourced by the export benchmarks, after they set `work` (their scratch
# folder) and `photos_dir` (the photos read, put in the page cache first so
# that every run starts alike).
#
# run LABEL COMMAND...: times one run of COMMAND, its output dropped, and
# prints its wall time and the peak memory of its largest process (from
# /usr/bin/time -v); sets seconds and peak_mb. A failing run ends the
# benchmark with its error output.
run_count=0
run() {
    local label=$1 log=$work/run$((++run_count)).time err=$work/run$run_count.err
    shift
    cat "$photos_dir"/*.jpg >/dev/null
    if ! /usr/bin/time -v -o "$log" "$@" >/dev/null 2>"$err"; then
        cat "$err" >&2
        exit 1
    fi
    seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ {
        n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s }' "$log")
    peak_mb=$(awk -F': ' '/Maximum resident set size/ { printf "%.0f", $2 / 1024 }' "$log")
    printf '  %-24s %8.2f s   peak memory %5s MB\n' "$label" "$seconds" "$peak_mb"
}
