#!/usr/bin/env bash
# Starts the real player on a virtual X display, lets it close itself as a
# user would, and checks that it exited cleanly and saved its window state.
set -euo pipefail
binary=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset QT_QPA_PLATFORM
export ORBAKARAOKE_INI=$work/ORBAKARAOKE.ini
export ORBAKARAOKE_QUIT_AFTER_MS=1500
printf '; kept by hand\n[Option]\nMine=1\n' > "$ORBAKARAOKE_INI"
timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" "$binary" "$work/missing.mp3"
for key in StayOnTop=0 WipeStyle=1 TextBack=0 GazStyle=0 showNext=1 bFRepeat=1 Mine=1 '; kept by hand'; do
  grep -qxF "$key" "$ORBAKARAOKE_INI" || { echo "missing '$key' in settings file"; cat "$ORBAKARAOKE_INI"; exit 1; }
done
echo "smoke test passed"
