#!/usr/bin/env bash
# Whole runs of kelvo-render on this machine, in one run, medians of
# several: a single page as SVG against gnuplot's same page, as PNG and
# as calls, the bare start (--version), and a turntable of 360 PNG frames
# in one run against 360 runs of one frame each. With a second
# kelvo-render (an older build) its single pages are timed beside.
# Every run has an empty environment, as a cron job's may be.
# Usage: bench/startup.sh [build-dir] [runs] [older-kelvo-render]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-15}
older=${3:-}
render=$(realpath "$build/tools/kelvo-render")
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
command -v perf >/dev/null || { echo "startup: perf is not installed (apt-get install linux-perf)" >&2; exit 1; }
command -v gnuplot >/dev/null || { echo "startup: gnuplot is not installed (tools/install-deps installs it)" >&2; exit 1; }

# The default page: exp(-(x*x+4*y*y)) on -2..2 x -2..2, 41 x 21 mesh
# lines of 401 and 201 samples (m 40, n 20, k 10), SVG 800x600.
cat > "$out/default.gp" <<GP
set terminal svg size 800,600
set output '$out/gnuplot.svg'
set hidden3d
set isosamples 41,21
set samples 401,201
set xrange [-2:2]
set yrange [-2:2]
set zrange [0:1]
set view 75,0
splot exp(-(x*x+4*y*y)) notitle
GP

# COMMAND...: the median wall time of $runs runs, in milliseconds, and
# the median processor time of the same runs (perf's task-clock; on a
# busy machine it says more).
median_ms() {
  local wall=() cpu=() start end
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    perf stat -x, -e task-clock -o "$out/stat" env -i "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    wall+=($(((end - start) / 1000)))
    cpu+=("$(awk -F, '/task-clock/ {print $1 * 1000}' "$out/stat")")
  done
  local median='{t[NR] = $1} END {printf "%.1f", t[int((NR + 1) / 2)] / 1000}'
  echo "$(printf '%s\n' "${wall[@]}" | sort -g | awk "$median") $(printf '%s\n' "${cpu[@]}" | sort -g | awk "$median")"
}
row() { printf '%-36s %9s ms wall %9s ms cpu\n' "$1" ${2% *} ${2#* }; }
ratio() { echo "${1% *} / ${2% *}" | bc -l | cut -c1-4; }

gnuplot_svg=$(median_ms "$(command -v gnuplot)" "$out/default.gp")
svg=$(median_ms "$render" -o "$out/page.svg")
row "gnuplot, default page as SVG" "$gnuplot_svg"
row "kelvo-render, default page as SVG" "$svg"
row "kelvo-render, default page as PNG" "$(median_ms "$render" -o "$out/page.png")"
row "kelvo-render, default page as calls" "$(median_ms "$render" -o "$out/page.calls")"
row "kelvo-render --version" "$(median_ms "$render" --version)"
if [ -n "$older" ]; then
  older=$(realpath "$older")
  row "older, default page as SVG" "$(median_ms "$older" -o "$out/page.svg")"
  row "older, default page as PNG" "$(median_ms "$older" -o "$out/page.png")"
  row "older, default page as calls" "$(median_ms "$older" -o "$out/page.calls")"
  row "older --version" "$(median_ms "$older" --version)"
fi
echo "gnuplot / kelvo-render, SVG, wall: $(ratio "$gnuplot_svg" "$svg")"

# 360 frames: one run, and one run a frame (once: it takes a while).
frames=$(runs=3 median_ms "$render" --frames 360 --turn -o "$out/turn-%03d.png")
cat > "$out/separate.sh" <<SH
for i in \$(seq 0 359); do "$render" --set "theta=\$i" -o "$out/one-\$i.png"; done
SH
separate=$(runs=1 median_ms bash "$out/separate.sh")
row "360 frames as PNG, one run" "$frames"
row "360 frames as PNG, 360 runs" "$separate"
echo "360 runs / one run, wall: $(ratio "$separate" "$frames")"
