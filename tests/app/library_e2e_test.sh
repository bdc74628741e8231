#!/usr/bin/env bash
# The library's search panel in the real window: a library made by
# --library-add over a demo song and a song named after a word of its
# lyrics; Ctrl+F opens the panel, a lyric fragment finds both (the title
# match first), Down picks the demo song and Enter plays it. A song moved
# into the folder while the window runs is found by the window's watch.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2elib.sh"
e2e_begin "$0" "$@"

# xdotool lends a spare key to each character the keyboard lacks and takes it
# back after the delay: a window that reads the keyboard map only after that
# loses the character, so the delay leaves room for a busy machine.
type_text() {
  xdotool type --delay 400 "$1"
}
examples=$here/../../demo/examples
export ORBAKARAOKE_LIBRARY=$e2e_work/library.db
songs=$e2e_work/songs
mkdir -p "$songs" "$e2e_work/start"
cp "$examples/asanouta.mp3" "$examples/asanouta.lrc" "$songs/"
e2e_make_song "$songs/メロディー.mp3" 5
e2e_make_song "$e2e_work/start/start.mp3" 60
e2e_write_settings 0

"$e2e_binary" --library-add "$songs" > "$e2e_work/add.json"
grep -q '"songs": 2' "$e2e_work/add.json" || e2e_fail "library-add: $(cat "$e2e_work/add.json")"
echo "library holds the two songs"

e2e_start_player "$e2e_work/start/start.mp3"
e2e_key ctrl+f
type_text めろでぃー
# The search form folds kana, so hiragana finds the katakana of both songs.
e2e_key Down Return
e2e_wait_caption asanouta.mp3
echo "Down and Enter played the song whose lyrics matched"

e2e_make_song "$e2e_work/ほしぞら.mp3" 5
mv "$e2e_work/ほしぞら.mp3" "$songs/"
deadline=$((SECONDS + 20))
until "$e2e_binary" --search ほしぞら | grep -q 'ほしぞら\.mp3'; do
  ((SECONDS < deadline)) || e2e_fail "the window's watch never took in ほしぞら.mp3"
  sleep 0.2
done
echo "the watch took in a song moved into the folder"
e2e_key ctrl+f
type_text ホシゾラ
e2e_key Return
e2e_wait_caption ほしぞら.mp3
echo "library test passed"
