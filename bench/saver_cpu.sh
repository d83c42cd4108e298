#!/usr/bin/env bash
# What the screen saver costs over a long run: the process's CPU time as a
# share of one core, averaged over DURATION seconds (default 60) of playing
# with the shipped effect table and still time, on a private Xvfb of
# 1920x1080 and an album of 8 photos of 1920x1080 made by the album maker:
#   - the full-screen saver ("/S" on the packed album);
#   - the 152x112 preview ("/P" inside an xmessage window);
#   - the player window ("/1" on the same album, unpacked).
#   bench/saver_cpu.sh             (BUILD_DIR default build/, DURATION=60)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
duration=${DURATION:-60}
work=$(mktemp -d /tmp/tarnwick-savercpu-XXXXXX)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }

# shellcheck source=bench/saverbench.sh
. "$here/bench/saverbench.sh"
session_on_exit cleanup
start_xvfb 1920x1080

for i in 1 2 3 4 5 6 7 8; do
  mkdir -p "$work/photos/c$(( (i - 1) / 4 ))"
  convert -size 480x270 "plasma:fractal" -seed "$i" -resize 1920x1080 "$work/photos/c$(( (i - 1) / 4 ))/p$i.jpg"
done
offset=$("$build/bin/tarnwick-album-maker" "$work/photos" "$work/album" --size 1920x1080 --pack | sed -n 's/^offset=//p')
program=$work/album/packed
cp "$here/data/playerprofile.ini" "$program/playerprofile.ini"
mkdir -p "$work/window"
cp "$here/data/playerprofile.ini" "$work/window/playerprofile.ini"
pieces="*OFFSET=$offset*FILE=$program/album.pak"

run() { # LABEL PROGRAM_FOLDER ARGUMENT
  TARNWICK_PROGRAM_FOLDER=$2 "$build/bin/tarnwick-player" "$3" 2>/dev/null &
  local pid=$!; pids+=($pid)
  sleep 3 # started, the first picture on its way
  printf '%-34s %s\n' "$1" "$(share $pid "$duration")"
  kill -TERM $pid; wait $pid 2>/dev/null || true
}

echo "CPU, share of one core over $duration s (1920x1080, shipped effect table):"
run "full-screen saver (/S)" "$program" "/S$pieces"
start_preview_host
run "preview 152x112 (/P)" "$program" "/P $host$pieces"
run "player window (/1)" "$work/window" "/1*$work/album/album.ini"
