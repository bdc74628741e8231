# Helpers of the end-to-end tests that drive the real player on a virtual X
# display. Sourced by the test scripts; every wait polls against a deadline.

# Called with the script's path and arguments: re-runs the script under
# xvfb-run unless it already has its display, then sets e2e_binary (the
# player) and e2e_work (a temporary folder removed at exit, with the player).
e2e_begin() {
  if [[ -z "${ORBA_E2E_DISPLAY:-}" ]]; then
    export ORBA_E2E_DISPLAY=1
    unset DISPLAY
    # -noreset: a bare server resets when its last client leaves, and a
    # player started in that moment finds no display.
    exec timeout 100 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$@"
  fi
  unset QT_QPA_PLATFORM
  e2e_binary=$2
  e2e_work=$(mktemp -d)
  trap 'e2e_stop_player; rm -rf "$e2e_work"' EXIT
}

# A short song of `seconds` seconds: a sine tone as MP3.
e2e_make_song() {
  local path=$1 seconds=$2
  gst-launch-1.0 -q audiotestsrc num-buffers=$((seconds * 30)) samplesperbuffer=1470 \
    ! audio/x-raw,rate=44100 ! audioconvert ! lamemp3enc ! filesink location="$path"
}

# A settings file with a plain black scene (so that the overlays' pure red
# and green are the only ones drawn), no noise and folder play off (so that
# nothing but a key changes the song); TextBack as given.
e2e_write_settings() {
  export ORBAKARAOKE_INI=$e2e_work/ORBAKARAOKE.ini
  printf '[Option]\r\nTextBack=%d\r\nbFRepeat=0\r\n[Effect]\r\niBackT=0\r\niNoiseT=0\r\n' \
    "$1" > "$ORBAKARAOKE_INI"
}

e2e_fail() {
  echo "FAIL: $*" >&2
  [[ -n "${e2e_pid:-}" ]] && kill "$e2e_pid" 2>/dev/null
  exit 1
}

# Starts the player on a music file and sets e2e_pid and e2e_window once a
# window is captioned after that file (or the name given second); the keyboard focus goes to it.
e2e_start_player() {
  local song=$1 caption=${2:-$(basename "$1")} deadline=$((SECONDS + 40))
  "$e2e_binary" "$song" &
  e2e_pid=$!
  e2e_window=""
  e2e_wait_caption "$caption" "$deadline"
  # The caption comes with the first song, possibly before the window is
  # mapped: keys sent before it has the focus would be lost.
  until [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$e2e_window" ]]; do
    ((SECONDS < deadline)) || e2e_fail "the player's window never took the focus"
    xdotool windowfocus --sync "$e2e_window" 2>/dev/null || sleep 0.2
  done
}

# Waits until the player's window bears the caption of `name`.
e2e_wait_caption() {
  local name=$1 deadline=${2:-$((SECONDS + 30))} pattern id=""
  pattern="^ORBA KARAOKE PLAYER - ${name//./\\.}\$"
  while true; do
    id=$(xdotool search --name "$pattern" 2>/dev/null | head -1 || true)
    [[ -n "$id" ]] && break
    kill -0 "$e2e_pid" 2>/dev/null || e2e_fail "the player ended before showing $name"
    ((SECONDS < deadline)) || e2e_fail "no window captioned after $name"
    sleep 0.2
  done
  e2e_window=$id
}

# The number of pixels of exactly colour `hex` (e.g. "#00FF00") in the window,
# or within `fuzz` percent of it (for text, whose edges are smoothed).
e2e_count_colour() {
  local hex=$1 fuzz=${2:-0} shot=$e2e_work/shot.png
  import -window "$e2e_window" "$shot" 2>/dev/null || { echo 0; return; }
  convert "$shot" -fuzz "$fuzz%" -fill black +opaque "$hex" -fill white -opaque "$hex" \
    -colorspace Gray -format '%[fx:round(mean*w*h)]' info:
}

e2e_expect_no_colour() {
  local hex=$1 what=$2 n
  n=$(e2e_count_colour "$hex")
  ((n == 0)) || e2e_fail "$hex drawn $what: $n pixels"
}

# Waits until at least `min` pixels of colour `hex` (within `fuzz` percent) are drawn.
e2e_wait_colour() {
  local hex=$1 min=$2 what=$3 fuzz=${4:-0} deadline=$((SECONDS + 20)) n
  while true; do
    n=$(e2e_count_colour "$hex" "$fuzz")
    ((n >= min)) && return 0
    ((SECONDS < deadline)) || e2e_fail "$what: only $n pixels of $hex"
    sleep 0.2
  done
}

e2e_key() {
  xdotool key --clearmodifiers "$@"
}

e2e_stop_player() {
  [[ -n "${e2e_pid:-}" ]] || return 0
  kill "$e2e_pid" 2>/dev/null || true
  wait "$e2e_pid" 2>/dev/null || true
}
