#!/usr/bin/env bash
# The real player on a virtual display with a karaoke video: its pictures
# fill the window under the lyrics of the LRC file beside it; then a plain
# song with a video in okaravid/ beside it plays that video behind its lyrics.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2elib.sh"
e2e_begin "$0" "$@"
e2e_write_settings 0

# 30 s of one colour (a videotestsrc pattern), with a tone when asked.
make_video() {
  local path=$1 pattern=$2 sound=$3
  local audio=""
  [[ $sound == yes ]] && audio="audiotestsrc num-buffers=900 samplesperbuffer=1470 \
    ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! avenc_aac ! queue ! mux."
  # shellcheck disable=SC2086
  gst-launch-1.0 -q videotestsrc pattern="$pattern" num-buffers=300 \
    ! video/x-raw,width=320,height=180,framerate=10/1 ! videoconvert ! video/x-raw,format=I420 \
    ! x264enc speed-preset=ultrafast ! queue ! mp4mux name=mux ! filesink location="$path" $audio
}
make_video "$e2e_work/video.mp4" green yes
printf '[00:00.10]video line one\n[00:25.00]video line two\n' > "$e2e_work/video.lrc"

e2e_start_player "$e2e_work/video.mp4"
echo "caption names video.mp4"
e2e_wait_colour "#00FF00" 50000 "the video's green pictures" 12
# The lyric line is drawn over the pictures: its white, not yet wiped (the
# line lasts 25 s, so a slow start still finds most of it so).
e2e_wait_colour "#FFFFFF" 50 "a lyric line over the video" 5
echo "the video's pictures fill the window under its lyrics"
e2e_stop_player
e2e_pid=""

mkdir -p "$e2e_work/plain/okaravid"
e2e_make_song "$e2e_work/plain/song.mp3" 30
printf '[00:00.10]plain line one\n' > "$e2e_work/plain/song.lrc"
make_video "$e2e_work/plain/okaravid/background.mp4" blue no
e2e_start_player "$e2e_work/plain/song.mp3"
e2e_wait_colour "#0000FF" 50000 "the background video's blue pictures" 12
echo "okaravid/ plays behind a plain song"
echo "video test passed"
