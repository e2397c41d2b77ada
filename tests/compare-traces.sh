#!/usr/bin/env bash
# Draws every page of traces/cases.txt with kelvo-render and compares its
# drawing calls, byte for byte, with the trace kept beside the case: the
# calls themselves (NAME.calls) or, for a dense page, their SHA-256
# (NAME.sha256); where NAME.png.sha256 is kept, the page's PNG as well. A case's words before its first option are settings of
# the environment (OMP_NUM_THREADS=1).
# With --alone, a copy of the program is run in a folder with its text
# measuring module alone, without the private programs it hands pages
# to: every page must then be drawn by kelvo-render itself, without Qt,
# and only the calls are compared.
# Usage: compare-traces.sh [--alone] KELVO_RENDER TRACES_DIR
set -u
alone=0
if [ "$1" = --alone ]; then
  alone=1
  shift
fi
render=$1
dir=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if [ "$alone" -eq 1 ]; then
  mkdir "$out/alone"
  cp "$render" "$(dirname "$render")/../libexec/kelvo/kelvo-text-metrics.so" "$out/alone/"
  render=$out/alone/$(basename "$render")
fi
failed=0
count=0
while read -r name args; do
  case "$name" in ''|'#'*) continue ;; esac
  count=$((count + 1))
  settings=()
  # shellcheck disable=SC2206 # the arguments are words on purpose
  words=($args)
  while [ ${#words[@]} -gt 0 ] && [[ ${words[0]} == [A-Z]*=* ]]; do
    settings+=("${words[0]}")
    words=("${words[@]:1}")
  done
  env "${settings[@]}" "$render" "${words[@]}" -o "$out/$name.calls" 2>/dev/null
  if [ -f "$dir/$name.sha256" ]; then
    if [ "$(sha256sum < "$out/$name.calls" | cut -d' ' -f1)" != "$(cat "$dir/$name.sha256")" ]; then
      echo "trace differs: $name (SHA-256)"
      failed=$((failed + 1))
    fi
  elif ! cmp -s "$out/$name.calls" "$dir/$name.calls"; then
    echo "trace differs: $name"
    diff "$dir/$name.calls" "$out/$name.calls" | head -n 6
    failed=$((failed + 1))
  fi
  if [ -f "$dir/$name.png.sha256" ] && [ "$alone" -eq 0 ]; then
    env "${settings[@]}" "$render" "${words[@]}" -o "$out/$name.png" 2>/dev/null
    if [ "$(sha256sum < "$out/$name.png" | cut -d' ' -f1)" != "$(cat "$dir/$name.png.sha256")" ]; then
      echo "PNG differs: $name"
      failed=$((failed + 1))
    fi
  fi
  rm -f "$out/$name.calls" "$out/$name.png"
done < "$dir/cases.txt"
echo "$((count - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
