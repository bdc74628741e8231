#!/usr/bin/env bash
# Authors the timing of a lyric file in the real player: the edit mode is
# entered through its menu entry, Space tags the second and third line, F6
# saves, Escape ends the mode. The lyric file must then hold exactly the
# lines in memory with CR LF and two increasing tags, and its "_org" backup
# the original bytes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2elib.sh"
e2e_begin "$0" "$@"
song=$e2e_work/song.mp3
lyrics=$e2e_work/song.txt
e2e_make_song "$song" 30
# LF line ends, a Shift-JIS line and an old tag: none of them may survive
# except in the backup.
printf 'first line\n\202\240second\n[00:40:00]third\n' > "$lyrics"
cp "$lyrics" "$e2e_work/original.txt"
e2e_write_settings 0

e2e_start_player "$song"
echo "caption names song.mp3"
e2e_expect_no_colour "#00FF00" "before the edit mode"
# The menu 編集(&E), then its entry タイムタグ編集モード(&T).
e2e_key alt+e
e2e_key t
e2e_wait_colour "#00FF00" 200 "edit mode banner after Alt+E, T"
echo "the menu entry started the edit mode"

# Saves until line `n` (1-based) of the file carries a time tag. A Space that
# came before the first frame of a line was drawn is not taken: it is sent
# again, which can only ever tag the next untagged line.
tag='^\[[0-9][0-9]:[0-9][0-9]:[0-9][0-9]\]'
save_until_tagged() {
  local n=$1 deadline=$((SECONDS + 20)) tries=0
  while true; do
    e2e_key F6
    sleep 0.2
    [[ -f "$e2e_work/song_org.txt" ]] &&
      sed -n "${n}p" "$lyrics" | grep -aq "$tag" && return 0
    ((SECONDS < deadline)) || e2e_fail "line $n not tagged: $(od -c "$lyrics")"
    ((++tries % 5 == 0)) && e2e_key space
  done
}
e2e_key space
save_until_tagged 2
e2e_key space
save_until_tagged 3
echo "two Space presses tagged two lines"

cmp "$e2e_work/original.txt" "$e2e_work/song_org.txt" ||
  e2e_fail "the backup is not the original file"
t1=$(sed -n 2p "$lyrics" | cut -c2-9)
t2=$(sed -n 3p "$lyrics" | cut -c2-9)
printf '[00:00:00]first line\r\n[%s]\202\240second\r\n[%s]third\r\n' "$t1" "$t2" \
  > "$e2e_work/expected.txt"
cmp "$e2e_work/expected.txt" "$lyrics" || e2e_fail "saved bytes: $(od -c "$lyrics")"
cs() { local m=${1:0:2} s=${1:3:2} c=${1:6:2}; echo $((10#$m * 6000 + 10#$s * 100 + 10#$c)); }
(($(cs "$t1") < $(cs "$t2"))) || e2e_fail "tag times do not increase: $t1 then $t2"
echo "saved: [$t1] and [$t2]; backup is the original"

# Escape ends the mode, also after the menu bar was used from the keyboard.
e2e_key Escape
deadline=$((SECONDS + 20))
until (($(e2e_count_colour "#00FF00") == 0)); do
  ((SECONDS < deadline)) || e2e_fail "the edit mode banner stays after Escape"
  sleep 0.2
done
echo "Escape ended the edit mode"
echo "time edit test passed"
