#!/usr/bin/env bash
# Album maker throughput: photos per second with --jobs 1 and --jobs 2 on
# generated 12-megapixel photos (4000x3000 JPEGs of a few megabytes), and
# the ratio of the two. Both runs must give the same album.
#   bench/albummaker.sh [BUILD_DIR]
# BENCH_PHOTOS sets the number of photos (default 200); the photos are made
# once and kept in BENCH_CACHE (default $TMPDIR/tarnwick-albummaker-bench).
set -euo pipefail
build=${1:-build}
count=${BENCH_PHOTOS:-200}
here=$(cd "$(dirname "$0")" && pwd)
cache=${BENCH_CACHE:-${TMPDIR:-/tmp}/tarnwick-albummaker-bench}
photos=$cache/photos-$count
maker=$build/bin/tarnwick-album-maker
[ -x "$maker" ] || { echo "no $maker: build the album-maker target first" >&2; exit 1; }

mkdir -p "$cache"
generator=$cache/albummaker_photos
if [ ! -x "$generator" ] || [ "$here/albummaker_photos.cpp" -nt "$generator" ]; then
  # shellcheck disable=SC2046
  c++ -std=c++20 -O2 -fPIC "$here/albummaker_photos.cpp" -o "$generator" $(pkg-config --cflags --libs Qt6Gui)
fi
if [ ! -f "$photos/.complete" ]; then
  echo "making $count photos in $photos" >&2
  rm -rf "$photos"
  "$generator" "$photos" "$count"
  touch "$photos/.complete"
fi

work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
declare -A rate
for jobs in 1 2; do
  t0=$(date +%s%N)
  "$maker" "$photos" "$work/album$jobs" --jobs "$jobs" >/dev/null
  t1=$(date +%s%N)
  rate[$jobs]=$(awk -v n="$count" -v ns=$((t1 - t0)) 'BEGIN { printf "%.2f", n / (ns / 1e9) }')
  awk -v j="$jobs" -v n="$count" -v ns=$((t1 - t0)) -v r="${rate[$jobs]}" \
    'BEGIN { printf "jobs=%s photos=%s seconds=%.2f photos_per_second=%s\n", j, n, ns / 1e9, r }'
done
diff -r "$work/album1" "$work/album2" >/dev/null || { echo "the two albums differ" >&2; exit 1; }
awk -v a="${rate[1]}" -v b="${rate[2]}" 'BEGIN { printf "ratio=%.2f (jobs 2 over jobs 1; target at least 1.7 on an idle 2-core machine)\n", b / a }'
