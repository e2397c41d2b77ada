#!/usr/bin/env bash
# Times kelvo-render against gnuplot drawing the same hidden-line surface
# (exp(-(x*x+4*y*y)) over -2..2 x -2..2, 401 x 201 samples, SVG 800x600)
# on this machine, in one run, and prints the ratio.
# Usage: bench/compare-gnuplot.sh [build-dir] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-5}
render="$build/tools/kelvo-render"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
command -v gnuplot >/dev/null || { echo "compare-gnuplot: gnuplot is not installed (tools/install-deps installs it)" >&2; exit 1; }

cat > "$out/surface.gp" <<GP
set terminal svg size 800,600
set output '$out/gnuplot.svg'
set hidden3d
set isosamples 401,201
set samples 401,201
set xrange [-2:2]
set yrange [-2:2]
set zrange [0:1]
set view 75,30
splot exp(-(x*x+4*y*y)) notitle
GP

seconds() { date +%s.%N; }
time_runs() {
  local start end
  start=$(seconds)
  for _ in $(seq "$runs"); do "$@" >/dev/null 2>&1; done
  end=$(seconds)
  echo "($end - $start) / $runs" | bc -l
}

# The same mesh density as gnuplot's 401 x 201 samples: m 400, n 200, k 1.
kelvo=$(time_runs "$render" --set m=400 --set n=200 --set k=1 -o "$out/kelvo.svg")
gnuplot=$(time_runs gnuplot "$out/surface.gp")
printf 'kelvo-render: %.3f s per page\ngnuplot:      %.3f s per page\nratio:        %.1f times faster\n' \
  "$kelvo" "$gnuplot" "$(echo "$gnuplot / $kelvo" | bc -l)"
