#!/usr/bin/env bash
# Makes the README's pictures from the real program: opens
# docs/example/shop.vlp in the designer under an X server of its own (Xvfb),
# selects the buy button (Button_Buy) so that the property grid shows its
# rows, captures the main window, then opens the code window (F3) and
# captures it.
#
# usage: tools/make_screenshots.sh [PROGRAM]
#   PROGRAM  the designer to run (default: build/vellcreator)
# Writes docs/images/main-window.png and docs/images/code-window.png.
set -euo pipefail
# start_xvfb, wait_window
# shellcheck source=xvfbsession.sh
source "$(dirname "$0")/xvfbsession.sh"

program=$(readlink -m "${1:-$(dirname "$0")/../build/vellcreator}")
cd "$(dirname "$0")/.."
project=$PWD/docs/example/shop.vlp
images=$PWD/docs/images

die() {
  echo "make_screenshots: $*" >&2
  if [ -s "${work:-}/program.log" ]; then
    echo "--- the program's output:" >&2
    tail -20 "$work/program.log" >&2
  fi
  exit 1
}

need() {
  command -v "$1" >/dev/null || die "$1 is missing (apt-get install $2)"
}
need Xvfb xvfb
need xdotool xdotool
need import imagemagick
need convert imagemagick
[ -x "$program" ] || die "no program at $program (./setup.sh build builds it)"
[ -f "$project" ] || die "no project at docs/example/shop.vlp"

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
  local pid
  for pid in $program_pid $xvfb_pid; do
    if kill "$pid" 2>/dev/null; then
      wait "$pid" 2>/dev/null || true
    fi
  done
  rm -rf "$work"
}
trap cleanup EXIT

# Preferences and recovery copies go to folders of the run's own, and the
# settings file (read from the working folder) is absent: default settings.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

start_xvfb || die "Xvfb did not start: $(tail -3 "$work/xvfb.log")"

mkdir "$work/folder"
(cd "$work/folder" && exec "$program" "$project") >"$work/program.log" 2>&1 &
program_pid=$!

# Waits until window $1 has been painted: it looks other than $2 (when
# given) and the same twice in a row. Leaves its checksum in $looks.
looks=
settle() {
  local last=""
  for _ in $(seq 100); do
    sleep 0.2
    looks=$(import -window "$1" rgb:- 2>/dev/null | md5sum)
    [ "$looks" = "$last" ] && [ "$looks" != "${2:-}" ] && return 0
    last=$looks
  done
  die "window $1 did not change or kept changing for 20 seconds"
}

# Captures window $1 into $2, a PNG without metadata.
capture() {
  import -window "$1" "$work/shot.png"
  convert "$work/shot.png" -strip "$2"
}

main=$(wait_window '^FM Vell Creator .*/shop\.vlp\)$') ||
  die "the main window with docs/example/shop.vlp did not appear"

# The window's layout is fixed: the design panel (633 x 353, the origin of
# the objects' X and Y at its centre, Y upwards) lies at (240, 64) below the
# menu bar, whose height is what the window has beyond 533 pixels.
eval "$(xdotool getwindowgeometry --shell "$main")"
panel_x=$((240 + 633 / 2))
panel_y=$((HEIGHT - 533 + 64 + 353 / 2))
settle "$main"
# Button_Buy is at X = -75, Y = -75; selected, it fills the grid.
xdotool mousemove --window "$main" $((panel_x - 75)) $((panel_y + 75)) click 1
settle "$main" "$looks"
mkdir -p "$images"
capture "$main" "$images/main-window.png"

xdotool windowfocus --sync "$main"
xdotool key F3
code=$(wait_window '^Код интерфейса$') || die "F3 opened no code window"
# Wider and taller than it opens, so that the lines fit; the focus goes
# back to the main window, which hides the blinking caret.
xdotool windowsize --sync "$code" 600 560
xdotool windowfocus --sync "$main"
settle "$code"
capture "$code" "$images/code-window.png"

echo "made $images/main-window.png and $images/code-window.png"
