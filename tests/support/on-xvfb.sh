#!/bin/bash
# on-xvfb.sh <width>x<height> <command...>: runs the command on a private X server of that size,
# with no window manager (as a kiosk session has none). The display number is chosen by Xvfb.
set -euo pipefail
size="$1"; shift
fifo_dir="$(mktemp -d)"
trap 'kill "${xvfb_pid:-0}" 2>/dev/null || true; rm -rf "$fifo_dir"' EXIT
mkfifo "$fifo_dir/fd"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$fifo_dir/fd" 2>/dev/null &
xvfb_pid=$!
read -r -t 20 display <"$fifo_dir/fd"
export DISPLAY=":$display"
export CORVANE_SCREEN_SIZE="$size"
"$@"
