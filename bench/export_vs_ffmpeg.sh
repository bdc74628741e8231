#!/usr/bin/env bash
# The video export of the demo song against an ffmpeg pipeline doing the same
# job, RUNS times in turn, paired run by run:
#   anchor  ffmpeg: 1280x720 at 30 fps, two karaoke lines with \kf wipes drawn
#           by libass over black, libx264 veryfast CRF 20, AAC 192 kbit/s, mp4;
#   plain   export_bench of the demo song's music and lyrics alone, without
#           pictures, and with no scene (iBackT=0), at the same size and rate;
#   scenes  export_bench of the demo song as it comes: random scenes and its
#           pictures.
# Each run prints wall and CPU seconds (CPU of the process and its children,
# the figure to trust on a busy machine) and the ratios to the anchor; then
# the medians.
#
# usage: bench/export_vs_ffmpeg.sh [BUILD_DIR] [RUNS]
# ORBA_BENCH_SMOKE=1 cuts the song to its first 3 seconds (the test suite's
# smoke run).
set -euo pipefail
refuse() {
    echo "export_vs_ffmpeg.sh: $1 (usage: bench/export_vs_ffmpeg.sh [BUILD_DIR] [RUNS])" >&2
    exit 2
}
[ $# -le 2 ] || refuse "too many arguments"
[ -x "${1:-build}/bench/export_bench" ] || refuse "no export_bench in ${1:-build}/bench"
bench=$(cd "${1:-build}/bench" && pwd)/export_bench
runs=${2:-5}
[[ $runs =~ ^[1-9][0-9]*$ ]] || refuse "RUNS is not a count: $runs"
command -v ffmpeg >/dev/null || {
    echo "export_vs_ffmpeg.sh: no ffmpeg (scripts/bootstrap installs it)" >&2
    exit 1
}
demo=$(cd "$(dirname "$0")/../demo" && pwd)
cut=()
[[ ${ORBA_BENCH_SMOKE:-0} != 0 ]] && cut=(3)

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The anchor's subtitles from the ASS example: every karaoke line filled with
# \kf, shown from the previous line's start (a wait of \k before its first
# syllable keeps its wipe on time), at two places in turn.
sed -E 's/\\k([0-9])/\\kf\1/g' "$demo/examples/asanouta-ass.ass" | tr -d '\r' | awk -F, '
    function cs(t,   p) { split(t, p, ":"); return int(((p[1] * 60 + p[2]) * 60 + p[3]) * 100 + 0.5) }
    function ts(c) { return sprintf("%d:%02d:%02d.%02d", int(c / 360000), int(c / 6000) % 60, int(c / 100) % 60, c % 100) }
    BEGIN {
        print "[Script Info]\nScriptType: v4.00+\nPlayResX: 1280\nPlayResY: 720\nWrapStyle: 2\n"
        print "[V4+ Styles]"
        print "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, Encoding"
        print "Style: Karaoke,IPAGothic,64,&H000080FF,&H00FFFFFF,&H00000000,&H00000000,0,0,0,0,100,100,0,0,1,3,0,2,20,20,40,1\n"
        print "[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text"
        shown = -1
    }
    /^Dialogue:/ && /\\kf/ {
        text = $10
        for (i = 11; i <= NF; ++i) text = text "," $i
        start = cs($2)
        from = shown < 0 ? start : shown
        y = (n++ % 2) ? 640 : 540
        printf "Dialogue: 0,%s,%s,Karaoke,,0,0,0,,{\\an2\\pos(640,%d)\\k%d}%s\n", ts(from), ts(cs($3)), y, start - from, text
        shown = start
    }' >"$tmp/lines.ass"
grep -q '\\kf' "$tmp/lines.ass" || { echo "export_vs_ffmpeg.sh: no karaoke line in the ASS example" >&2; exit 1; }

seconds=${cut[0]:-$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$demo/demo.mp3")}

# The plain look: the music and lyrics alone in a folder without pictures,
# and no scene.
mkdir "$tmp/plain"
cp "$demo/demo.mp3" "$demo/demo_t.txt" "$tmp/plain/"
printf '[Effect]\niBackT=0\n' >"$tmp/plain.ini"

# run NAME COMMAND...: the command's wall and CPU seconds as "WALL CPU".
run() {
    local name=$1
    shift
    local TIMEFORMAT='%R %U %S'
    { time "$@" >"$tmp/$name.log" 2>&1; } 2>"$tmp/$name.time" || {
        cat "$tmp/$name.log" >&2
        echo "export_vs_ffmpeg.sh: the $name run failed" >&2
        exit 1
    }
    awk '{ printf "%.2f %.2f\n", $1, $2 + $3 }' "$tmp/$name.time"
}

for n in $(seq "$runs"); do
    a=$(run anchor ffmpeg -nostdin -y -v error -f lavfi -i "color=c=black:s=1280x720:r=30" \
        -i "$demo/demo.mp3" -t "$seconds" -vf "ass=$tmp/lines.ass" \
        -c:v libx264 -preset veryfast -crf 20 -pix_fmt yuv420p -c:a aac -b:a 192k \
        "$tmp/anchor.mp4")
    p=$(ORBAKARAOKE_INI=$tmp/plain.ini run plain "$bench" "$tmp/plain/demo.mp3" \
        --size 1280x720 --fps 30 --out "$tmp/plain.mp4" ${cut:+--seconds "${cut[0]}"})
    s=$(ORBAKARAOKE_INI=$tmp/default.ini run scenes "$bench" "$demo/demo.mp3" \
        --size 1280x720 --fps 30 --out "$tmp/scenes.mp4" ${cut:+--seconds "${cut[0]}"})
    echo "run $n $a $p $s"
done | awk '
    function median(list,   a, k, i, j, t) {
        k = split(list, a, " ")
        for (i = 2; i <= k; ++i) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; --j) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
        return k % 2 ? a[(k + 1) / 2] : (a[k / 2] + a[k / 2 + 1]) / 2
    }
    function add(key, v) { list[key] = list[key] " " v }
    {
        printf "run %s  anchor wall %6.2f s cpu %6.2f s | plain wall %6.2f s cpu %6.2f s (%.2fx wall, %.2fx cpu) | scenes wall %6.2f s cpu %6.2f s (%.2fx wall, %.2fx cpu)\n",
            $2, $3, $4, $5, $6, $5 / $3, $6 / $4, $7, $8, $7 / $3, $8 / $4
        add("aw", $3); add("ac", $4); add("pw", $5); add("pc", $6); add("sw", $7); add("sc", $8)
        add("pwr", $5 / $3); add("pcr", $6 / $4); add("swr", $7 / $3); add("scr", $8 / $4)
    }
    END {
        printf "median   anchor wall %6.2f s cpu %6.2f s | plain wall %6.2f s cpu %6.2f s (%.2fx wall, %.2fx cpu) | scenes wall %6.2f s cpu %6.2f s (%.2fx wall, %.2fx cpu)  (%d runs; ratios paired run by run)\n",
            median(list["aw"]), median(list["ac"]), median(list["pw"]), median(list["pc"]),
            median(list["pwr"]), median(list["pcr"]), median(list["sw"]), median(list["sc"]),
            median(list["swr"]), median(list["scr"]), NR
    }'
