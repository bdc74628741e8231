#!/usr/bin/env bash
# The CPU the running player uses with the demo song: the share of one core
# over SECONDS, after 5 s of settling, read from /proc. At 1920x1080 the window
# fills a screen of that size (resized: a bare X server has no window manager
# to make it full screen).
#
# usage: bench/player_cpu.sh [BUILD_DIR] [SECONDS] [800x600|1920x1080]
set -euo pipefail
refuse() {
    echo "player_cpu.sh: $1 (usage: bench/player_cpu.sh [BUILD_DIR] [SECONDS] [800x600|1920x1080])" >&2
    exit 2
}
[ $# -le 3 ] || refuse "too many arguments"
[ -x "${1:-build}/app/orbakaraoke" ] || refuse "no player in ${1:-build}/app"
build=$(cd "${1:-build}" && pwd)
export BUILD=$build SECONDS_MEASURED=${2:-30} SIZE=${3:-800x600}
[[ $SECONDS_MEASURED =~ ^[1-9][0-9]*$ ]] || refuse "SECONDS is not a count: $SECONDS_MEASURED"
[ "$SIZE" = 800x600 ] || [ "$SIZE" = 1920x1080 ] || refuse "no such size: $SIZE"
screen=1280x1024
[ "$SIZE" = 1920x1080 ] && screen=1920x1080
# A player that ends before the measure does ends it with an error.
xvfb-run -a -s "-screen 0 ${screen}x24" bash -c '
    set -euo pipefail
    unset QT_QPA_PLATFORM  # the window on the virtual display, not off screen
    tmp=$(mktemp -d)
    ORBAKARAOKE_INI=$tmp/o.ini ORBAKARAOKE_MIXER=none ORBAKARAOKE_AUDIO_SINK="fakesink sync=true" \
        "$BUILD/app/orbakaraoke" >/dev/null 2>&1 &
    pid=$!
    trap "kill $pid 2>/dev/null || true; rm -rf $tmp" EXIT
    running() {
        kill -0 $pid 2>/dev/null && return 0
        code=0
        wait $pid || code=$?
        echo "player_cpu.sh: the player ended early (exit $code)" >&2
        exit 1
    }
    sleep 3
    if [ "$SIZE" = 1920x1080 ]; then
        xdotool search --sync --pid $pid --onlyvisible --name . windowmove 0 0 windowsize 1920 1080 >/dev/null 2>&1 || true
    fi
    sleep 2
    ticks() { awk "{ print \$14 + \$15 }" /proc/$pid/stat; }
    running
    a=$(ticks)
    sleep "$SECONDS_MEASURED"
    running
    b=$(ticks)
    kill $pid
    wait $pid 2>/dev/null || true
    hz=$(getconf CLK_TCK)
    awk -v a=$a -v b=$b -v hz=$hz -v s=$SECONDS_MEASURED -v size=$SIZE \
        "BEGIN { printf \"%s: %.2f %% of a core over %d s\\n\", size, (b - a) * 100 / hz / s, s }"'
