#!/usr/bin/env bash
# The windowed demo in real X windows on a virtual X server: a window titled NOVU4471 appears,
# shows one of the frames of part one that demo-capture computes for the same run, and q ends
# the demo with status 1 within two seconds, as SIGINT and SIGTERM do with 130 and 143. Without
# any display it says why on standard error and exits 3.
#   window_test.sh DEMO_WINDOWED DEMO_CAPTURE [SECONDS]
# SECONDS (2) is the time allowed from the key or signal to the end: a sanitizer build draws
# several times slower and is given more.
set -uo pipefail

fail() { echo "window test: $*" >&2; exit 1; }
pixel_hash() { tail -c $((256 * 256 * 3)) "$1" | sha256sum | cut -d' ' -f1; }

# The window's pixels as a PPM. The window may get a DirectColor visual whose colormap is not
# installed, which xwdtopnm would apply; the pixels themselves are what the demo drew, so they
# are taken as they stand: 32-bit, least significant byte first, 0x00RRGGBB masks.
window_picture() {
  local layout
  xwd -id "$window" -silent >"$1.xwd" || fail "xwd could not read the window"
  # width, height, byte order, bits per pixel, bytes per line, red, green and blue masks
  layout=$(od -An -tu4 --endian=big -N 100 "$1.xwd" | tr -s ' \n' ' ' | cut -d' ' -f6,7,9,13,14,16,17,18)
  [[ $layout == "256 256 0 32 1024 16711680 65280 255" ]] || fail "unexpected window pixel layout: $layout"
  { printf 'P7\nWIDTH 256\nHEIGHT 256\nDEPTH 4\nMAXVAL 255\nENDHDR\n'; tail -c $((256 * 1024)) "$1.xwd"; } |
    pamchannel -tupletype=RGB 2 1 0 2>/dev/null | pamtopnm 2>/dev/null >"$1"
}

# Starts the demo and waits for its window. The X, D-Bus and media libraries keep allocations until
# the process ends, which a leak checker would report; the program's own memory is checked by the
# headless tests. The software renderer keeps the virtual server's OpenGL driver and its threads out
# of the sanitizer builds; the window is a real X window all the same. The signals' defaults are
# restored as from a terminal: a shell starts background jobs with SIGINT ignored, which the demo keeps.
start_demo() {
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" SDL_RENDER_DRIVER=software \
    SDL_FRAMEBUFFER_ACCELERATION=0 SDL_AUDIODRIVER=dummy env --default-signal=INT,TERM "$demo" &
  pid=$!
  window=$(timeout 10 xdotool search --sync --name '^NOVU4471$' | head -n 1)
  [[ -n $window ]] || { kill -9 "$pid"; fail "$depth-bit screen: no window titled NOVU4471 appeared${1:+ for $1}"; }
}

# ends_after WHAT STATUS: the demo ends within the allowed seconds of WHAT, with STATUS.
ends_after() {
  local status
  timeout "$limit" tail -s 0.05 --pid="$pid" -f /dev/null ||
    { kill -9 "$pid"; fail "$depth-bit screen: still running $limit s after $1"; }
  wait "$pid"
  status=$?
  [[ $status == "$2" ]] || fail "$depth-bit screen: exit status $status after $1, expected $2"
}

# Runs inside the virtual X server. On a 24-bit screen the picture and the signals are checked too; on a
# 16-bit screen the demo converts every frame to 5-6-5 pixels, and the run and the quit are checked.
in_window() {
  local demo=$1 work=$2 depth=$3 limit=$4 pid window attempt signal
  start_demo
  sleep 1  # the screenshot is taken this long after the window appears
  [[ $depth == 24 ]] && for attempt in 1 2 3 4 5; do  # a frame caught mid-update gets further tries
    window_picture "$work/shot.ppm"
    grep -qx "$(pixel_hash "$work/shot.ppm")" "$work/known" && break
    ((attempt < 5)) || { kill "$pid"; fail "the window shows none of demo-capture's frames of part one's stars"; }
    sleep 0.1
  done
  # Held for a few frames: a key pressed and released within one frame is lost, by design.
  xdotool keydown --window "$window" q sleep 0.2 keyup --window "$window" q 2>/dev/null &
  ends_after q 1
  # Ctrl-C and kill end the demo like q, through its fade-out, with status 128 + the signal.
  [[ $depth == 24 ]] || return 0
  for signal in INT TERM; do
    start_demo "SIG$signal"
    kill -"$signal" "$pid"
    ends_after "SIG$signal" $((128 + $(kill -l "$signal")))
  done
}

[[ ${1:-} == --in-window ]] && { in_window "$2" "$3" "$4" "$5"; exit 0; }

demo=${1:?demo-windowed}
capture=${2:?demo-capture}
limit=${3:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$demo" >"$work/out" 2>"$work/err"
status=$?
[[ $status == 3 ]] || fail "without a display: exit status $status, expected 3"
grep -q 'no 256 x 256 video mode could be set.*xvfb-run' "$work/err" ||
  fail "without a display: no clear message on standard error: $(cat "$work/err")"
[[ ! -s "$work/out" ]] || fail "without a display: it wrote to standard output"

# A screenshot must equal one of demo-capture's first 300 frames. Only those that show part one's
# stars count: something lit right of the logo strip's column.
"$capture" --frames 300 --ppm "$work/frames" || fail "demo-capture failed"
for frame in "$work"/frames/*.ppm; do
  [[ $(pamcut -left 8 "$frame" | pamsumm -max -brief) != 0 ]] && pixel_hash "$frame"
done | sort -u >"$work/known"
[[ -s "$work/known" ]] || fail "none of demo-capture's first 300 frames shows part one"

for depth in 24 16; do
  xvfb-run -a -s "-screen 0 640x480x$depth" "$0" --in-window "$demo" "$work" "$depth" "$limit" || exit 1
done
echo "window test: passed"
