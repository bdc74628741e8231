#!/usr/bin/env bash
# Starts the real player without arguments on a virtual X display: it must
# pick up the demo song beside the program, name it in its caption and draw
# lyric pixels in the bottom band of the window.
set -euo pipefail
binary=$1
if [[ -z "${ORBA_E2E_DISPLAY:-}" ]]; then
  export ORBA_E2E_DISPLAY=1
  unset DISPLAY
  exec timeout 90 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset QT_QPA_PLATFORM
export ORBAKARAOKE_INI=$work/ORBAKARAOKE.ini
export ORBAKARAOKE_QUIT_AFTER_MS=60000

check() {
  local deadline=$((SECONDS + 40)) id="" shot="$work/shot.png"
  "$binary" &
  local pid=$!
  while [[ -z "$id" ]]; do
    ((SECONDS < deadline)) || { echo "no window named after demo.mp3"; kill $pid; return 1; }
    id=$(xdotool search --name '^ORBA KARAOKE PLAYER - demo\.mp3$' 2>/dev/null | head -1 || true)
    [[ -n "$id" ]] || sleep 0.2
  done
  echo "caption names the demo song"
  # The lines of the demo start after a few seconds; the lower fifth of the
  # window then holds the current and the next line.
  while true; do
    ((SECONDS < deadline)) || { echo "no lyric pixels in the bottom band"; kill $pid; return 1; }
    if import -window "$id" "$shot" 2>/dev/null; then
      local lit
      lit=$(convert "$shot" -gravity South -crop 100%x20%+0+0 +repage -colorspace Gray \
              -threshold 30% -format '%[fx:mean*w*h]' info:)
      if (( ${lit%.*} > 200 )); then
        echo "lyric pixels in the bottom band: ${lit%.*}"
        kill $pid
        wait $pid 2>/dev/null || true
        return 0
      fi
    fi
    sleep 0.3
  done
}
check
echo "demo test passed"
