#!/usr/bin/env bash
# How long the background music is silent where the player hands over:
#   - from the end of one item to the start of the next (the music timer
#     polls once a second, so up to about a second), and
#   - from switching "Music" off to silence.
# Both are measured on the sound itself: the sound tests of tests/audio play
# generated tones through the real playback and the music timer, record
# their own PulseAudio null sink's monitor and store the gaps they hear as
# test properties; this script runs them ROUNDS times and sums them up.
#   bench/music_gaps.sh [ROUNDS]          (default 3; BUILD_DIR default build/)
# Starts a private PulseAudio server when none answers `pactl info`.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
rounds=${1:-3}

cmake --build "$build" --target audio_tests >/dev/null

# shellcheck source=scripts/lib/session.sh
. "$here/scripts/lib/session.sh"
session_sound
export QT_QPA_PLATFORM=offscreen

xml=$(mktemp /tmp/tarnwick-music-gaps-XXXXXX.xml)
figures=$(mktemp /tmp/tarnwick-music-gaps-XXXXXX.txt)
session_on_exit 'rm -f "$xml" "$figures"'
tests='MusicSoundTest.AnItemPlayedToItsEndBringsTheNextAndSwitchingOffFallsSilentWithinATick'
for round in $(seq "$rounds"); do
  "$build/bin/audio_tests" --gtest_filter="$tests" --gtest_output="xml:$xml" >/dev/null 2>&1 \
    || echo "round $round: a sound test failed (figures of that round may be missing)" >&2
  sed -n 's/.*<property name="\([a-z_]*[a-z]\)[0-9_]*" value="\(-\{0,1\}[0-9]*\)".*/\1 \2/p' "$xml" >>"$figures"
done

if [ ! -s "$figures" ]; then
  echo "no figures: the sound tests were skipped or failed" >&2
  exit 1
fi
echo "Music gaps heard on the recorded sink monitor, $rounds rounds (ms)"
awk '
  { n[$1]++; sum[$1] += $2; v[$1] = v[$1] " " $2
    if (!($1 in lo) || $2 < lo[$1]) lo[$1] = $2
    if (!($1 in hi) || $2 > hi[$1]) hi[$1] = $2 }
  END {
    label["gap_ms"] = "end of an item -> next item heard"
    label["off_to_silence_ms"] = "\"Music\" off -> silence"
    for (k in n)
      printf "%-36s n=%-3d min=%-5d mean=%-5d max=%-5d  all:%s\n", label[k], n[k], lo[k], sum[k] / n[k], hi[k], v[k]
  }' "$figures" | sort
