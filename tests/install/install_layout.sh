#!/usr/bin/env bash
# The installed layout: `cmake --install` into a fresh prefix puts every file
# where a Debian system looks for it, the desktop entry and the MIME types
# validate, and each manual page renders without a warning.
#   install_layout.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
expect() { [ -e "$prefix/$1" ] || { echo "missing: $1"; fail=1; }; }
for f in bin/tarnwick-player bin/tarnwick-album-maker bin/tarnwick-render-transition \
         share/applications/tarnwick-album-player.desktop \
         share/mime/packages/tarnwick-album-player.xml \
         share/icons/hicolor/scalable/apps/tarnwick-album-player.svg \
         share/tarnwick-album-player/playerprofile.ini \
         share/xscreensaver/config/tarnwick-player.xml \
         share/doc/tarnwick-album-player/copyright share/doc/tarnwick-album-player/changelog.gz; do
  expect "$f"
done
for size in 16 24 32 48 64 128 256; do
  png=share/icons/hicolor/${size}x${size}/apps/tarnwick-album-player.png
  expect "$png"
  [ -e "$prefix/$png" ] && [ "$(identify -format '%wx%h' "$prefix/$png")" = "${size}x${size}" ] \
    || { echo "not ${size}x${size}: $png"; fail=1; }
done
# Nothing but programs in bin/.
extra=$(find "$prefix/bin" -type f ! -name 'tarnwick-*')
[ -z "$extra" ] || { echo "not a program in bin/: $extra"; fail=1; }

desktop-file-validate "$prefix/share/applications/tarnwick-album-player.desktop" || fail=1
grep -q '^Exec=tarnwick-player %f$' "$prefix/share/applications/tarnwick-album-player.desktop" \
  || { echo "the desktop entry does not pass one path"; fail=1; }
grep -q 'text/plain;' "$prefix/share/applications/tarnwick-album-player.desktop" \
  && { echo "the desktop entry claims every text file"; fail=1; }
xmllint --noout "$prefix/share/mime/packages/tarnwick-album-player.xml" "$prefix/share/xscreensaver/config/tarnwick-player.xml" \
  || fail=1

for page in tarnwick-player tarnwick-album-maker tarnwick-render-transition; do
  file=$prefix/share/man/man1/$page.1.gz
  expect "share/man/man1/$page.1.gz"
  [ -e "$file" ] || continue
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$page.1: $warnings"; fail=1; }
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$file" 2>/dev/null | grep -q "^NAME" || { echo "$page.1 renders empty"; fail=1; }
done
exit $fail
