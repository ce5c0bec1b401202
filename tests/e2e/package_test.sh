#!/usr/bin/env bash
# The Debian package as a user gets it. cpack builds it from the build folder; it must hold the
# three programs with their desktop entries, icons and manual pages and nothing else, depend on
# the SDL 1.2 compatibility layer, and its desktop entries must validate and its icons decode to
# the logo's plates. Then it is installed, each demo is started as a desktop starts it (its
# entry's Exec line) under Xvfb, and must open a 768 x 768 window titled NOVU4471 showing the
# picture three times larger, nearest-neighbour; q must end it with status 1. The package is
# removed again. Installing needs root or sudo without a password: without, that part is skipped.
#   package_test.sh BUILD_DIR LOGO_PPM
set -uo pipefail

fail() { echo "package test: $*" >&2; exit 1; }
skip() { echo "package test: $*: skipped"; exit 77; }

# Runs inside the virtual X server: the installed entry's Exec line, words split as a desktop does
# (no quoting in ours), field codes dropped, with the packaged programs first on the path. The test's
# variables keep the virtual server's OpenGL driver and a sound device out, as in window_test.sh.
in_x() {
  local entry=/usr/share/applications/$1 work=$2 word command=() pid window geometry status
  give_up() { kill "$pid"; fail "${entry##*/}: $*"; }
  [[ $3 == yes ]] && { matchbox-window-manager -use_titlebar no 2>/dev/null & }
  for word in $(sed -n 's/^Exec=//p' "$entry"); do [[ $word == %? ]] || command+=("$word"); done
  PATH=/usr/bin:/bin SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 SDL_AUDIODRIVER=dummy \
    "${command[@]}" &
  pid=$!
  window=$(timeout 10 xdotool search --sync --name '^NOVU4471$' | head -n 1)
  [[ -n $window ]] || give_up "no window titled NOVU4471 appeared"
  sleep 1  # settled
  geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')
  [[ $geometry == 768x768 ]] || give_up "a $geometry window, expected 768x768"
  # Three times larger, nearest-neighbour: 3 x 3 blocks of one colour; the logo strip fills the
  # bottom-left corner, so the picture fills the window.
  xwd -id "$window" -silent | xwdtopnm >"$work/shot.ppm" 2>/dev/null || give_up "no screenshot"
  pamscale -nomix -reduce 3 "$work/shot.ppm" 2>/dev/null | pnmenlarge 3 | cmp -s "$work/shot.ppm" - ||
    give_up "the picture is not in 3 x 3 blocks"
  [[ $(pamcut -left 0 -top 576 -width 24 -height 192 "$work/shot.ppm" | pamsumm -max -brief) != 0 ]] ||
    give_up "no logo strip in the window's bottom-left corner"
  # Held: a press released within one frame is lost. The demo must end within two seconds of it.
  xdotool keydown --window "$window" q sleep 0.2 keyup --window "$window" q 2>/dev/null &
  timeout 2 tail -s 0.05 --pid="$pid" -f /dev/null || give_up "still running 2000 ms after q"
  wait "$pid"
  status=$?
  [[ $status == 1 ]] || fail "${entry##*/}: exit status $status after q, expected 1"
}

[[ ${1:-} == --in-x ]] && { in_x "$2" "$3" "$4"; exit 0; }

build=${1:?build folder}
logo=${2:?assets/logo.ppm}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$work/cpack.log")"
deb=$(echo "$work"/cpack/novu4471_*.deb)
[[ -f $deb ]] || fail "cpack made no novu4471_*.deb"

expected=$(printf '%s\n' usr/bin/demo-{capture,fullscreen,windowed} usr/share/man/man1/demo-capture.1 \
  usr/share/man/man6/demo-{fullscreen,windowed}.6 usr/share/applications/novu4471-{fullscreen,windowed}.desktop \
  usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/novu4471.png | sort)
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort)
[[ $files == "$expected" ]] ||
  fail "the package holds other files than expected:"$'\n'"$(diff <(echo "$expected") <(echo "$files"))"
[[ $(dpkg-deb -f "$deb" Package) == novu4471 ]] || fail "the package is not named novu4471"
depends=$(dpkg-deb -f "$deb" Depends)
[[ ", $depends," =~ ,\ libsdl1\.2-compat-shim[\ ,] ]] ||
  fail "Depends does not name libsdl1.2-compat-shim (the SDL 1.2 compatibility layer): $depends"

dpkg-deb -x "$deb" "$work/root"
for entry in "$work"/root/usr/share/applications/*.desktop; do
  said=$(desktop-file-validate "$entry" 2>&1) && [[ -z $said ]] || fail "desktop-file-validate ${entry##*/}: $said"
done
# Each icon is the plates N O over V U, 32 x 32, scaled: exactly so where the factor is whole.
{ pnmcat -tb <(pamcut -left 0 -width 32 "$logo") <(pamcut -left 32 -width 32 "$logo") >"$work/square.ppm"; } \
  2>/dev/null || fail "cannot read $logo"
for size in 16 32 48 64 128 256; do
  icon=$work/root/usr/share/icons/hicolor/${size}x$size/apps/novu4471.png
  pngtopnm "$icon" >"$work/icon.ppm" 2>"$work/png.log" && [[ ! -s $work/png.log ]] ||
    fail "${size}x$size icon does not decode cleanly: $(cat "$work/png.log")"
  [[ $(pamfile "$work/icon.ppm") == *"PPM raw, $size by $size "* ]] ||
    fail "${size}x$size icon: $(pamfile "$work/icon.ppm")"
  ((size % 32)) || pamscale -nomix $((size / 32)) "$work/square.ppm" | cmp -s - "$work/icon.ppm" ||
    fail "${size}x$size icon is not the logo's plates scaled $((size / 32)) times"
done

sudo=()
if [[ $(id -u) != 0 ]]; then
  sudo -n true 2>/dev/null || skip "installing needs root or sudo without a password"
  sudo=(sudo -n)
fi
dpkg-query -W -f='${Status}' novu4471 2>/dev/null | grep -q ' installed$' &&
  skip "novu4471 is already installed on this machine and is left alone"
trap '"${sudo[@]}" apt-get purge -y -qq -o DPkg::Lock::Timeout=120 novu4471 >/dev/null 2>&1; rm -rf "$work"' EXIT
"${sudo[@]}" apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=120 "$deb" \
  >"$work/install.log" 2>&1 || fail "the package does not install: $(cat "$work/install.log")"

# Displays from :140 up, apart from window_test.sh's. Without a window manager the window's size is
# the scaling's alone. A full-screen window is the window manager's to grant, as on any desktop:
# here on a screen as large as the scaled picture.
xvfb-run -a -n 140 -s "-screen 0 1024x768x24" "$0" --in-x novu4471-windowed.desktop "$work" no || exit 1
xvfb-run -a -n 140 -s "-screen 0 768x768x24" "$0" --in-x novu4471-fullscreen.desktop "$work" yes || exit 1
echo "package test: passed"
