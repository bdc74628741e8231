#!/usr/bin/env bash
# Party mode end to end: the real player started with --party prints the
# guests' address and the host PIN; the window's QR code reads as that
# address; a headless browser opens the page, finds a song by a fragment of
# its lyrics and queues it under a name; a second client's song appears on
# the page without a reload; the host skips with the PIN, and the window
# names the first guest on its up-next screen before their song plays.
# ORBA_E2E_SHOTS=DIR keeps the page's and the window's screenshots there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2elib.sh"
e2e_begin "$0" "$@"
cdp=$2
examples=$here/../../demo/examples
shots=${ORBA_E2E_SHOTS:-$e2e_work/shots}
mkdir -p "$shots"

export ORBAKARAOKE_LIBRARY=$e2e_work/library.db
songs=$e2e_work/songs
mkdir -p "$songs" "$e2e_work/start"
cp "$examples/asanouta.mp3" "$examples/asanouta.lrc" "$songs/"
e2e_make_song "$songs/ほしぞら.mp3" 5
e2e_make_song "$e2e_work/start/start.mp3" 60
e2e_write_settings 0
printf '[Party]\r\nPort=0\r\nUpNextSeconds=4\r\n' >> "$ORBAKARAOKE_INI"
"$e2e_binary" --library-add "$songs" > /dev/null

# The player, its printed address and PIN.
"$e2e_binary" --party "$e2e_work/start/start.mp3" > "$e2e_work/party.txt" &
e2e_pid=$!
e2e_wait_caption start.mp3 $((SECONDS + 40))
deadline=$((SECONDS + 20))
until [[ $(wc -l < "$e2e_work/party.txt") -ge 2 ]]; do
  ((SECONDS < deadline)) || e2e_fail "--party printed no address and PIN"
  sleep 0.2
done
address=$(sed -n 1p "$e2e_work/party.txt")
pin=$(sed -n 2p "$e2e_work/party.txt")
[[ $address =~ ^http://[0-9.]+:[0-9]+/\?t=[A-Za-z0-9_-]{22,}$ ]] || e2e_fail "address: $address"
[[ $pin =~ ^[0-9]{4,8}$ ]] || e2e_fail "PIN: $pin"
origin=${address%%/\?*}
token=${address##*t=}
echo "party mode serves $origin"

# The code in the window's corner is the address itself.
deadline=$((SECONDS + 20))
until import -window "$e2e_window" "$e2e_work/window.png" 2>/dev/null &&
    [[ "$(zbarimg -q --raw "$e2e_work/window.png" 2>/dev/null || true)" == "$address" ]]; do
  ((SECONDS < deadline)) || e2e_fail "the window's QR code does not read as $address"
  sleep 0.5
done
cp "$e2e_work/window.png" "$shots/window-party.png"
echo "the QR code reads as the address"

# The guest's browser.
setsid chromium --headless=new --no-sandbox --disable-gpu --no-first-run --window-size=412,915 \
  --user-data-dir="$e2e_work/browser" --remote-debugging-port=0 about:blank \
  > "$e2e_work/browser.log" 2>&1 &
browser_pid=$!
# The browser and its helper processes go, and have gone, before its
# profile folder is removed.
stop_browser() {
  kill -- -"$browser_pid" 2>/dev/null || true
  wait "$browser_pid" 2>/dev/null || true
  local deadline=$((SECONDS + 10))
  while pgrep -s "$browser_pid" > /dev/null && ((SECONDS < deadline)); do sleep 0.1; done
}
trap 'stop_browser; e2e_stop_player; rm -rf "$e2e_work" || true' EXIT
deadline=$((SECONDS + 30))
until [[ -s "$e2e_work/browser/DevToolsActivePort" ]]; do
  ((SECONDS < deadline)) || e2e_fail "the browser did not start: $(tail -3 "$e2e_work/browser.log")"
  sleep 0.2
done
port=$(head -1 "$e2e_work/browser/DevToolsActivePort")
page() { "$cdp" "$port" "$@"; }

page open "$address"
page wait "document.getElementById('now') !== null" 10 || e2e_fail "the page did not load"
page eval "const s = document.getElementById('singer'); s.value = 'みなみ';
           s.dispatchEvent(new Event('change')); true" > /dev/null
page eval "const q = document.getElementById('q'); q.value = 'ことりのうた';
           q.dispatchEvent(new Event('input')); true" > /dev/null
page wait "[...document.querySelectorAll('#results button')].length === 1" 10 ||
  e2e_fail "a lyric fragment found no single song: $(page eval "document.getElementById('results').innerText")"
page eval "document.querySelector('#results button').click(); true" > /dev/null
page wait "document.getElementById('queue').innerText.includes('みなみ')" 10 ||
  e2e_fail "the queued song is not in the page's queue"
echo "the guest found a song by its lyrics and queued it"

# A second guest, through the API: the first page follows without a reload.
song=$(curl -sf -H "X-Room-Token: $token" "$origin/api/search?q=%E3%81%BB%E3%81%97%E3%81%9E%E3%82%89" |
  grep -o '"id": *[0-9]*' | head -1 | grep -o '[0-9]*$')
curl -sf -H "X-Room-Token: $token" -H 'Content-Type: application/json' \
  -d "{\"song\": $song, \"singer\": \"<b>Ken</b>\"}" "$origin/api/queue" > /dev/null ||
  e2e_fail "the second guest could not queue"
page wait "document.getElementById('queue').innerText.includes('<b>Ken</b>')" 10 ||
  e2e_fail "the page did not show the second guest's song live"
page shot "$shots/page-queue.png"
echo "the page showed the second guest's song live, as text"

# The host skips from the page with the PIN: the first guest is announced.
page eval "document.getElementById('host').open = true;
           const p = document.getElementById('pin'); p.value = '$pin';
           p.dispatchEvent(new Event('change')); document.getElementById('skip').click(); true" \
  > /dev/null
page wait "document.getElementById('now').innerText.includes('みなみ')" 10 ||
  e2e_fail "the skip did not take the guest's song: $(page eval "document.getElementById('message').innerText")"
# "次の歌" in light cyan: only the up-next screen draws it.
e2e_wait_colour "#80FFFF" 100 "the up-next screen naming the singer" 5
import -window "$e2e_window" "$shots/window-upnext.png"
page shot "$shots/page-host.png"
e2e_wait_caption asanouta.mp3 $((SECONDS + 20))
import -window "$e2e_window" "$shots/window-singing.png"
echo "party test passed"
