#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what arrived there:
# the program, the desktop entry, the metainfo, the icons, the manual page,
# the demo with its pictures and examples, all valid; then starts the
# installed program with no argument on a virtual display and waits for it
# to play the installed demo.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../app/e2elib.sh"
e2e_begin "$0" "$@"
build=$(readlink -f "$2")

DESTDIR=$e2e_work/root cmake --install "$build" --prefix /usr >/dev/null
root=$e2e_work/root/usr
for file in \
    bin/orbakaraoke \
    lib/orbakaraoke/orba_cdg_ffmpeg.so \
    lib/orbakaraoke/orba_midi_fluidsynth.so \
    lib/orbakaraoke/orba_pitch_aubio.so \
    lib/orbakaraoke/orba_zip_libzip.so \
    share/applications/org.orbakaraoke.Player.desktop \
    share/metainfo/org.orbakaraoke.Player.metainfo.xml \
    share/icons/hicolor/scalable/apps/orbakaraoke.svg \
    share/man/man1/orbakaraoke.1.gz \
    share/orbakaraoke/demo.mp3 \
    share/orbakaraoke/demo_t.txt \
    share/orbakaraoke/okaraimg/01_sunset.jpg \
    share/orbakaraoke/examples/timetag.txt \
    share/doc/orbakaraoke/copyright; do
  [[ -s "$root/$file" ]] || e2e_fail "the install lacks $file"
done
for size in 48 128 256; do
  png=$root/share/icons/hicolor/${size}x${size}/apps/orbakaraoke.png
  [[ "$(identify -format '%wx%h' "$png" 2>/dev/null)" == "${size}x${size}" ]] ||
    e2e_fail "no ${size}x${size} icon"
done
[[ -x "$root/bin/orbakaraoke" ]] || e2e_fail "the program is not executable"
# FFmpeg, aubio, FluidSynth and libzip come with the modules, loaded on first use.
if readelf -d "$root/bin/orbakaraoke" | grep -E 'NEEDED.*(aubio|avformat|avcodec|fluidsynth|libzip)'; then
  e2e_fail "the program itself links a library that only a module needs"
fi
for module in "$root"/lib/orbakaraoke/*.so; do
  ! ldd "$module" | grep -q 'not found' || e2e_fail "$module lacks a library"
done
echo "the install holds the program, its modules, its desktop files and the demo"

desktop-file-validate "$root/share/applications/org.orbakaraoke.Player.desktop" ||
  e2e_fail "the desktop entry is not valid"
appstreamcli validate --no-net --strict "$root/share/metainfo/org.orbakaraoke.Player.metainfo.xml" \
  >/dev/null || e2e_fail "the metainfo is not valid"
zcat "$root/share/man/man1/orbakaraoke.1.gz" | grep -q -- 'render' ||
  e2e_fail "the manual page does not list the options"
echo "the desktop entry, the metainfo and the manual page are valid"

e2e_write_settings 1
"$root/bin/orbakaraoke" &
e2e_pid=$!
e2e_wait_caption demo.mp3 $((SECONDS + 40))
echo "the installed program plays its demo"
echo "install test passed"
