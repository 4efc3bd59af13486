# shellcheck shell=bash disable=SC2154
# An X server of the script's own, for scripts that drive the real program
# (the smoke test, the manual's pictures). Sourced; uses $work (a folder of
# the run's own) and $program_pid, and sets $xvfb_pid and DISPLAY.

# Starts Xvfb on a free display: Xvfb picks the number and writes it to
# fd 3. Another X server on this machine going away at the same moment can
# take the new server's socket with it, so the display is tried before use
# and a fresh server started if it cannot be reached. Returns 1 when three
# tries fail ($work/xvfb.log says why).
start_xvfb() {
  local attempt
  for attempt in 1 2 3; do
    : >"$work/display"
    # -noreset: without it the server resets when its last client leaves
    # (the probe below), and a program connecting during the reset fails.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" \
      >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      [ -s "$work/display" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if [ -s "$work/display" ]; then
      DISPLAY=":$(head -1 "$work/display")"
      export DISPLAY
      xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    fi
    kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
    [ "$attempt" = 3 ] || sleep 1
  done
  return 1
}

# Waits (up to $2 seconds, 30 unless given) for a visible window whose title
# matches the regular expression $1 and prints its id; gives up at once when
# the program has ended.
wait_window() {
  local pattern=$1 seconds=${2:-30} id
  for _ in $(seq $((seconds * 10))); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    kill -0 "$program_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
