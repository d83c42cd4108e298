#!/usr/bin/env bash
# Speed of the video export from the command line next to FFmpeg, all in one
# run so that the ratios compare figures taken under the same load:
#   - ours: tarnwick-player --export on a 20-photo album (2 categories of 10),
#     the default effect table, 1 s stills, no music, to .avi and .mpg at
#     352x288 and to .mp4 at 1920x1080 (album made at 1920x1080);
#   - xfade: FFmpeg alone making a video of the same frame count from the
#     same pictures (background, covers and photos in the order ours plays
#     them): each a looped still, scaled and padded to the size, chained
#     with xfade fades of 4 s (100 frames) between stills of 1 s;
#   - encoder (still): the same frame count of one picture, decoded once and
#     repeated, so nearly all the time is the encoder's;
#   - encoder (testsrc2): the same frame count of testsrc2, which changes
#     every frame (harder to encode than stills and fades: the encoder's
#     time on it is more than its share of ours);
#   - encoder (our frames), .mp4 only: the first 600 frames of our own video,
#     decoded beforehand to raw YUV (not timed), encoded again: the encoder
#     alone on the very pictures ours writes, the fair floor.
# Every case uses our codec settings (mpeg4 q3 for .avi, -target pal-vcd for
# .mpg, libx264 veryfast crf 21 for .mp4).
#   bench/export.sh            (BUILD_DIR default /work/main/build)
#   bench/export.sh --long     also: wall time and peak memory of a 100-photo
#                              album to .mp4 at 1920x1080 (takes minutes)
set -euo pipefail
build=${BUILD_DIR:-/work/main/build}
long=0
case "${1:-}" in --long) long=1 ;; "") ;; *) echo "usage: $0 [--long]" >&2; exit 2 ;; esac
player=$build/bin/tarnwick-player
maker=$build/bin/tarnwick-album-maker
if [ ! -x "$player" ] || [ ! -x "$maker" ]; then
  cmake --build "$build" --target tarnwick-player album-maker >/dev/null
fi
for tool in ffmpeg ffprobe convert; do
  command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done
# shellcheck source=scripts/lib/session.sh
. "$(dirname "$0")/../scripts/lib/session.sh"
work=$(mktemp -d /tmp/tarnwick-export-XXXXXX)
session_on_exit "rm -rf '$work'"
font=$(fc-match -f '%{file}' 'DejaVu Sans:bold' 2>/dev/null || true)
ff=(ffmpeg -nostdin -hide_banner -loglevel error -y)
secs() { date +%s.%N; }
length_of() { awk -v f="$1" 'BEGIN { print f / 25 }'; } # FRAMES -> seconds of video
since() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { print b - a }'; } # START -> seconds
fps() { awk -v f="$1" -v s="$2" 'BEGIN { printf "%.1f", f / s }'; }
frames_of() { # VIDEO -> number of video packets (one per frame)
  ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets -of csv=p=0 "$1"
}

make_photos() { # DIR COUNT: COUNT detailed photos of 1024x768, two categories
  local dir=$1 n=$2 i c jobs=0
  mkdir -p "$dir/first" "$dir/second"
  for i in $(seq 1 "$n"); do
    c=first; [ "$i" -gt $(( n / 2 )) ] && c=second
    convert -size 1024x768 -seed "$i" plasma:fractal \
      \( -size 1024x768 gradient:"hsl($(( i * 37 % 360 )),80%,40%)"-black \) -compose overlay -composite \
      ${font:+-font "$font"} -pointsize 110 -fill white -stroke black -strokewidth 3 \
      -gravity center -annotate 0 "Photo $i" -quality 90 "$dir/$c/photo$(printf %03d "$i").jpg" &
    if (( ++jobs % $(nproc) == 0 )); then wait; fi
  done
  wait
}

