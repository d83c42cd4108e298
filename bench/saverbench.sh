# What the saver benches share; sourced by saver.sh and saver_cpu.sh, which
# set `pids` (killed at their exit) before sourcing it.

# A private Xvfb of size $1 (WxH) on a free display, named by DISPLAY.
start_xvfb() {
  local n disp=
  for n in $(seq 120 160); do [ -e "/tmp/.X11-unix/X$n" ] || { disp=":$n"; break; }; done
  Xvfb "$disp" -screen 0 "$1x24" -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=$disp
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

share() { # PID SECONDS: CPU share of one core over that long
  local a b; a=$(cpu_ticks "$1"); sleep "$2"; b=$(cpu_ticks "$1")
  awk -v t=$(( b - a )) -v s="$2" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.1f %%", 100 * t / hz / s }'
}

# Starts a 152x112 window to hold a preview (a saver settings dialog's
# preview area) and sets `host` to its id.
start_preview_host() {
  xmessage -geometry 152x112+10+10 -title host " " 2>/dev/null &
  pids+=($!)
  for _ in $(seq 50); do host=$(xdotool search --name '^host$' 2>/dev/null | head -1) && [ -n "$host" ] && break; sleep 0.1; done
}
