#!/usr/bin/env bash
# The CPU that singing scoring adds to the running player: the UltraStar
# example song played twice in the window for SECONDS each, once plain and
# once with scoring on (K, then Escape to sing from the start) and a
# recording of its melody as the microphone; the share of one core of each
# from /proc, and the difference.
#
# usage: bench/score_cpu.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
refuse() {
    echo "score_cpu.sh: $1 (usage: bench/score_cpu.sh [BUILD_DIR] [SECONDS])" >&2
    exit 2
}
[ $# -le 2 ] || refuse "too many arguments"
[ -x "${1:-build}/app/orbakaraoke" ] || refuse "no player in ${1:-build}/app"
[ -x "${1:-build}/tests/scoring/orba_sing_fixture" ] || refuse "no orba_sing_fixture in ${1:-build}"
build=$(cd "${1:-build}" && pwd)
source=$(cd "$(dirname "$0")/.." && pwd)
export BUILD=$build SOURCE=$source SECONDS_MEASURED=${2:-25}
[[ $SECONDS_MEASURED =~ ^[1-9][0-9]*$ ]] || refuse "SECONDS is not a count: $SECONDS_MEASURED"
((SECONDS_MEASURED <= 30)) || refuse "the song is sung in 35 s: SECONDS at most 30"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c '
    set -euo pipefail
    unset QT_QPA_PLATFORM
    tmp=$(mktemp -d)
    trap "rm -rf $tmp" EXIT
    "$BUILD/tests/scoring/orba_sing_fixture" "$tmp" "$SOURCE/demo/examples/asanouta-ultrastar.txt"
    share() {  # scoring on or off
        ORBAKARAOKE_INI=$tmp/o.ini ORBAKARAOKE_MIXER=none ORBAKARAOKE_LIBRARY=$tmp/l.db \
        ORBAKARAOKE_AUDIO_SINK="fakesink sync=true" \
        ORBAKARAOKE_MIC_SOURCE="filesrc location=$tmp/ultrastar-voice.wav ! wavparse" \
            "$BUILD/app/orbakaraoke" "$SOURCE/demo/examples/asanouta-ultrastar.txt" >/dev/null 2>&1 &
        local pid=$!
        local window=""
        for _ in $(seq 100); do
            window=$(xdotool search --pid $pid --onlyvisible --name . 2>/dev/null | head -1 || true)
            [ -n "$window" ] && break
            sleep 0.1
        done
        [ -n "$window" ] || { kill $pid; echo "score_cpu.sh: no window" >&2; exit 1; }
        if [ "$1" = on ]; then
            for _ in $(seq 50); do
                [ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ] && break
                xdotool windowfocus --sync "$window" 2>/dev/null || sleep 0.1
            done
            xdotool key --clearmodifiers k Escape
        fi
        sleep 2
        if [ "$1" = on ]; then
            # The lane'"'"'s bars: scoring is on and singing (a busy machine
            # may take a while to show them).
            bars=0
            for _ in $(seq 60); do
                import -window "$window" $tmp/lane.png 2>/dev/null || true
                bars=$(convert $tmp/lane.png -fill black +opaque "#60C0FF" -fill white -opaque "#60C0FF" \
                    -colorspace Gray -format "%[fx:round(mean*w*h)]" info: 2>/dev/null || echo 0)
                [ "$bars" -gt 100 ] && break
                sleep 0.25
            done
            [ "$bars" -gt 100 ] || { kill $pid; echo "score_cpu.sh: scoring did not start" >&2; exit 1; }
        fi
        ticks() { awk "{ print \$14 + \$15 }" /proc/$pid/stat; }
        local a b
        a=$(ticks)
        sleep "$SECONDS_MEASURED"
        kill -0 $pid || { echo "score_cpu.sh: the player ended early" >&2; exit 1; }
        b=$(ticks)
        kill $pid
        wait $pid 2>/dev/null || true
        awk -v a=$a -v b=$b -v hz=$(getconf CLK_TCK) -v s=$SECONDS_MEASURED \
            "BEGIN { printf \"%.2f\", (b - a) * 100 / hz / s }"
    }
    off=$(share off)
    on=$(share on)
    awk -v off=$off -v on=$on -v s=$SECONDS_MEASURED "BEGIN {
        printf \"scoring off: %.2f %% of a core over %d s\n\", off, s
        printf \"scoring on:  %.2f %% of a core over %d s\n\", on, s
        printf \"scoring adds %.2f %% of a core\n\", on - off }"'
