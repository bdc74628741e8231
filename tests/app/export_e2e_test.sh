#!/usr/bin/env bash
# Exports the playing song from the real window: File > 動画に書き出す...,
# a file name typed into the save dialog, then the progress dialog. The first
# export is cancelled with Escape and must leave no file; the second runs to
# its end and must give a video with a picture and a sound stream. The player
# must go on answering throughout.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2elib.sh"
e2e_begin "$0" "$@"
song=$e2e_work/song.mp3
e2e_make_song "$song" 6
printf '[00:00:50]first line\r\n[00:03:00]second line\r\n' > "$e2e_work/song_t.txt"
e2e_write_settings 0
e2e_start_player "$song"

# Waits for a top-level window named `name` other than the player's own.
wait_window() {
  local name=$1 deadline=$((SECONDS + 30)) id
  while true; do
    id=$(xdotool search --name "^$name\$" 2>/dev/null | grep -v "^$e2e_window\$" | head -1 || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    kill -0 "$e2e_pid" 2>/dev/null || e2e_fail "the player ended while waiting for $name"
    ((SECONDS < deadline)) || e2e_fail "no window named $name"
    sleep 0.2
  done
}

# File menu, its second entry, then the file name into the save dialog.
start_export() {
  local out=$1
  xdotool windowfocus --sync "$e2e_window" 2>/dev/null || true
  e2e_key alt+f
  sleep 0.3
  e2e_key Down Return
  local dialog
  dialog=$(wait_window "動画に書き出す")
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  e2e_key ctrl+a
  xdotool type --delay 10 "$out"
  e2e_key Return
}

wait_file() {
  local path=$1 what=$2 deadline=$((SECONDS + ${3:-30}))
  until compgen -G "$path" > /dev/null; do
    kill -0 "$e2e_pid" 2>/dev/null || e2e_fail "the player ended while $what"
    ((SECONDS < deadline)) || e2e_fail "$what: no $path"
    sleep 0.1
  done
}

# The hidden partial file an export of $1 writes into.
partial_of() {
  echo "$(dirname "$1")/.$(basename "$1").*.part"
}

out=$e2e_work/cancelled.mp4
start_export "$out"
wait_file "$(partial_of "$out")" "the export started"
e2e_key Escape
deadline=$((SECONDS + 20))
while compgen -G "$(partial_of "$out")" > /dev/null; do
  ((SECONDS < deadline)) || e2e_fail "the cancelled export kept its partial file"
  sleep 0.1
done
[[ ! -e "$out" ]] || e2e_fail "the cancelled export left $out"
kill -0 "$e2e_pid" || e2e_fail "the player ended on cancel"
echo "a cancelled export leaves no file"

# Typed without an extension: the chosen type, MP4, gives it.
start_export "$e2e_work/whole"
wait_file "$e2e_work/whole.mp4" "the export ran to its end" 80
wait_window "動画に書き出す" > /dev/null
e2e_key Return
info=$(gst-discoverer-1.0 "$e2e_work/whole.mp4")
grep -q "video #" <<< "$info" || e2e_fail "no picture stream: $info"
grep -q "audio #" <<< "$info" || e2e_fail "no sound stream: $info"
grep -q "Width: 1280" <<< "$info" || e2e_fail "not 1280 wide: $info"
kill -0 "$e2e_pid" || e2e_fail "the player ended after the export"
echo "the whole export holds a picture and a sound stream"

# Typed without an extension again: the file dialog did not ask about
# whole.mp4, so the window does, and No leaves the earlier video alone.
before=$(md5sum < "$e2e_work/whole.mp4")
start_export "$e2e_work/whole"
# While the question waits, nothing is written.
for _ in {1..15}; do
  compgen -G "$(partial_of "$e2e_work/whole.mp4")" > /dev/null &&
    e2e_fail "the export began without asking"
  sleep 0.1
done
e2e_key Escape
sleep 2
xdotool search --name "^動画に書き出す\$" 2>/dev/null | grep -qv "^$e2e_window\$" &&
  e2e_fail "the question is still open"
compgen -G "$(partial_of "$e2e_work/whole.mp4")" > /dev/null &&
  e2e_fail "the export began although No was chosen"
[[ "$(md5sum < "$e2e_work/whole.mp4")" == "$before" ]] || e2e_fail "whole.mp4 was replaced"
kill -0 "$e2e_pid" || e2e_fail "the player ended after the question"
echo "an existing video is replaced only when the user agrees"
