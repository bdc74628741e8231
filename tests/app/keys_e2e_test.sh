#!/usr/bin/env bash
# Drives the real player from the keyboard over a folder of two songs: D
# shows the debug overlay, Right moves on to the second song, T and Z change
# its looks and Ctrl+F9 stores them in the second song's own ".oka" file.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2elib.sh"
e2e_begin "$0" "$@"
songs=$e2e_work/songs
mkdir -p "$songs"
for s in a b; do
  e2e_make_song "$songs/$s.mp3" 30
  printf 'song %s line one\r\n[00:02:00]song %s line two\r\n' "$s" "$s" > "$songs/$s.txt"
done
e2e_write_settings 1

e2e_start_player "$songs/a.mp3"
echo "caption names a.mp3"
e2e_expect_no_colour "#FF0000" "before the debug overlay"
e2e_key d
e2e_wait_colour "#FF0000" 100 "debug banner after D"
echo "D shows the debug overlay"

e2e_key Right
e2e_wait_caption b.mp3
echo "Right opened b.mp3"
# Keys are handled in the order they arrive: these act on the second song.
e2e_key t z ctrl+F9
deadline=$((SECONDS + 20))
until [[ -s "$songs/b.oka" ]]; do
  ((SECONDS < deadline)) || e2e_fail "Ctrl+F9 wrote no b.oka"
  sleep 0.2
done
oka=$(tr -d '\r' < "$songs/b.oka")
for line in TextBack=2 iNoiseT=1 iBackT=0; do
  grep -qxF "$line" <<<"$oka" || e2e_fail "b.oka lacks $line: $oka"
done
[[ ! -e "$songs/a.oka" ]] || e2e_fail "a.oka written for the song that was left"
echo "b.oka holds TextBack=2 iNoiseT=1 iBackT=0"
echo "keys test passed"
