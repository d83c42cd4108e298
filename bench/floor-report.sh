#!/bin/sh
# Runs effects_bench and prints each row's median frame time as a multiple
# of the memcpy floor (of 1920x1080 and of its own size, measured in the same
# run), with the target of every effect frame: at most 3 floors.
# Usage: bench/floor-report.sh [path/to/effects_bench] [more benchmark flags]
set -e
bench=${1:-build/bin/effects_bench}
[ $# -gt 0 ] && shift
"$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=csv "$@" 2>/dev/null | awk -F, '
function ms(t, unit) {
  return unit == "ns" ? t / 1e6 : unit == "us" ? t / 1e3 : unit == "s" ? t * 1e3 : t
}
# The target of an effect frame as a multiple of the floor of its own size;
# 0 for the kernels and the floor itself.
function target(label) {
  if (label ~ /^(Blend|Drag|Wipe|Mask|Shutter|Matrix|RndSquare|LineTransform)\//) return 3
  return 0
}
NR > 1 {
  name = $1; gsub(/"/, "", name)
  # family/kind/W/H[/iterations:N]/manual_time[_median]
  split(name, p, "/"); label = p[1] "/" p[2]; size = p[3] "x" p[4]
  key = label " " size
  if ($9 == "true" && !(key in seen)) { seen[key] = 1; order[++n] = key; skipped[key] = 1 }
  if (name !~ /_median$/) next
  if (!(key in seen)) { seen[key] = 1; order[++n] = key }
  median[key] = ms($3, $5)
  if (label == "Floor/memcpy") floor[size] = median[key]
}
END {
  printf "%-22s %-10s %12s %10s %10s  %s\n", "benchmark", "size", "median_ms", "x_floorHD", "x_floor", "target"
  for (i = 1; i <= n; ++i) {
    split(order[i], k, " "); label = k[1]; size = k[2]
    if (skipped[order[i]]) { printf "%-22s %-10s %12s\n", label, size, "skipped"; continue }
    m = median[order[i]]
    t = target(label)
    verdict = t ? sprintf("<= %d: %s", t, m / floor[size] <= t ? "ok" : "MISSED") : ""
    printf "%-22s %-10s %12.3f %10.2f %10.2f  %s\n", label, size, m, m / floor["1920x1080"], m / floor[size], verdict
  }
}'
