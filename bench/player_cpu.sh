#!/usr/bin/env bash
# The CPU the running player uses with the demo song: the share of one core
# over SECONDS, after 5 s of settling, read from /proc. At 1920x1080 the window
# fills a screen of that size (resized: a bare X server has no window manager
# to make it full screen). With "video" the song is a 1080p30 H.264 karaoke
# video with LRC lyrics, made first (GStreamer's test pattern and clock).
#
# usage: bench/player_cpu.sh [BUILD_DIR] [SECONDS] [800x600|1920x1080] [video]
set -euo pipefail
refuse() {
    echo "player_cpu.sh: $1 (usage: bench/player_cpu.sh [BUILD_DIR] [SECONDS] [800x600|1920x1080] [video])" >&2
    exit 2
}
[ $# -le 4 ] || refuse "too many arguments"
[ -x "${1:-build}/app/orbakaraoke" ] || refuse "no player in ${1:-build}/app"
build=$(cd "${1:-build}" && pwd)
export BUILD=$build SECONDS_MEASURED=${2:-30} SIZE=${3:-800x600} SONG_KIND=${4:-demo}
[ "$SONG_KIND" = demo ] || [ "$SONG_KIND" = video ] || refuse "no such song: $SONG_KIND"
[[ $SECONDS_MEASURED =~ ^[1-9][0-9]*$ ]] || refuse "SECONDS is not a count: $SECONDS_MEASURED"
[ "$SIZE" = 800x600 ] || [ "$SIZE" = 1920x1080 ] || refuse "no such size: $SIZE"
screen=1280x1024
[ "$SIZE" = 1920x1080 ] && screen=1920x1080
# A player that ends before the measure does ends it with an error.
xvfb-run -a -s "-screen 0 ${screen}x24 -noreset" bash -c '
    set -euo pipefail
    unset QT_QPA_PLATFORM  # the window on the virtual display, not off screen
    tmp=$(mktemp -d)
    song=""
    if [ "$SONG_KIND" = video ]; then
        song=$tmp/video.mp4
        frames=$(( (SECONDS_MEASURED + 15) * 30 ))
        gst-launch-1.0 -q videotestsrc pattern=ball motion=sweep background-color=0xff204080 \
            num-buffers=$frames ! video/x-raw,width=1920,height=1080,framerate=30/1 \
            ! timeoverlay font-desc="Sans 48" ! videoconvert ! video/x-raw,format=I420 \
            ! x264enc speed-preset=superfast bitrate=6000 key-int-max=60 ! queue \
            ! mp4mux name=mux ! filesink location=$song \
            audiotestsrc num-buffers=$frames samplesperbuffer=1470 \
            ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! avenc_aac ! queue ! mux.
        for t in 00 05 10 15 20 25 30 35 40 45 50 55; do
            printf "[00:%s.00]きょうは いい てんき ですね %s\n" $t $t
        done > $tmp/video.lrc
    fi
    ORBAKARAOKE_INI=$tmp/o.ini ORBAKARAOKE_MIXER=none ORBAKARAOKE_AUDIO_SINK="fakesink sync=true" \
        "$BUILD/app/orbakaraoke" $song >/dev/null 2>&1 &
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
    [ "$SONG_KIND" = video ] && SIZE="$SIZE video"
    awk -v a=$a -v b=$b -v hz=$hz -v s=$SECONDS_MEASURED -v size="$SIZE" \
        "BEGIN { printf \"%s: %.2f %% of a core over %d s\\n\", size, (b - a) * 100 / hz / s, s }"'
