#!/usr/bin/env bash
# The player on a session bus of its own and a virtual display: a second
# start hands its song to the open window and exits; the media controls,
# called with gdbus and busctl, pause the clock, step through the folder,
# name the song and close the window; a headless command never hands over,
# and the edit mode's start opens a window of its own.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [[ -z "${ORBA_E2E_BUS:-}" ]]; then
  export ORBA_E2E_BUS=1
  exec dbus-run-session -- "$0" "$@"
fi
source "$here/../app/e2elib.sh"
e2e_begin "$0" "$@"
e2e_binary=$(readlink -f "$e2e_binary")

name=org.mpris.MediaPlayer2.orbakaraoke
path=/org/mpris/MediaPlayer2
player_if=org.mpris.MediaPlayer2.Player

call() {  # METHOD ARGS...: a method of the Player interface
  gdbus call --session --dest "$name" --object-path "$path" --method "$player_if.$1" "${@:2}"
}
property() {  # NAME: a Player property, as gdbus prints it
  gdbus call --session --dest "$name" --object-path "$path" \
    --method org.freedesktop.DBus.Properties.Get "$player_if" "$1"
}
position() {  # microseconds, through busctl
  busctl --user get-property "$name" "$path" "$player_if" Position | awk '{print $2}'
}
wait_property() {  # NAME PATTERN WHAT
  local deadline=$((SECONDS + 20)) value
  while true; do
    value=$(property "$1" 2>/dev/null || true)
    [[ "$value" == *$2* ]] && return 0
    ((SECONDS < deadline)) || e2e_fail "$3: $1 is $value"
    sleep 0.2
  done
}

songs=$e2e_work/songs
mkdir -p "$songs"
for s in first second; do
  e2e_make_song "$songs/$s.mp3" 30
  printf '[00:00:00]%s line one\r\n[00:20:00]%s line two\r\n' "$s" "$s" > "$songs/$s.txt"
done
e2e_write_settings 1

e2e_start_player "$songs/first.mp3"
first_window=$e2e_window
wait_property PlaybackStatus "'Playing'" "the first song never played"
wait_property Metadata "'xesam:title': <'first'>" "Metadata does not name the song"
wait_property Metadata "'xesam:asText': <'first line one'>" "Metadata lacks the lyric line"
echo "the window is on the bus, playing first.mp3"

# N switches the next line's preview off, a window state that only the
# window's own save writes: the handed song must find it saved, as a dropped
# one would. Keys are handled in order: once D's debug overlay shows, N has
# been handled too.
grep -qx 'showNext=0' <(tr -d '\r' < "$ORBAKARAOKE_INI") && e2e_fail "showNext=0 before N"
e2e_key n d
e2e_wait_colour "#FF0000" 100 "debug banner after N and D"

# A second start, from another folder, with a relative path.
(cd "$songs" && timeout 20 "$e2e_binary" second.mp3) || e2e_fail "the second start did not exit 0"
e2e_wait_caption second.mp3
[[ "$e2e_window" == "$first_window" ]] || e2e_fail "the second song opened another window"
kill -0 "$e2e_pid" || e2e_fail "the first window went"
wait_property Metadata "file://$songs/second.mp3" "Metadata does not name the handed song"
grep -qx 'showNext=0' <(tr -d '\r' < "$ORBAKARAOKE_INI") ||
  e2e_fail "the window state was not saved before the handed song: $(cat "$ORBAKARAOKE_INI")"
echo "a second start handed second.mp3 to the open window, which saved its state first"

out=$("$e2e_binary" --probe "$songs/first.mp3")
[[ "$out" == "{"* ]] || e2e_fail "--probe handed over instead of answering: $out"
e2e_wait_caption second.mp3
echo "--probe answered itself"

call PlayPause >/dev/null
wait_property PlaybackStatus "'Paused'" "PlayPause did not pause"
before=$(position)
# Nothing to wait for: the clock has to stand still for a while.
sleep 0.5
after=$(position)
((before == after)) || e2e_fail "the clock went on while paused: $before then $after"
call PlayPause >/dev/null
wait_property PlaybackStatus "'Playing'" "PlayPause did not resume"
deadline=$((SECONDS + 20))
until (($(position) > after)); do
  ((SECONDS < deadline)) || e2e_fail "the clock did not go on after PlayPause"
  sleep 0.2
done
echo "PlayPause paused and resumed the clock"

call Seek 5000000 >/dev/null
deadline=$((SECONDS + 20))
until (($(position) >= after + 5000000)); do
  ((SECONDS < deadline)) || e2e_fail "Seek did not move on by 5 s from $after: $(position)"
  sleep 0.2
done
echo "Seek moved on by 5 s"

# Stop keeps the song open, at its start and paused; Play goes on from there.
call Stop >/dev/null
wait_property PlaybackStatus "'Paused'" "Stop did not leave the song paused"
deadline=$((SECONDS + 20))
until (($(position) == 0)); do
  ((SECONDS < deadline)) || e2e_fail "Stop did not go back to the start: $(position)"
  sleep 0.2
done
sleep 0.3  # the clock has to stand still for a while
(($(position) == 0)) || e2e_fail "the clock went on after Stop: $(position)"
e2e_wait_caption second.mp3
call Play >/dev/null
wait_property PlaybackStatus "'Playing'" "Play after Stop"
deadline=$((SECONDS + 20))
until (($(position) > 0)); do
  ((SECONDS < deadline)) || e2e_fail "the clock did not go on after Play"
  sleep 0.2
done
echo "Stop went back to the start and paused; Play went on"

call Next >/dev/null
e2e_wait_caption first.mp3
wait_property Metadata "'xesam:title': <'first'>" "Metadata after Next"
echo "Next moved to first.mp3, the next song of the folder"

# The edit mode's launcher action opens a window of its own, beside the
# open one, which then takes an instance name on the bus.
main_window=$e2e_window
"$e2e_binary" --time-edit "$songs/second.mp3" &
editor_pid=$!
e2e_wait_caption second.mp3
[[ "$e2e_window" != "$main_window" ]] || e2e_fail "--time-edit handed its song over"
e2e_wait_colour "#00FF00" 200 "the edit mode banner of the --time-edit window"
deadline=$((SECONDS + 20))
until gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.ListNames | grep -q "$name.instance$editor_pid"; do
  ((SECONDS < deadline)) || e2e_fail "the second window took no instance name"
  sleep 0.2
done
kill "$editor_pid"
wait "$editor_pid" 2>/dev/null || true
e2e_window=$main_window
echo "--time-edit opened its own window in the edit mode, with an instance name"

gdbus call --session --dest "$name" --object-path "$path" --method org.mpris.MediaPlayer2.Quit >/dev/null
deadline=$((SECONDS + 20))
while kill -0 "$e2e_pid" 2>/dev/null; do
  ((SECONDS < deadline)) || e2e_fail "Quit did not close the window"
  sleep 0.2
done
e2e_pid=""
echo "Quit closed the window"
echo "desktop test passed"
