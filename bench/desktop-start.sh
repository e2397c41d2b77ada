#!/usr/bin/env bash
# The desktop program's start on an X display: from exec to its main
# window mapped (xwininfo says IsViewable), the median of several starts.
# Run it under Xvfb, which must not reset when kelvo's display check
# closes the first connection:
#   xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bench/desktop-start.sh [kelvo] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
kelvo=$(realpath "${1:-build/app/kelvo}")
runs=${2:-9}
[ -n "${DISPLAY:-}" ] || { echo "desktop-start: no display; run it under xvfb-run (see the top of this script)" >&2; exit 1; }
command -v xwininfo >/dev/null || { echo "desktop-start: needs xwininfo (x11-utils)" >&2; exit 1; }

times=()
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  env -i DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" "$kelvo" >/dev/null 2>&1 &
  pid=$!
  until xwininfo -name kelvo 2>/dev/null | grep -q IsViewable; do
    kill -0 "$pid" 2>/dev/null || { echo "desktop-start: kelvo ended before its window showed" >&2; exit 1; }
  done
  end=$(date +%s%N)
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  times+=($(((end - start) / 1000)))
done
printf '%s\n' "${times[@]}" | sort -n |
  awk '{t[NR] = $1} END {printf "kelvo: main window shown after %.1f ms (median of %d)\n", t[int((NR + 1) / 2)] / 1000, NR}'
