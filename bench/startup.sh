#!/usr/bin/env bash
# Whole runs of kelvo-render on this machine, in one run, medians of
# several: a single page as SVG against gnuplot's same page, as PNG and
# as calls, the bare start (--version), and a turntable of 360 PNG frames
# in one run against 360 runs of one frame each. With a second
# kelvo-render (an older build) its single pages are timed beside, run
# for run.
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

# One run of COMMAND...: its wall time and its processor time, in
# microseconds, as perf measures them: from the start of the program to
# its end, without perf's own start, which takes longer than a page.
one_run() {
  perf stat -e task-clock -o "$out/stat" env -i "$@" >/dev/null 2>&1 || true
  awk '/task-clock/ {gsub(",", "", $1); cpu = $1 * 1000} /time elapsed/ {wall = $1 * 1e6}
       END {printf "%d %d\n", wall, cpu}' "$out/stat"
}
# The median of a column of numbers in microseconds, in milliseconds.
median() { sort -g | awk '{t[NR] = $1} END {printf "%.1f", t[int((NR + 1) / 2)] / 1000}'; }

# kelvo-render keeps the text it measures in a memo in the cache folder
# ($out/cache), which its first run writes: a page's later runs measure
# nothing, as a user's do. A cache folder that cannot be written
# (/proc/self/none) has every run measure its text anew.

# The single runs, $runs rounds of each command in turn, so that every
# command meets the machine's load alike and the ratios hold on a busy
# machine: NAME|COMMAND, one a line.
commands=(
  "gnuplot, default page as SVG|$(command -v gnuplot) $out/default.gp"
  "kelvo-render, default page as SVG|XDG_CACHE_HOME=$out/cache $render -o $out/page.svg"
  "kelvo-render, SVG, text measured anew|XDG_CACHE_HOME=/proc/self/none $render -o $out/page.svg"
  "kelvo-render, default page as PNG|XDG_CACHE_HOME=$out/cache $render -o $out/page.png"
  "kelvo-render, default page as calls|XDG_CACHE_HOME=$out/cache $render -o $out/page.calls"
  "kelvo-render --version|$render --version"
)
if [ -n "$older" ]; then
  older=$(realpath "$older")
  commands+=(
    "older, default page as SVG|$older -o $out/page.svg"
    "older, default page as PNG|$older -o $out/page.png"
    "older, default page as calls|$older -o $out/page.calls"
    "older --version|$older --version"
  )
fi
for _ in $(seq "$runs"); do
  for i in "${!commands[@]}"; do
    # shellcheck disable=SC2086 # the command's words on purpose
    one_run ${commands[$i]#*|} >>"$out/times-$i"
  done
done
declare -A wall cpu
for i in "${!commands[@]}"; do
  name=${commands[$i]%%|*}
  wall[$name]=$(cut -d' ' -f1 "$out/times-$i" | median)
  cpu[$name]=$(cut -d' ' -f2 "$out/times-$i" | median)
  printf '%-38s %9s ms wall %9s ms cpu\n' "$name" "${wall[$name]}" "${cpu[$name]}"
done
ratio() { echo "$1 / $2" | bc -l | cut -c1-4; }
echo "gnuplot / kelvo-render, SVG, wall: $(ratio "${wall[gnuplot, default page as SVG]}" \
  "${wall[kelvo-render, default page as SVG]}"), cpu: $(ratio "${cpu[gnuplot, default page as SVG]}" \
  "${cpu[kelvo-render, default page as SVG]}")"

# COMMAND...: the median wall time of $runs runs, in milliseconds, and
# the median processor time of the same runs.
median_ms() {
  for _ in $(seq "$runs"); do one_run "$@"; done >"$out/times-long"
  echo "$(cut -d' ' -f1 "$out/times-long" | median) $(cut -d' ' -f2 "$out/times-long" | median)"
}
row() { printf '%-38s %9s ms wall %9s ms cpu\n' "$1" ${2% *} ${2#* }; }

# 360 frames: one run, and one run a frame (once: it takes a while).
frames=$(runs=3 median_ms "$render" --frames 360 --turn -o "$out/turn-%03d.png")
cat > "$out/separate.sh" <<SH
for i in \$(seq 0 359); do "$render" --set "theta=\$i" -o "$out/one-\$i.png"; done
SH
separate=$(runs=1 median_ms bash "$out/separate.sh")
row "360 frames as PNG, one run" "$frames"
row "360 frames as PNG, 360 runs" "$separate"
echo "360 runs / one run, wall: $(ratio "${separate% *}" "${frames% *}")"
