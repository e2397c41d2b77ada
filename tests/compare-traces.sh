#!/usr/bin/env bash
# Draws every page of traces/cases.txt with kelvo-render and compares its
# drawing calls, byte for byte, with the trace kept beside the case.
# Usage: compare-traces.sh KELVO_RENDER TRACES_DIR
set -u
render=$1
dir=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failed=0
count=0
while read -r name args; do
  case "$name" in ''|'#'*) continue ;; esac
  count=$((count + 1))
  # shellcheck disable=SC2086 # the arguments are words on purpose
  "$render" $args -o "$out/$name.calls" 2>/dev/null
  if ! cmp -s "$out/$name.calls" "$dir/$name.calls"; then
    echo "trace differs: $name"
    diff "$dir/$name.calls" "$out/$name.calls" | head -n 6
    failed=$((failed + 1))
  fi
done < "$dir/cases.txt"
echo "$((count - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