make_album() { # PHOTO_DIR ALBUM_DIR WxH
  "$maker" "$1" "$2" --title "Export bench" --size "$3" >/dev/null
  # The pictures in the order the export shows them: the background's
  # opening still, the front cover, per category its front, photos and
  # back, then the back cover.
  tr -d '\r' <"$2/album.ini" | awk -F'[=|]' -v dir="$2/ResultPicture" '
    BEGIN { print dir "/BackgroundPicture.jpg" }
    /^\[/ { if (back != "") print dir "/" back; back = ""; cat = /^\[Category/ }
    !cat && /^FrontCover=/ { print dir "/" $2 }
    !cat && /^BackCover=/ { last = $2 }
    cat && /^FrontCover=/ { print dir "/" $2 }
    cat && /^BackCover=/ { back = $2 }
    cat && /^Photo[0-9]+=/ { print dir "/" $2 }
    END { if (back != "") print dir "/" back; print dir "/" last }' >"$2/order.txt"
}

codec_args() { # EXT -> our codec settings as FFmpeg output options
  case $1 in
    avi) echo "-c:v mpeg4 -q:v 3 -g 250 -bf 0 -vtag XVID -pix_fmt yuv420p -an" ;;
    mpg) echo "-target pal-vcd" ;;
    mp4) echo "-c:v libx264 -preset veryfast -crf 21 -pix_fmt yuv420p -movflags +faststart -an" ;;
  esac
}
silence() { # EXT FRAMES INDEX: the silent sound input of a VideoCD (ours always has
  # one) and its -map for input number INDEX; nothing for the other formats
  [ "$1" = mpg ] || return 0
  echo "-f lavfi -t $(length_of "$2") -i anullsrc=r=44100:cl=stereo -map $3:a"
}

results=()
record() { # CASE VIDEO SECONDS
  local frames; frames=$(frames_of "$2")
  results+=("$1|$frames|$3")
  printf '%-34s %6s frames %8.2f s\n' "$1" "$frames" "$3" >&2
}

