#!/usr/bin/env bash
# Times the player's start with the demo song, from the launch of the process
# to its first frame on the screen, RUNS times under one virtual X server, and
# prints the median of each step (wall and CPU ms; see platform/startuptrace.h).
#
# usage: bench/startup_time.sh [BUILD_DIR] [RUNS]
set -euo pipefail
refuse() {
    echo "startup_time.sh: $1 (usage: bench/startup_time.sh [BUILD_DIR] [RUNS])" >&2
    exit 2
}
[ $# -le 2 ] || refuse "too many arguments"
[ -x "${1:-build}/app/orbakaraoke" ] || refuse "no player in ${1:-build}/app"
build=$(cd "${1:-build}" && pwd)
runs=${2:-15}
[[ $runs =~ ^[1-9][0-9]*$ ]] || refuse "RUNS is not a count: $runs"
export BUILD=$build RUNS=$runs
# A start that fails, or that prints no steps, ends the measure with an error.
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c '
    set -euo pipefail
    unset QT_QPA_PLATFORM  # the window on the virtual display, not off screen
    tmp=$(mktemp -d)
    trap "rm -rf $tmp" EXIT
    for n in $(seq "$RUNS"); do
        out=$(ORBAKARAOKE_INI=$tmp/o.ini ORBAKARAOKE_MIXER=none \
            ORBAKARAOKE_AUDIO_SINK="fakesink sync=true" ORBAKARAOKE_STARTUP_TRACE=exit \
            ORBAKARAOKE_STARTUP_T0=$(date +%s%N) "$BUILD/app/orbakaraoke" 2>&1) || {
            printf "%s\n" "$out" >&2
            echo "startup_time.sh: the player failed" >&2
            exit 1
        }
        grep "^startup:" <<<"$out" || { echo "startup_time.sh: the player printed no steps" >&2; exit 1; }
    done' | awk '
    { step = $2; for (i = 3; i <= NF; ++i) if ($i == "wall") { w = $(i + 1); c = $(i + 4) }
      if (!(step in seen)) { seen[step] = 1; order[++n] = step }
      walls[step] = walls[step] " " w; cpus[step] = cpus[step] " " c }
    function median(list,   a, k, i, j, t) {
        k = split(list, a, " ")
        for (i = 2; i <= k; ++i) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; --j) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
        return a[int((k + 1) / 2)]
    }
    END { for (i = 1; i <= n; ++i) printf "%-16s wall %7.1f ms  cpu %7.1f ms  (median of %d)\n", order[i], median(walls[order[i]]), median(cpus[order[i]]), split(walls[order[i]], x, " ") }'
