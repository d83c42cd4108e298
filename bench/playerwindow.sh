#!/usr/bin/env bash
# Runs playerwindow_bench's measurements under a private Xvfb (1920x1080,
# no window manager, so windows sit at (0,0)) and prints their figures.
#   bench/playerwindow.sh [BUILD_DIR] [ALBUM_FOLDER] [PART ...]
# PART is any of album startup memory strip transition (default: all).
# The bench album (1000 photos of 1600x1200, about 370 MB) is written into
# ALBUM_FOLDER when it is not there yet; without one a temporary folder is
# used and removed at the end.
set -euo pipefail
build=${1:-build}; shift || true
album=${1:-}; shift || true
if [ $# -gt 0 ]; then parts=("$@"); else parts=(startup memory strip transition); fi
bench=$build/bin/playerwindow_bench

# shellcheck source=scripts/lib/session.sh
. "$(dirname "$0")/../scripts/lib/session.sh"
if [ -z "$album" ]; then
  album=$(mktemp -d); session_on_exit "rm -rf '$album'"
fi

session_xvfb 1920x1080x24 60 89 -br
export QT_QPA_PLATFORM=xcb
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d); export XDG_RUNTIME_DIR; session_on_exit "rm -rf '$XDG_RUNTIME_DIR'"
fi

for part in "${parts[@]}"; do
  if [ "$part" = transition ]; then
    "$bench" transition
  else
    "$bench" "$part" "$album"
  fi
done
