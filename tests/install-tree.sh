#!/usr/bin/env bash
# Installs the build, stripped, into a temporary prefix and checks what a
# desktop, a software centre and a reader of manuals find there, with
# the validators Debian uses for them.
# Usage: install-tree.sh BUILD_DIR SOURCE_DIR
set -u
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
export LC_ALL=C.UTF-8 MANWIDTH=80 MANPAGER=cat PAGER=cat QT_QPA_PLATFORM=offscreen

passed=0
failed=0
check() { # NAME COMMAND...: one check, passed when COMMAND succeeds
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    echo "FAILED: $name"
    failed=$((failed + 1))
  fi
}
# COMMAND... succeeds; what it said is shown only when it fails.
quiet() {
  local out
  out=$("$@" 2>&1) || { echo "$out"; return 1; }
}
# COMMAND... succeeds and prints nothing on either stream.
silent() {
  local out
  out=$("$@" 2>&1) || { echo "$out"; return 1; }
  [ -z "$out" ] || { echo "$out"; return 1; }
}
# The manual page renders with no warning from groff.
renders_cleanly() {
  local err
  err=$(man --warnings -l "$1" 2>&1 >/dev/null) || { echo "$err"; return 1; }
  [ -z "$err" ] || { echo "$err"; return 1; }
}
stripped() { [ -x "$1" ] && file -b "$1" | grep -q ', stripped'; }
png_of_size() { file -b "$1" | grep -q "^PNG image data, $2 x $2,"; }
has_key() { grep -qx "$2" "$1"; }
not() { ! "$@"; }

if ! cmake --install "$build" --prefix "$prefix" --strip >/dev/null; then
  echo "FAILED: cmake --install"
  echo "0 passed, 1 failed"
  exit 1
fi
share=$prefix/share

for program in kelvo kelvo-render; do
  check "bin/$program installed and stripped" stripped "$prefix/bin/$program"
done
for program in kelvo-print kelvo-render-qt; do
  check "libexec/kelvo/$program installed and stripped" stripped "$prefix/libexec/kelvo/$program"
done
module=$prefix/libexec/kelvo/kelvo-text-metrics.so
check "libexec/kelvo/kelvo-text-metrics.so installed and stripped" \
  grep -q 'shared object.*, stripped' <<<"$(file -b "$module")"
# kelvo-render loads no Qt at all; only kelvo-print loads Qt PrintSupport,
# Qt Widgets and CUPS.
loads() { ldd "$1" | grep -q "^[[:space:]]*$2"; }
check "kelvo-render does not load Qt" not loads "$prefix/bin/kelvo-render" libQt6
for library in libQt6PrintSupport libQt6Widgets libcups; do
  check "kelvo-render-qt does not load $library" not loads "$prefix/libexec/kelvo/kelvo-render-qt" "$library"
  check "kelvo-print loads $library" loads "$prefix/libexec/kelvo/kelvo-print" "$library"
done
# The installed kelvo-render draws an SVG page itself, with the installed
# text measuring module (alone with it, it has no other program to hand
# the page to), and finds the installed kelvo-render-qt for a PNG page,
# with nothing in its environment.
svg_page() {
  mkdir -p "$prefix/alone" &&
    cp "$prefix/bin/kelvo-render" "$prefix/libexec/kelvo/kelvo-text-metrics.so" "$prefix/alone/" &&
    env -i "$prefix/alone/kelvo-render" -o "$prefix/page.svg" && grep -q '</svg>' "$prefix/page.svg"
}
png_page() {
  env -i "$prefix/bin/kelvo-render" -o "$prefix/page.png" &&
    file -b "$prefix/page.png" | grep -q '^PNG image data, 800 x 600,'
}
check "the installed kelvo-render draws an SVG page" svg_page
check "the installed kelvo-render runs kelvo-render-qt for a PNG page" png_page
# The installed kelvo-render finds the installed kelvo-print: a print
# goes as far as the spooler.
spooler=$(env -i CUPS_SERVER=/nonexistent/cups.sock "$prefix/bin/kelvo-render" --print 2>&1)
check "the installed kelvo-render --print runs kelvo-print" grep -q 'spooler cannot be reached' <<<"$spooler"

desktop=$share/applications/kelvo.desktop
check "desktop entry passes desktop-file-validate" silent desktop-file-validate "$desktop"
check "desktop entry starts the installed kelvo on a file" has_key "$desktop" 'Exec=kelvo %f'
check "desktop entry opens sheet files" has_key "$desktop" 'MimeType=application/x-kelvo;'
check "desktop entry names the theme icon" has_key "$desktop" 'Icon=kelvo'

