#!/usr/bin/env bash
# The song formats people own, each opened in the real player with two
# semitones up pressed while it plays: an MP3+G zip (its graphics fill the
# window), karaoke subtitles, an UltraStar song and a karaoke video (its
# pictures fill the window). What the player plays is
# recorded, and after the key press an A (440 Hz) must be heard as a B.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2elib.sh"
e2e_begin "$0" "$@"
fixture=$2
songs=$e2e_work/songs
mkdir -p "$songs"
e2e_write_settings 1
recording=$e2e_work/heard.raw
export ORBAKARAOKE_AUDIO_SINK="audioconvert ! audioresample ! audio/x-raw,format=S16LE,rate=44100,channels=2 ! filesink sync=true location=\"$recording\""
readonly bytes_per_ms=176  # 44.1 kHz, two channels of 16 bits

# An A held for 20 s, the same on both channels.
gst-launch-1.0 -q audiotestsrc freq=440 volume=0.3 num-buffers=600 samplesperbuffer=1470 \
  ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! lamemp3enc ! filesink location="$songs/tone.mp3"

"$fixture" cdg "$songs/tone.cdg" 20000
"$fixture" zip "$songs/sold.zip" "Sold/tone.mp3=$songs/tone.mp3" "Sold/tone.cdg=$songs/tone.cdg"
rm "$songs/tone.cdg"

# The video: a yellow picture over the same A, its lyrics beside it.
gst-launch-1.0 -q -e videotestsrc pattern=solid-color foreground-color=0xffffff00 num-buffers=200 \
  ! video/x-raw,width=320,height=180,framerate=10/1 ! videoconvert ! x264enc ! mux. \
  audiotestsrc freq=440 volume=0.3 num-buffers=600 samplesperbuffer=1470 \
  ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! avenc_aac ! mux. \
  mp4mux name=mux ! filesink location="$songs/clip.mp4"
printf '[00:00.50]きいろ\n[00:10.00]おわり\n' > "$songs/clip.lrc"

cp "$songs/tone.mp3" "$songs/subs.mp3"
cat > "$songs/subs.ass" <<'ASS'
[Script Info]
ScriptType: v4.00+

[Events]
Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text
Dialogue: 0,0:00:00.50,0:00:08.00,Default,,0,0,0,,{\k100}あ{\kf200}さ{\ko100}の
Dialogue: 0,0:00:08.00,0:00:16.00,Default,,0,0,0,,{\K300}う{\k300}た
ASS

cat > "$songs/duet.txt" <<'US'
#TITLE:Tone Duet
#ARTIST:Test
#MP3:tone.mp3
#BPM:300
#GAP:500
: 0 8 9 あ
: 8 8 11 さ
- 20
: 24 8 12 ひ
E
US

# Plays `song`, waits for `ready` to say it shows, presses + twice and
# checks that the next two seconds sound two semitones up.
sung_a_tone_up() {
  local song=$1 ready=$2 caption=${3:-} start hz deadline
  rm -f "$recording"
  echo "$(date +%T) $(basename "$song")"
  e2e_start_player "$song" $caption
  $ready
  deadline=$((SECONDS + 20))
  until [[ -s "$recording" ]]; do
    ((SECONDS < deadline)) || e2e_fail "$song: nothing heard"
    sleep 0.2
  done
  e2e_key plus plus
  start=$(stat -c %s "$recording")
  until (($(stat -c %s "$recording") > start + 3000 * bytes_per_ms)); do
    ((SECONDS < deadline)) || e2e_fail "$song: the music stopped after the key"
    sleep 0.2
  done
  e2e_stop_player
  # The key takes effect after the sink's buffer: measure from a second on.
  hz=$("$fixture" hz "$recording" $((start / bytes_per_ms + 1000)) $((start / bytes_per_ms + 2800)))
  awk -v hz="$hz" 'BEGIN { exit !(hz > 488 && hz < 499) }' ||
    e2e_fail "$song: heard $hz Hz two semitones up, not B4 (493.9 Hz)"
  echo "$(basename "$song"): two semitones up heard at $hz Hz"
}

graphics_shown() {
  e2e_wait_colour "#FFFF00" 5000 "the CD+G band of the zip song"
  e2e_wait_colour "#0000FF" 20000 "the CD+G screen of the zip song"
}
video_shown() {
  e2e_wait_colour "#FFFF00" 50000 "the video's yellow pictures" 10
}
nothing_to_wait_for() { :; }

sung_a_tone_up "$songs/sold.zip" graphics_shown
sung_a_tone_up "$songs/subs.mp3" nothing_to_wait_for
sung_a_tone_up "$songs/clip.mp4" video_shown
# The caption names the music an UltraStar song plays.
sung_a_tone_up "$songs/duet.txt" nothing_to_wait_for tone.mp3
[[ ! -e "$songs/Sold" ]] || e2e_fail "the zip was unpacked to disk"
echo "formats test passed"
