#!/usr/bin/env bash
# Sings into the real player: a recording stands in for the microphone
# (ORBAKARAOKE_MIC_SOURCE), K switches scoring on and Escape starts the song
# again with it; for a MIDI song and for an UltraStar song the note lane
# shows the melody's bars and the voice's trace, the song's end brings the
# results screen, and the score kept in the song library is the singing's.
# A source that does not parse leaves the song playing, unscored, with a
# status line.
# With ORBA_SCORE_SHOTS set to a folder, the lanes and the results go there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2elib.sh"
e2e_begin "$0" "$@"
fixture=$2
"$fixture" "$e2e_work"
e2e_write_settings 1
shots=${ORBA_SCORE_SHOTS:-}

shot() {
  [[ -n "$shots" ]] && import -window "$e2e_window" "$shots/$1" 2>/dev/null || true
}

export ORBAKARAOKE_LIBRARY=$e2e_work/library.db

# The lane's bars (#60C0FF), the voice's trace on the note (#40FF40) and the
# rules above and below the results (#FFC000).
# Sings `song` from `voice`: K shows the lane, the trace follows the notes,
# the song's end shows the results and the library keeps a score of at
# least 9,000 for the song (`where` picks it out). Screenshots as `shot`.
sing_and_score() {
  local song=$1 voice=$2 caption=$3 shot=$4 where=$5 deadline best
  export ORBAKARAOKE_MIC_SOURCE="filesrc location=$voice ! wavparse"
  e2e_start_player "$song" "$caption"
  e2e_expect_no_colour "#60C0FF" "before scoring is switched on"
  e2e_key k Escape
  e2e_wait_colour "#60C0FF" 200 "$caption: the lane's note bars"
  e2e_wait_colour "#40FF40" 20 "$caption: the voice's trace on the notes"
  shot "$shot-lane.png"
  deadline=$((SECONDS + 40))
  until (($(e2e_count_colour "#FFC000") >= 1000)); do
    ((SECONDS < deadline)) || e2e_fail "$caption: no results screen at the song's end"
    kill -0 "$e2e_pid" 2>/dev/null || e2e_fail "$caption: the player ended while singing"
    sleep 0.3
  done
  shot "$shot-results.png"
  deadline=$((SECONDS + 10))
  until best=$(sqlite3 "$ORBAKARAOKE_LIBRARY" \
    "SELECT score FROM best_scores WHERE path LIKE '$where'" 2>/dev/null) && [[ -n "$best" ]]; do
    ((SECONDS < deadline)) || e2e_fail "$caption: no best score kept in the library"
    sleep 0.2
  done
  ((best >= 9000)) || e2e_fail "$caption: the melody sung back scored only $best"
  echo "$caption sung back shows its lane, trace and results, and the library keeps $best"
  e2e_stop_player
  e2e_pid=""
}

sing_and_score "$e2e_work/song.mid" "$e2e_work/voice.wav" song.mid score-midi '%/song.mid'
# An UltraStar song: its notes are the melody, its music the file it names.
e2e_make_song "$e2e_work/us.mp3" 12
sing_and_score "$e2e_work/us.txt" "$e2e_work/us-voice.wav" us.mp3 score-ultrastar '%/us.%'

# A source that is no GStreamer description: the song plays, unscored. The
# status line says so in three lines (the song's banner leaves its third
# empty); once that line is drawn the lane must not be.
export ORBAKARAOKE_MIC_SOURCE="no-such-element-here !"
e2e_start_player "$e2e_work/song.mid"
e2e_key k Escape
width=$(xdotool getwindowgeometry "$e2e_window" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
unit=$((width / 48))
deadline=$((SECONDS + 20))
while true; do
  import -window "$e2e_window" "$e2e_work/bad.png" 2>/dev/null || true
  third=$(convert "$e2e_work/bad.png" -crop "${width}x${unit}+0+$((unit / 2 + 2 * unit))" +repage \
    -fuzz 3% -fill black +opaque "#FF00FF" -fill white -opaque "#FF00FF" \
    -colorspace Gray -format '%[fx:round(mean*w*h)]' info: 2>/dev/null || echo 0)
  ((third >= 20)) && break
  kill -0 "$e2e_pid" 2>/dev/null || e2e_fail "the player ended over a bad microphone source"
  ((SECONDS < deadline)) || e2e_fail "no status line about the microphone source"
  sleep 0.2
done
e2e_expect_no_colour "#60C0FF" "with a source that does not parse"
kill -0 "$e2e_pid" 2>/dev/null || e2e_fail "the player ended over a bad microphone source"
echo "a source that does not parse leaves the song unscored, said on the status line"
echo "score test passed"