icons=$share/icons/hicolor
check "scalable icon is the window icon" cmp -s "$icons/scalable/apps/kelvo.svg" "$source/resources/kelvo.svg"
for size in 16 22 24 32 48 64 128 256; do
  check "icon ${size}x$size" png_of_size "$icons/${size}x$size/apps/kelvo.png" "$size"
done

metainfo=$share/metainfo/org.kelvo.kelvo.metainfo.xml
check "metainfo passes appstreamcli validate" quiet appstreamcli validate --no-net "$metainfo"
check "metainfo launches the desktop entry" \
  grep -q '<launchable type="desktop-id">kelvo.desktop</launchable>' "$metainfo"
for program in kelvo kelvo-render; do
  check "metainfo provides $program" grep -q "<binary>$program</binary>" "$metainfo"
done
check "metainfo provides the sheet files' type" \
  grep -q '<mediatype>application/x-kelvo</mediatype>' "$metainfo"

# The sheet files' type, in a MIME database made from the tree alone, as
# a file manager finds it: by the name, or by the first line when the
# name says nothing.
mime=$share/mime
check "the MIME type is well-formed XML" quiet xmllint --noout "$mime/packages/kelvo.xml"
check "update-mime-database takes it without a word" \
  silent env XDG_DATA_DIRS="$share" update-mime-database "$mime"
check "the MIME database holds application/x-kelvo" test -f "$mime/application/x-kelvo.xml"
content_type() {
  GIO_USE_VFS=local XDG_DATA_DIRS="$share:/usr/share" gio info -a standard::content-type "$1" |
    sed -n 's/^ *standard::content-type: //p'
}
is_type() { [ "$(content_type "$1")" = "$2" ] || { echo "$1: $(content_type "$1")"; return 1; }; }
printf 'whatever it holds\n' >"$prefix/any.kelvo"
printf 'kelvo sheets 1\n# a comment\n' >"$prefix/wave"
printf 'kelvo is a program\n' >"$prefix/notes"
check "a .kelvo file is a sheet file" is_type "$prefix/any.kelvo" application/x-kelvo
check "a file whose first line is 'kelvo sheets 1' is a sheet file" \
  is_type "$prefix/wave" application/x-kelvo
check "other text is not" is_type "$prefix/notes" text/plain
# What a double-click on a sheet file starts, with the installed kelvo
# on the PATH and the entry in the tree's application cache.
opens_with() {
  PATH="$prefix/bin:$PATH" GIO_USE_VFS=local XDG_DATA_DIRS="$share:/usr/share" \
    gio mime application/x-kelvo | grep -q '^Default application.*: kelvo\.desktop$'
}
check "update-desktop-database takes the entry" quiet update-desktop-database "$share/applications"
check "sheet files open with kelvo.desktop" opens_with

man1=$share/man/man1
for page in kelvo kelvo-render; do
  check "$page(1) renders without warnings" renders_cleanly "$man1/$page.1.gz"
done
check "kelvo(5) renders without warnings" renders_cleanly "$share/man/man5/kelvo.5.gz"
render_page=$(man -l "$man1/kelvo-render.1.gz" 2>/dev/null)
kelvo_page=$(man -l "$man1/kelvo.1.gz" 2>/dev/null)
# A term of a list stands at the page's indent, alone or before its text.
documents() { grep -qE "^ {7}$2( |,|$)" <<<"$1"; }

# Every option that kelvo-render's usage names has a paragraph of its own.
usage=$("$prefix/bin/kelvo-render" --help)
options=$(grep -oE '(^| |\[)--?[a-z]+' <<<"$usage" | tr -d ' [' | sort -u)
check "kelvo-render's usage names options" test "$(wc -w <<<"$options")" -ge 7
for option in $options; do
  check "kelvo-render(1) documents $option" documents "$render_page" "(-h, )?$option"
done
for format in png svg pdf calls; do
  check "kelvo-render(1) documents .$format" documents "$render_page" "\\.$format"
done
# Every call a page records, on a page with a frame box and axes as well.
"$prefix/bin/kelvo-render" --set fc=16 --set ax=1 -o "$prefix/page.calls"
calls=$( (awk '{print $1}' "$prefix/page.calls"; grep -o '^clip off' "$prefix/page.calls") | sort -u)
check "a page records its calls" test "$(wc -l <<<"$calls")" -ge 6
while read -r call; do
  check "kelvo-render(1) documents the call '$call'" documents "$render_page" "$call"
done <<<"$calls"
for status in 0 1 2; do
  check "kelvo-render(1) documents exit status $status" documents "$render_page" "$status"
done

for option in --help --version; do
  check "kelvo(1) documents $option" documents "$kelvo_page" "$option"
done
for status in 0 1; do
  check "kelvo(1) documents exit status $status" documents "$kelvo_page" "$status"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
