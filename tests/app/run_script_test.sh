#!/usr/bin/env bash
# Runs ./run from another folder with relative paths, over a copy of the
# script whose set-up, build and player are stand-ins: the player must find
# the files the caller named, and get every option as it was written.
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/repo/scripts" "$work/repo/build/app" "$work/bin" "$work/caller/sub dir"
cp "$source_dir/run" "$work/repo/run"
printf '#!/bin/sh\nexit 0\n' > "$work/repo/scripts/bootstrap"
printf '#!/bin/sh\nexit 0\n' > "$work/bin/cmake"
# The stand-in player reports each argument that names a file it can open
# as "file", and any other argument as it stands.
cat > "$work/repo/build/app/orbakaraoke" <<'PLAYER'
#!/bin/sh
for a; do if [ -f "$a" ]; then echo file; else echo "$a"; fi; done
PLAYER
chmod +x "$work/repo/run" "$work/repo/scripts/bootstrap" "$work/bin/cmake" \
  "$work/repo/build/app/orbakaraoke"
touch "$work/caller/song.mp3" "$work/caller/sub dir/two.mp3"

check() {
  local expected=$1
  shift
  local got
  got=$(cd "$work/caller" && env -u ORBA_BUILD_DIR DISPLAY=:0 PATH="$work/bin:$PATH" "$@")
  if [[ "$got" != "$expected" ]]; then
    printf 'run %s\nexpected:\n%s\ngot:\n%s\n' "$*" "$expected" "$got"
    exit 1
  fi
}

# A song beside the caller, one in a subfolder with a blank in its name, and
# the options of a headless command with their values.
check $'file\nfile\n--at\n1000\n--debug' \
  ../repo/run song.mp3 "sub dir/two.mp3" --at 1000 --debug
# Called by its absolute path, with an absolute song path.
check $'file' "$work/repo/run" "$work/caller/song.mp3"
# A song that is not there reaches the player as written.
check $'missing.mp3' ../repo/run missing.mp3
echo "run script test passed"
