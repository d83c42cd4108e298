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
trap cleanup EXIT

for n in $(seq 120 160); do [ -e "/tmp/.X11-unix/X$n" ] || { disp=":$n"; break; }; done
Xvfb "$disp" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$disp
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

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

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
share() { # PID SECONDS: CPU share of one core over that long
  local a b; a=$(cpu_ticks "$1"); sleep "$2"; b=$(cpu_ticks "$1")
  awk -v t=$(( b - a )) -v s="$2" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.1f %%", 100 * t / hz / s }'
}
run() { # LABEL PROGRAM_FOLDER ARGUMENT
  TARNWICK_PROGRAM_FOLDER=$2 "$build/bin/tarnwick-player" "$3" 2>/dev/null &
  local pid=$!; pids+=($pid)
  sleep 3 # started, the first picture on its way
  printf '%-34s %s\n' "$1" "$(share $pid "$duration")"
  kill -TERM $pid; wait $pid 2>/dev/null || true
}

echo "CPU, share of one core over $duration s (1920x1080, shipped effect table):"
run "full-screen saver (/S)" "$program" "/S$pieces"
xmessage -geometry 152x112+10+10 -title host " " 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do host=$(xdotool search --name '^host$' 2>/dev/null | head -1) && [ -n "$host" ] && break; sleep 0.1; done
run "preview 152x112 (/P)" "$program" "/P $host$pieces"
run "player window (/1)" "$work/window" "/1*$work/album/album.ini"