ours() { # ALBUM OUT WxH [/usr/bin/time log] -> records; prints the summary line
  local t0 took timed=() line
  [ -n "${4:-}" ] && timed=(/usr/bin/time -v -o "$4")
  t0=$(secs)
  line=$(TARNWICK_PROGRAM_FOLDER=$1 "${timed[@]}" "$player" --export "$2" --size "$3" --still 1 --no-music "$1" \
    2> >(grep -v 'warning, clipping .* dct coefficients' >&2) | tail -n 1)
  took=$(since "$t0")
  echo "$line" >&2
  local said=${line#*: }; said=${said%% frames*}
  local counted; counted=$(frames_of "$2")
  [ "$said" = "$counted" ] || echo "WARNING: $2: the summary says $said frames, the file has $counted" >&2
  local pictures; pictures=$(wc -l <"$1/order.txt")
  local per=$(( (counted - 25 * pictures) / (pictures - 1) ))
  echo "  $pictures pictures, $(( pictures - 1 )) transitions of $per frames on average" >&2
  record "ours .${2##*.} $3" "$2" "$took"
}

xfade() { # ALBUM OUT WxH FRAMES: FFmpeg's fades between the same stills
  local album=$1 out=$2 size=$3 frames=$4 ext=${2##*.} w=${3%x*} h=${3#*x}
  local -a pics inputs=(); mapfile -t pics <"$album/order.txt"
  local k=${#pics[@]} i dur graph="" prev=v0 t0 took
  local total; total=$(length_of "$frames")
  for i in "${!pics[@]}"; do
    # Stills of 1 s, fades of 4 s: the i-th fade starts at 5i+1 s; the last
    # picture runs to the end (plus a second, cut by -frames:v).
    dur=9; [ "$i" -eq 0 ] && dur=5
    [ "$i" -eq $(( k - 1 )) ] && dur=$(awk -v t="$total" -v o=$(( 5 * (k - 2) + 1 )) 'BEGIN { print t - o + 1 }')
    inputs+=(-loop 1 -framerate 25 -t "$dur" -i "${pics[$i]}")
    graph+="[$i:v]scale=$w:$h:force_original_aspect_ratio=decrease,pad=$w:$h:(ow-iw)/2:(oh-ih)/2,"
    graph+="setsar=1,format=yuv420p,fps=25[v$i];"
  done
  for (( i = 1; i < k; i++ )); do
    graph+="[$prev][v$i]xfade=transition=fade:duration=4:offset=$(( 5 * (i - 1) + 1 ))[x$i];"
    prev=x$i
  done
  graph=${graph%;}
  t0=$(secs)
  # shellcheck disable=SC2046
  "${ff[@]}" "${inputs[@]}" $(silence "$ext" "$frames" "$k") -filter_complex "$graph" -map "[$prev]" \
    -frames:v "$frames" $(codec_args "$ext") "$out"
  took=$(since "$t0")
  record "xfade .$ext $size" "$out" "$took"
}

encoder() { # SOURCE(still|testsrc2) OUT WxH FRAMES [PICTURE]
  local src=$1 out=$2 size=$3 frames=$4 ext=${2##*.} t0 took input filter
  if [ "$src" = still ]; then
    # One picture of the right size, decoded and converted once, repeated.
    convert "$5" -resize "$size!" "$work/still.png"
    input=(-i "$work/still.png")
    filter="format=yuv420p,loop=loop=$(( frames - 1 )):size=1:start=0,setpts=N/25/TB"
  else
    input=(-f lavfi -i "testsrc2=size=$size:rate=25:duration=$(length_of "$frames")")
    filter=format=yuv420p
  fi
  t0=$(secs)
  # shellcheck disable=SC2046
  "${ff[@]}" "${input[@]}" $(silence "$ext" "$frames" 1) -map 0:v -vf "$filter" -r 25 \
    -frames:v "$frames" $(codec_args "$ext") "$out"
  took=$(since "$t0")
  record "encoder ($src) .$ext $size" "$out" "$took"
}

same_frames() { # OURS OUT WxH: the encoder alone on 600 of our own frames
  local t0 took raw=$work/ours.yuv
  "${ff[@]}" -i "$1" -frames:v 600 -f rawvideo -pix_fmt yuv420p "$raw"
  t0=$(secs)
  # shellcheck disable=SC2046
  "${ff[@]}" -f rawvideo -pix_fmt yuv420p -s "$3" -r 25 -i "$raw" $(codec_args "${2##*.}") "$2"
  took=$(since "$t0")
  rm -f "$raw"
  record "encoder (our frames) .${2##*.} $3" "$2" "$took"
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) CPUs" >&2
make_photos "$work/photos" 20
make_album "$work/photos" "$work/album" 800x600
make_album "$work/photos" "$work/album-hd" 1920x1080

for run in "avi 352x288 album" "mpg 352x288 album" "mp4 1920x1080 album-hd"; do
  read -r ext size album <<<"$run"
  ours "$work/$album" "$work/ours.$ext" "$size"
  frames=$(frames_of "$work/ours.$ext")
  xfade "$work/$album" "$work/xfade.$ext" "$size" "$frames"
  still=$(sed -n 5p "$work/$album/order.txt") # the second photo
  encoder still "$work/still.$ext" "$size" "$frames" "$still"
  encoder testsrc2 "$work/testsrc2.$ext" "$size" "$frames"
  [ "$ext" = mp4 ] && same_frames "$work/ours.$ext" "$work/same.$ext" "$size"
  rm -f "$work"/*."$ext" # the 1920x1080 files are large
done

echo
printf '%-34s %7s %9s %9s\n' case frames seconds frames/s
declare -A per_frame
for r in "${results[@]}"; do
  IFS='|' read -r name frames seconds <<<"$r"
  per_frame[$name]=$(awk -v f="$frames" -v s="$seconds" 'BEGIN { print s / f }')
  printf '%-34s %7s %9.2f %9s\n' "$name" "$frames" "$seconds" "$(fps "$frames" "$seconds")"
done
ratio() { awk -v a="${per_frame[$1]}" -v b="${per_frame[$2]}" 'BEGIN { printf "%.2f", b / a }'; }
echo
echo "speed of ours / xfade (target >= 2):"
echo "  .avi 352x288: $(ratio 'ours .avi 352x288' 'xfade .avi 352x288')x"
echo "  .mpg 352x288: $(ratio 'ours .mpg 352x288' 'xfade .mpg 352x288')x"
echo "  .mp4 1920x1080: $(ratio 'ours .mp4 1920x1080' 'xfade .mp4 1920x1080')x"
echo "time of ours / encoder alone at 1920x1080 (target <= 1.25):"
echo "  our frames: $(ratio 'encoder (our frames) .mp4 1920x1080' 'ours .mp4 1920x1080')x" \
     " still: $(ratio 'encoder (still) .mp4 1920x1080' 'ours .mp4 1920x1080')x" \
     " testsrc2: $(ratio 'encoder (testsrc2) .mp4 1920x1080' 'ours .mp4 1920x1080')x"

if [ "$long" = 1 ]; then
  [ -x /usr/bin/time ] || { echo "/usr/bin/time is missing: apt-get install time" >&2; exit 1; }
  echo
  echo "100 photos to .mp4 at 1920x1080, 1 s stills:"
  make_photos "$work/photos100" 100
  make_album "$work/photos100" "$work/album100" 1920x1080
  ours "$work/album100" "$work/long.mp4" 1920x1080 "$work/time.txt"
  IFS='|' read -r _ frames seconds <<<"${results[-1]}"
  rss=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
  printf '  %s frames in %.1f s (%s frames/s), peak memory %.0f MB\n' \
    "$frames" "$seconds" "$(fps "$frames" "$seconds")" "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')"
fi
