# shellcheck shell=bash
# The bring-up that the test, screenshot and bench scripts share. Source it
# (after `set -euo pipefail`), then call what the script needs:
#
#   session_on_exit CMD         run CMD (eval'd) when the script exits; the
#                               latest first; Ctrl-C and kill exit too
#   session_xvfb SIZE [FIRST LAST] [XVFB_OPTION...]
#                               a private Xvfb of SIZE (WxHxDEPTH) on the first
#                               free display number in FIRST..LAST; exports
#                               DISPLAY and stops the server at exit
#   session_display SIZE [FIRST LAST]
#                               the same, but only when DISPLAY names no
#                               working X server
#   session_sound               a private PulseAudio server with a null sink
#                               when `pactl info` reaches none; exports
#                               PULSE_SERVER and stops it at exit
#
# A script that sources this file registers its clean-ups here instead of
# setting an EXIT trap of its own, which would replace this one.

_session_cleanups=()

session_on_exit() { _session_cleanups+=("$1"); }

_session_exit() {
  local i
  for ((i = ${#_session_cleanups[@]} - 1; i >= 0; i--)); do
    eval "${_session_cleanups[i]}" || true
  done
}
trap _session_exit EXIT
# Bash runs the EXIT trap on a signal only when the signal makes it exit.
trap 'exit 130' INT
trap 'exit 143' TERM

# Waits up to 5 s for CMD to succeed.
_session_wait() {
  local _
  for _ in $(seq 50); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

session_xvfb() {
  local size=$1 first=${2:-90} last=${3:-120} n disp=""
  shift $(($# < 3 ? $# : 3))
  # Free: neither a socket nor a lock file of a running server.
  for n in $(seq "$first" "$last"); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { disp=":$n"; break; }
  done
  if [ -z "$disp" ]; then
    echo "session: no free X display number in $first..$last" >&2
    return 1
  fi
  Xvfb "$disp" -screen 0 "$size" -nolisten tcp "$@" >/dev/null 2>&1 &
  session_on_exit "kill $! 2>/dev/null"
  export DISPLAY=$disp
  _session_wait xdpyinfo || echo "session: Xvfb on $disp does not answer" >&2
}

session_display() {
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    session_xvfb "$@"
  fi
}

session_sound() {
  pactl info >/dev/null 2>&1 && return 0
  local sock=/tmp/tarnwick-pulse-$$.sock
  # In the foreground of a background job, so that its pid is known.
  pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n --use-pid-file=no \
    --load="module-native-protocol-unix socket=$sock auth-anonymous=1" \
    --load="module-null-sink sink_name=ci_null" >/dev/null 2>&1 &
  session_on_exit "kill $! 2>/dev/null; rm -f '$sock'"
  export PULSE_SERVER="unix:$sock"
  _session_wait pactl info || echo "session: PulseAudio on $sock does not answer" >&2
}
