#!/usr/bin/env bash
# The two programs' command lines as a user meets them: --version and
# --help, and kelvo started with and without a display.
# Usage: command-line.sh KELVO KELVO_RENDER VERSION
set -u
kelvo=$1
render=$2
version=$3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

passed=0
failed=0
# NAME EXPECTED_STATUS COMMAND...: runs COMMAND with no display and its
# output in $out/stdout and $out/stderr, and checks its exit status.
run() {
  local name=$1 expected=$2
  shift 2
  env -u DISPLAY -u WAYLAND_DISPLAY "$@" >"$out/stdout" 2>"$out/stderr" </dev/null
  local status=$?
  if [ "$status" -ne "$expected" ]; then
    fail "$name: exit status $status, not $expected" "$out/stderr"
    return 1
  fi
}
fail() {
  echo "FAILED: $1"
  [ -n "${2:-}" ] && head -n 5 "$2"
  failed=$((failed + 1))
}
# NAME FILE EXPECTED: FILE holds exactly the text EXPECTED.
holds() {
  if [ "$(cat "$2")" == "$3" ]; then
    passed=$((passed + 1))
  else
    fail "$1: \"$(head -c 200 "$2")\", not \"$3\""
  fi
}
# NAME FILE PATTERN: a line of FILE matches the extended regex PATTERN.
says() {
  if grep -qE "$3" "$2"; then
    passed=$((passed + 1))
  else
    fail "$1: no line matches /$3/" "$2"
  fi
}

# --version: one line, the name and the project's version; kelvo
# ignores whatever else it is given.
while read -r program args; do
  [ -n "$program" ] || continue
  binary=$kelvo
  [ "$program" = kelvo-render ] && binary=$render
  # shellcheck disable=SC2086 # the arguments are words on purpose
  if run "$program $args" 0 "$binary" $args; then
    holds "$program $args prints" "$out/stdout" "$program $version"
    holds "$program $args is quiet on stderr" "$out/stderr" ""
  fi
done <<'EOF'
kelvo        --version
kelvo        --geometry 10x10 --version
kelvo-render --version
EOF

# --help: what kelvo is, that it opens a sheet file, its manual.
if run "kelvo --help" 0 "$kelvo" --help; then
  lines=$(wc -l <"$out/stdout")
  if [ "$lines" -ge 3 ] && [ "$lines" -le 6 ]; then passed=$((passed + 1)); else
    fail "kelvo --help: $lines lines, not 3 to 6" "$out/stdout"
  fi
  says "kelvo --help says what it draws" "$out/stdout" 'z = f\(x,y\)'
  says "kelvo --help says it opens a sheet file" "$out/stdout" 'FILE\.kelvo'
  says "kelvo --help names the sheet file's manual" "$out/stdout" 'man 5 kelvo\b'
  says "kelvo --help names the manual" "$out/stdout" 'man kelvo\b'
fi

# Without a display kelvo says so in one line and stops with status 1,
# unless its Qt platform needs no display; then it starts, and runs
# until the timeout ends it (124).
while read -r expected platform args; do
  [ -n "$expected" ] || continue
  [ "$platform" = - ] && platform=
  name="kelvo $args with QT_QPA_PLATFORM='$platform' and no display"
  # shellcheck disable=SC2086 # the arguments are words on purpose
  run "$name" "$expected" env QT_QPA_PLATFORM="$platform" timeout 2 "$kelvo" $args || continue
  passed=$((passed + 1))
  if [ "$expected" -eq 1 ]; then
    holds "$name: stdout" "$out/stdout" ""
    says "$name: the message" "$out/stderr" '^kelvo: no display\b.*kelvo-render'
    holds "$name: one line" <(wc -l <"$out/stderr") 1
  fi
done <<'EOF'
1   -
1   xcb
1   wayland;xcb
1   wayland-egl
1   -                 --no-such-option
124 offscreen
124 minimal
124 xcb;offscreen
124 -                 -platform offscreen
EOF

# A sheet file given at start: read, or told in a box; either way the
# program runs on (until the timeout).
"$render" --set n=8 --save "$out/start.kelvo" >/dev/null 2>&1
printf 'kelvo sheets 1\n[fdata]\nzz = 1\n' >"$out/bad.kelvo"
for file in start.kelvo bad.kelvo absent.kelvo; do
  name="kelvo $file on the offscreen platform"
  run "$name" 124 env QT_QPA_PLATFORM=offscreen timeout 2 "$kelvo" "$out/$file" &&
    passed=$((passed + 1))
done

# A display that is named but does not answer: the same one line, status 1.
name="kelvo with an unreachable DISPLAY"
if run "$name" 1 env DISPLAY=:7391 QT_QPA_PLATFORM=xcb timeout 5 "$kelvo"; then
  passed=$((passed + 1))
  holds "$name: stdout" "$out/stdout" ""
  says "$name: the message" "$out/stderr" '^kelvo: no display\b.*":7391".*kelvo-render'
  holds "$name: one line" <(wc -l <"$out/stderr") 1
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
