#!/usr/bin/env bash
# The real program in a real X server, driven from outside as a user drives
# it: one object of each kind by Shift+F1, Shift+F2 and Shift+F3, a save by
# typing a name into the real file dialog, a new project, the saved one
# opened again through the file dialog, and F3. The generated code, taken
# from the code window through the system clipboard (Ctrl+A, Ctrl+C), must
# be the expected text, and the saved file the expected bytes.
#
# usage: smoke_x11.sh PROGRAM EXPECTED_CODE EXPECTED_PROJECT_FILE
# Exits 77 (skipped) when Xvfb, xdotool or xclip is missing or no X server
# starts.
set -uo pipefail
# start_xvfb, wait_window
# shellcheck source=../../tools/xvfbsession.sh
source "$(dirname "$0")/../../tools/xvfbsession.sh"

program=$(readlink -f "$1")
expected_code=$(readlink -f "$2")
expected_project=$(readlink -f "$3")

skip() {
  echo "SKIPPED: $*"
  exit 77
}
fail() {
  echo "FAILED: $*"
  if [ -n "${work:-}" ] && [ -f "$work/program.log" ]; then
    echo "--- the program's output:"
    tail -30 "$work/program.log"
  fi
  if [ -n "${work:-}" ] && [ -f "$work/xvfb.log" ]; then
    echo "--- the X server's output (display ${DISPLAY:-none}):"
    tail -10 "$work/xvfb.log"
  fi
  exit 1
}

for tool in Xvfb xdotool xclip; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (setup.sh installs it)"
done

work=$(mktemp -d)
# The program keeps its preferences (recent projects) under the user's
# configuration folder and its recovery copies under the data folder: here
# folders of the run's own.
export XDG_CONFIG_HOME="$work/config"
export XDG_DATA_HOME="$work/data"
xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb || skip "Xvfb did not start: $(tail -3 "$work/xvfb.log")"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

# Waits (up to $2 seconds) until no visible window's title matches $1.
wait_gone() {
  for _ in $(seq $((${2:-10} * 10))); do
    [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ] && return 0
    sleep 0.1
  done
  return 1
}
# Waits until the window's title matches $2.
wait_title() {
  local title
  for _ in $(seq 300); do
    title=$(xdotool getwindowname "$1" 2>/dev/null)
    [[ $title =~ $2 ]] && return 0
    sleep 0.1
  done
  fail "the main window's title is \"$title\", not /$2/"
}
# Keys go to the window with the input focus; without a window manager
# nothing else gives it.
keys() {
  local window=$1
  shift
  xdotool windowfocus --sync "$window" || fail "cannot focus window $window"
  xdotool key --delay 30 "$@"
}
# Types a file name into the file dialog (window $1, title pattern $2) and
# accepts it. The name field's completer may take the first Return for
# itself.
answer_file_dialog() {
  local dialog=$1 pattern=$2 name=$3
  xdotool windowfocus --sync "$dialog" || fail "cannot focus the file dialog"
  xdotool type --delay 20 "$name"
  for _ in 1 2 3; do
    xdotool key Return
    wait_gone "$pattern" 3 && return 0
  done
  fail "the file dialog did not take the name $name"
}

mkdir "$work/folder"
cd "$work/folder" || fail "no working folder"
"$program" >"$work/program.log" 2>&1 &
program_pid=$!

main=$(wait_window '^FM Vell Creator' 60) || fail "the main window did not appear"
wait_title "$main" '\(Новый проект\)$'

keys "$main" shift+F1 shift+F2 shift+F3
wait_title "$main" '\(Новый проект\)\*$'

keys "$main" ctrl+s
save_title='^(Сохранить как|Save As)$'
save=$(wait_window "$save_title") || fail "Ctrl+S opened no save dialog"
answer_file_dialog "$save" "$save_title" smoke_design
wait_title "$main" '/smoke_design\.vlp\)$'
cmp -s smoke_design.vlp "$expected_project" ||
  fail "the saved file differs from $expected_project: $(od -c smoke_design.vlp | head -5)"

keys "$main" ctrl+n
wait_title "$main" '\(Новый проект\)$'

keys "$main" ctrl+o
open_title='^(Открыть|Open)$'
open=$(wait_window "$open_title") || fail "Ctrl+O opened no open dialog"
answer_file_dialog "$open" "$open_title" smoke_design.vlp
wait_title "$main" '/smoke_design\.vlp\)$'

keys "$main" F3
code=$(wait_window '^Код интерфейса$') || fail "F3 opened no code window"
got=""
for _ in $(seq 20); do
  keys "$code" ctrl+a ctrl+c
  got=$(xclip -o -selection clipboard 2>/dev/null) && [ -n "$got" ] && break
  sleep 0.2
done
[ -n "$got" ] || fail "the clipboard stayed empty after Ctrl+A, Ctrl+C in the code window"
printf '%s\n' "$got" >"$work/code.txt"
if ! diff -u "$expected_code" "$work/code.txt"; then
  fail "the generated code differs from $expected_code"
fi
echo "the saved file and the generated code ($(wc -l <"$work/code.txt") lines) are as expected"
