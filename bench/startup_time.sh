#!/usr/bin/env bash
# Time from starting the player on an album of N photos to its window being
# mapped, over a few runs. The album's pictures are never decoded before they
# are shown, so the time must not grow with N.
#   bench/startup_time.sh [BUILD_DIR] [N ...]     (needs DISPLAY and xdotool)
set -euo pipefail
build=${1:-build}; shift || true
if [ $# -gt 0 ]; then counts=("$@"); else counts=(10 1000); fi
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT

make_album() { # photos -> album.ini with ten categories
  local n=$1 dir=$work/album$1 per=$(( ($1 + 9) / 10 ))
  mkdir -p "$dir/ResultPicture" "$dir/MainAlbum"
  {
    printf '[Album]\r\nTitle=Startup %s\r\nPictureWidth=800\r\nPictureHeight=600\r\nCategories=10\r\n' "$n"
    for c in $(seq 1 10); do
      printf '[Category%s]\r\nName=Category %s\r\nPhotos=%s\r\n' "$c" "$c" "$per"
      for p in $(seq 1 "$per"); do printf 'Photo%s=p%s_%s.jpg|p%s_%s_t.jpg\r\n' "$p" "$c" "$p" "$c" "$p"; done
    done
  } > "$dir/album.ini"
  echo "$dir/album.ini"
}

for n in "${counts[@]}"; do
  ini=$(make_album "$n")
  for run in 1 2 3 4 5; do
    prog=$(mktemp -d -p "$work")
    t0=$(date +%s%N)
    TARNWICK_PROGRAM_FOLDER=$prog QT_QPA_PLATFORM=xcb "$build/bin/tarnwick-player" "/1*$ini" & pid=$!
    until xdotool search --onlyvisible --name "^Startup $n--" >/dev/null 2>&1; do sleep 0.005; done
    t1=$(date +%s%N)
    kill $pid; wait $pid 2>/dev/null || true
    echo "photos=$n run=$run ms=$(( (t1 - t0) / 1000000 ))"
  done
done
