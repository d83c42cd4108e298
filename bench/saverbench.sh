# What the saver benches share; sourced by saver.sh and saver_cpu.sh, which
# set `pids` (killed at their exit) before sourcing it and register their
# clean-up with session_on_exit.

# shellcheck source=scripts/lib/session.sh
. "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/session.sh"

# A private Xvfb of size $1 (WxH) on a free display, named by DISPLAY.
start_xvfb() { session_xvfb "$1x24" 120 160; }

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
