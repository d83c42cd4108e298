#!/usr/bin/env bash
# The screen saver's costs on a private Xvfb of 1280x1024, on a packed
# album of 6 photos made by the album maker, with one Blend of 40 frames
# (2 s) and 10 s stills:
#   - start: from the program's start to the first frame of the album on
#     screen (neither the desktop nor the window's black or grey) (full screen "/S", and the 152x112 preview "/P" inside
#     an xmessage window);
#   - CPU: the process's CPU time over 6 s of a still (between the front
#     cover's transition and the next), as a share of one core, full screen;
#     the preview over 20 s of playing (it changes pictures every 10 ms
#     after each transition, so it is never still);
#   - SIGTERM: from the signal to the process's end, in the middle of a
#     transition and in a still.
#   bench/saver.sh     (BUILD_DIR default build/)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
work=$(mktemp -d /tmp/tarnwick-saver-XXXXXX)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }

# shellcheck source=bench/saverbench.sh
. "$here/bench/saverbench.sh"
session_on_exit cleanup
start_xvfb 1280x1024
xsetroot -solid '#336699'

for i in 1 2 3 4 5 6; do
  mkdir -p "$work/photos/c$(( (i - 1) / 3 ))"
  convert -size 800x600 "plasma:fractal" -seed "$i" "$work/photos/c$(( (i - 1) / 3 ))/p$i.jpg"
done
offset=$("$build/bin/tarnwick-album-maker" "$work/photos" "$work/album" --size 800x600 --pack | sed -n 's/^offset=//p')
program=$work/album/packed
printf '[Effect]\nEffectNumber=1\nEffect_1=Blend\nPercent_1=100\nStopTime=10\n[Blend]\nBlendTimes(How many loop times to finish?)=40\n' \
  >"$program/playerprofile.ini"
pieces="*OFFSET=$offset*FILE=$program/album.pak"
export TARNWICK_PROGRAM_FOLDER=$program

now() { date +%s.%N; }
centre() { import -window root -crop "1x1+$1+$2" txt:- 2>/dev/null | tail -1 | grep -o '#[0-9A-F]\{6\}'; }
until_gone() { # PID -> seconds from now until it is gone
  local t0; t0=$(now)
  while kill -0 "$1" 2>/dev/null && [ "$(ps -o stat= -p "$1" | cut -c1)" != Z ]; do sleep 0.01; done
  awk -v a="$t0" -v b="$(now)" 'BEGIN { printf "%.3f s", b - a }'
}
first_picture() { # T0 X Y DESKTOP -> seconds until the point shows a picture of the
  # album: neither the desktop nor the window's own black or grey
  local t0=$1 c; shift
  while c=$(centre "$1" "$2"); [ -z "$c" ] || [ "$c" = "$3" ] || [ "$c" = '#000000' ] || [ "$c" = '#404040' ]; do
    sleep 0.02
  done
  awk -v a="$t0" -v b="$(now)" 'BEGIN { printf "%.2f s", b - a }'
}

echo "full screen (/S) at 1280x1024:"
t0=$(now)
"$build/bin/tarnwick-player" "/S$pieces" 2>/dev/null &
pid=$!; pids+=($pid)
echo "  start to the first picture: $(first_picture "$t0" 640 512 '#336699')"
sleep 3.5 # the front cover's transition is over; its still lasts 10 s
echo "  CPU in a still: $(share $pid 6)"
echo "  SIGTERM in a still to exit: $(kill -TERM $pid; until_gone $pid)"

"$build/bin/tarnwick-player" "/S$pieces" 2>/dev/null &
pid=$!; pids+=($pid)
sleep 1.5 # the front cover's transition is under way
echo "  SIGTERM in a transition to exit: $(kill -TERM $pid; until_gone $pid)"

echo "preview (/P) at 152x112:"
start_preview_host
sleep 0.5 # the host has drawn itself
empty=$(centre 86 66)
t0=$(now)
"$build/bin/tarnwick-player" "/P $host$pieces" 2>/dev/null &
pid=$!; pids+=($pid)
echo "  start to the first picture: $(first_picture "$t0" 86 66 "$empty")"
echo "  CPU while playing: $(share $pid 20)"
echo "  SIGTERM to exit: $(kill -TERM $pid; until_gone $pid)"
kill "${pids[0]}" 2>/dev/null; wait 2>/dev/null || true
