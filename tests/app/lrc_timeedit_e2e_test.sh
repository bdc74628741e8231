#!/usr/bin/env bash
# Times an LRC file in the real player: the song's only lyrics are song.lrc
# beside it (UTF-8, header lines, a line with characters that Shift-JIS
# lacks). Space tags the second line, F6 saves: the file must stay LRC in
# UTF-8, with its header lines on top and "[mm:ss.xx]" times, and its "_org"
# backup the original bytes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2elib.sh"
e2e_begin "$0" "$@"
song=$e2e_work/song.mp3
lyrics=$e2e_work/song.lrc
e2e_make_song "$song" 30
printf '[ti:Caf\303\251]\n[ar:Singer]\n[00:05.00]first\n[00:40.00]\355\225\234\352\265\255 second\nthird\n' \
  > "$lyrics"
cp "$lyrics" "$e2e_work/original.lrc"
e2e_write_settings 0

e2e_start_player "$song"
e2e_key alt+e
e2e_key t
e2e_wait_colour "#00FF00" 200 "edit mode banner after Alt+E, T"
echo "the edit mode is on for the LRC file"

# F6 until the second lyric line carries the tap's time; a Space that came
# before the line was drawn is sent again.
time='^\[[0-9][0-9]:[0-9][0-9]\.[0-9][0-9]\]'
e2e_key space
deadline=$((SECONDS + 20)) tries=0
while true; do
  e2e_key F6
  sleep 0.2
  [[ -f "$e2e_work/song_org.lrc" ]] && sed -n 4p "$lyrics" | grep -a "$time" | grep -avq '^\[00:40' &&
    break
  ((SECONDS < deadline)) || e2e_fail "line 2 not tagged: $(od -c "$lyrics")"
  ((++tries % 5 == 0)) && e2e_key space
done

cmp "$e2e_work/original.lrc" "$e2e_work/song_org.lrc" || e2e_fail "the backup is not the original"
t=$(sed -n 4p "$lyrics" | cut -c2-9)
# The file came with LF line ends and keeps them.
printf '[ti:Caf\303\251]\n[ar:Singer]\n[00:00.00]first\n[%s]\355\225\234\352\265\255 second\nthird\n' \
  "$t" > "$e2e_work/expected.lrc"
cmp "$e2e_work/expected.lrc" "$lyrics" || e2e_fail "saved bytes: $(od -c "$lyrics")"
echo "saved as LRC with [$t]; backup is the original"
echo "LRC time edit test passed"
