#!/usr/bin/env bash
# The windowed demo in real X windows on a virtual X server: a window titled NOVU4471 appears,
# shows one of the frames of part one that demo-capture computes for the same run, and q ends
# the demo with status 1 within two seconds, as SIGINT and SIGTERM do with 130 and 143. Without
# any display it says why on standard error and exits 3.
#   window_test.sh DEMO_WINDOWED DEMO_CAPTURE
set -uo pipefail

# What to adjust as the demo grows.
frames_checked=300     # a screenshot must equal one of demo-capture's frames 0 .. frames_checked-1
settle_seconds=1       # the screenshot is taken this long after the window appears
screenshot_attempts=5  # a frame caught in the middle of an update gets further tries
no_display_status=3
quit_within_ms=2000

fail() {
  echo "window test: $*" >&2
  exit 1
}

picture_bytes=$((256 * 256 * 3))
pixel_hash() { tail -c "$picture_bytes" "$1" | sha256sum | cut -d' ' -f1; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# The window's pixels as a PPM. The window may get a DirectColor visual whose colormap is not
# installed, which xwdtopnm would apply; the pixels themselves are what the demo drew, so they
# are taken as they stand: 32-bit, least significant byte first, 0x00RRGGBB masks.
window_picture() {
  local window=$1 out=$2 layout
  xwd -id "$window" -silent >"$out.xwd" || fail "xwd could not read the window"
  # width, height, byte order, bits per pixel, bytes per line, red, green and blue masks
  layout=$(od -An -tu4 --endian=big -N 100 "$out.xwd" | tr -s ' \n' ' ' | cut -d' ' -f6,7,9,13,14,16,17,18)
  [[ $layout == "256 256 0 32 1024 16711680 65280 255" ]] || fail "unexpected window pixel layout: $layout"
  { printf 'P7\nWIDTH 256\nHEIGHT 256\nDEPTH 4\nMAXVAL 255\nENDHDR\n'; tail -c $((256 * 1024)) "$out.xwd"; } |
    pamchannel -tupletype=RGB 2 1 0 2>/dev/null | pamtopnm 2>/dev/null >"$out"
}

shows_a_known_frame() {
  local window=$1 work=$2 attempt hash
  for ((attempt = 1; attempt <= screenshot_attempts; attempt++)); do
    window_picture "$window" "$work/shot.ppm"
    hash=$(pixel_hash "$work/shot.ppm")
    grep -qx "$hash" "$work/known" && return 0
    sleep 0.1
  done
  return 1
}

# Runs inside the virtual X server. On a 24-bit screen the picture is checked too; on a 16-bit
# screen the demo converts every frame to 5-6-5 pixels, and the run and the quit are checked.
in_window() {
  local demo=$1 work=$2 depth=$3 pid window start status
  # The X, D-Bus and media libraries keep allocations until the process ends, which a leak
  # checker would report; the program's own memory is checked by the headless tests. The
  # software renderer keeps the virtual server's OpenGL driver and its threads out of the
  # sanitizer builds; the window is a real X window all the same.
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 SDL_AUDIODRIVER=dummy "$demo" &
  pid=$!
  window=$(timeout 10 xdotool search --sync --name '^NOVU4471$' | head -n 1)
  [[ -n $window ]] || { kill "$pid"; fail "$depth-bit screen: no window titled NOVU4471 appeared"; }
  sleep "$settle_seconds"
  if [[ $depth == 24 ]] && ! shows_a_known_frame "$window" "$work"; then
    kill "$pid"
    fail "the window shows none of demo-capture's frames of part one's stars"
  fi

  start=$(now_ms)
  # Held for a few frames: a key pressed and released within one frame is lost, by design.
  xdotool keydown --window "$window" q
  sleep 0.2
  xdotool keyup --window "$window" q 2>/dev/null
  while kill -0 "$pid" 2>/dev/null && (($(now_ms) - start < quit_within_ms)); do sleep 0.05; done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    fail "$depth-bit screen: still running ${quit_within_ms} ms after q"
  fi
  wait "$pid"
  status=$?
  [[ $status == 1 ]] || fail "$depth-bit screen: exit status $status after q, expected 1"
  [[ $depth == 24 ]] && stops_on_signals "$demo"
}

# Ctrl-C and kill end the demo like q, through its fade-out, with status 128 + the signal.
stops_on_signals() {
  local demo=$1 signal number pid start status
  for signal in INT TERM; do
    number=$(kill -l "$signal")
    # As from a terminal: a shell starts background jobs with SIGINT ignored, which the demo keeps.
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" SDL_RENDER_DRIVER=software \
      SDL_FRAMEBUFFER_ACCELERATION=0 SDL_AUDIODRIVER=dummy env --default-signal=INT,TERM "$demo" &
    pid=$!
    timeout 10 xdotool search --sync --name '^NOVU4471$' >/dev/null || { kill -9 "$pid"; fail "no window for SIG$signal"; }
    start=$(now_ms)
    kill -"$signal" "$pid"
    while kill -0 "$pid" 2>/dev/null && (($(now_ms) - start < quit_within_ms)); do sleep 0.05; done
    if kill -0 "$pid" 2>/dev/null; then
      kill -9 "$pid"
      fail "still running ${quit_within_ms} ms after SIG$signal"
    fi
    wait "$pid"
    status=$?
    [[ $status == $((128 + number)) ]] || fail "exit status $status after SIG$signal, expected $((128 + number))"
  done
}

if [[ ${1:-} == --in-window ]]; then
  in_window "$2" "$3" "$4"
  exit 0
fi

demo=${1:?demo-windowed}
capture=${2:?demo-capture}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$demo" >"$work/out" 2>"$work/err"
status=$?
[[ $status == "$no_display_status" ]] ||
  fail "without a display: exit status $status, expected $no_display_status"
grep -q 'no 256 x 256 video mode could be set.*xvfb-run' "$work/err" ||
  fail "without a display: no clear message on standard error: $(cat "$work/err")"
[[ ! -s "$work/out" ]] || fail "without a display: it wrote to standard output"

# Only frames that show part one's stars count: something lit right of the logo strip's column.
"$capture" --frames "$frames_checked" --ppm "$work/frames" || fail "demo-capture failed"
for frame in "$work"/frames/*.ppm; do
  [[ $(pamcut -left 8 "$frame" | pamsumm -max -brief) != 0 ]] && pixel_hash "$frame"
done | sort -u >"$work/known"
[[ -s "$work/known" ]] || fail "none of demo-capture's first $frames_checked frames shows part one"

for depth in 24 16; do
  xvfb-run -a -s "-screen 0 640x480x$depth" "$0" --in-window "$demo" "$work" "$depth" || exit 1
done
echo "window test: passed"
