# Sourced by the scripts that drive a program through its windows.
#
# window_named PATTERN SECONDS prints the id of the first visible window
# whose name matches PATTERN, waiting up to SECONDS for one. xdotool's own
# --sync gives up at the first X error, and one comes whenever a window
# goes away while the search looks at it (Wine opens and closes short-lived
# windows while a program starts), so each search here is a fresh try.
window_named() {
    local pattern=$1 deadline=$((SECONDS + $2)) found
    while [ "$SECONDS" -lt "$deadline" ]; do
        found=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1)
        if [ -n "$found" ]; then
            echo "$found"
            return 0
        fi
        sleep 0.2
    done
    return 1
}
