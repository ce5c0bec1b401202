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

skip_status=77
settle_seconds=1
quit_within_ms=2000
icon_sizes=(16 32 48 64 128 256)

fail() {
  echo "package test: $*" >&2
  exit 1
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Runs inside the virtual X server: the entry's Exec line, words split as a desktop does (no
# quoting in ours), field codes dropped, with the packaged programs first on the path. The
# test's variables keep the virtual server's OpenGL driver and a sound device out, as in
# window_test.sh.
in_x() {
  local entry=$1 work=$2 wm=$3 word command=() pid window geometry start status
  give_up() {
    kill "$pid"
    fail "${entry##*/}: $*"
  }
  [[ $wm == yes ]] && { matchbox-window-manager -use_titlebar no 2>/dev/null & }
  for word in $(sed -n 's/^Exec=//p' "$entry"); do [[ $word == %? ]] || command+=("$word"); done
  PATH=/usr/bin:/bin SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 SDL_AUDIODRIVER=dummy \
    "${command[@]}" &
  pid=$!
  window=$(timeout 10 xdotool search --sync --name '^NOVU4471$' | head -n 1)
  [[ -n $window ]] || give_up "no window titled NOVU4471 appeared"
  sleep "$settle_seconds"
  geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')
  [[ $geometry == 768x768 ]] || give_up "a $geometry window, expected 768x768"
  # Three times larger, nearest-neighbour: 3 x 3 blocks of one colour; the logo strip fills the
  # bottom-left corner, so the picture fills the window.
  xwd -id "$window" -silent | xwdtopnm >"$work/shot.ppm" 2>/dev/null || give_up "no screenshot"
  pamscale -nomix -reduce 3 "$work/shot.ppm" 2>/dev/null | pnmenlarge 3 >"$work/blocks.ppm"
  cmp -s "$work/shot.ppm" "$work/blocks.ppm" || give_up "the picture is not in 3 x 3 blocks"
  [[ $(pamcut -left 0 -top 576 -width 24 -height 192 "$work/shot.ppm" | pamsumm -max -brief) != 0 ]] ||
    give_up "no logo strip in the window's bottom-left corner"

  start=$(now_ms)
  xdotool keydown --window "$window" q  # held: a press released within one frame is lost
  sleep 0.2
  xdotool keyup --window "$window" q 2>/dev/null
  while kill -0 "$pid" 2>/dev/null && (($(now_ms) - start < quit_within_ms)); do sleep 0.05; done
  kill -0 "$pid" 2>/dev/null && give_up "still running ${quit_within_ms} ms after q"
  wait "$pid"
  status=$?
  [[ $status == 1 ]] || fail "${entry##*/}: exit status $status after q, expected 1"
}

if [[ ${1:-} == --in-x ]]; then
  in_x "$2" "$3" "$4"
  exit 0
fi

build=${1:?build folder}
logo=${2:?assets/logo.ppm}
work=$(mktemp -d)
sudo=()
installed=no
cleanup() {
  [[ $installed == yes ]] &&
    "${sudo[@]}" apt-get purge -y -qq -o DPkg::Lock::Timeout=120 novu4471 >"$work/purge.log" 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$work/cpack.log")"
deb=$(echo "$work"/cpack/novu4471_*.deb)
[[ -f $deb ]] || fail "cpack made no novu4471_*.deb"

wanted=(usr/bin/demo-capture usr/bin/demo-fullscreen usr/bin/demo-windowed
  usr/share/applications/novu4471-fullscreen.desktop usr/share/applications/novu4471-windowed.desktop
  usr/share/man/man1/demo-capture.1 usr/share/man/man6/demo-fullscreen.6
  usr/share/man/man6/demo-windowed.6)
for size in "${icon_sizes[@]}"; do wanted+=("usr/share/icons/hicolor/${size}x$size/apps/novu4471.png"); done
expected=$(printf '%s\n' "${wanted[@]}" | sort)
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort)
[[ $files == "$expected" ]] ||
  fail "the package holds other files than expected:"$'\n'"$(diff <(echo "$expected") <(echo "$files"))"
[[ $(dpkg-deb -f "$deb" Package) == novu4471 ]] || fail "the package is not named novu4471"
depends=$(dpkg-deb -f "$deb" Depends)
[[ ", $depends," =~ ,\ libsdl1\.2-compat-shim[\ ,] ]] ||
  fail "Depends does not name libsdl1.2-compat-shim (the SDL 1.2 compatibility layer): $depends"

dpkg-deb -x "$deb" "$work/root"
for entry in "$work"/root/usr/share/applications/*.desktop; do
  report=$(desktop-file-validate "$entry" 2>&1) && [[ -z $report ]] ||
    fail "desktop-file-validate ${entry##*/}: $report"
done
# Each icon is the plates N O over V U, 32 x 32, scaled: exactly so where the factor is whole.
{ pamcut -left 0 -width 32 "$logo" >"$work/no.ppm" && pamcut -left 32 -width 32 "$logo" >"$work/vu.ppm" &&
  pnmcat -tb "$work/no.ppm" "$work/vu.ppm" >"$work/square.ppm"; } 2>/dev/null || fail "cannot read $logo"
for size in "${icon_sizes[@]}"; do
  icon=$work/root/usr/share/icons/hicolor/${size}x$size/apps/novu4471.png
  pngtopnm "$icon" >"$work/icon.ppm" 2>"$work/png.log" && [[ ! -s $work/png.log ]] ||
    fail "${size}x$size icon does not decode cleanly: $(cat "$work/png.log")"
  [[ $(pamfile "$work/icon.ppm") == *"PPM raw, $size by $size "* ]] ||
    fail "${size}x$size icon: $(pamfile "$work/icon.ppm")"
  if ((size % 32 == 0)); then
    pamscale -nomix "$((size / 32))" "$work/square.ppm" | cmp -s - "$work/icon.ppm" ||
      fail "${size}x$size icon is not the logo's plates scaled $((size / 32)) times"
  fi
done

if [[ $(id -u) != 0 ]]; then
  if ! sudo -n true 2>/dev/null; then
    echo "package test: installing needs root or sudo without a password: skipped"
    exit "$skip_status"
  fi
  sudo=(sudo -n)
fi
if dpkg-query -W -f='${Status}' novu4471 2>/dev/null | grep -q ' installed$'; then
  echo "package test: novu4471 is already installed on this machine and is left alone: skipped"
  exit "$skip_status"
fi
installed=yes
"${sudo[@]}" apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=120 "$deb" \
  >"$work/install.log" 2>&1 || fail "the package does not install: $(cat "$work/install.log")"

# run_entry ENTRY SCREEN WINDOW_MANAGER. Displays from :140 up, apart from window_test.sh's.
run_entry() {
  xvfb-run -a -n 140 -s "-screen 0 ${2}x24" "$0" --in-x "/usr/share/applications/$1" "$work" "$3" || exit 1
}
# Without a window manager the window's size is the scaling's alone. A full-screen window is the
# window manager's to grant, as on any desktop: here on a screen as large as the scaled picture.
run_entry novu4471-windowed.desktop 1024x768 no
run_entry novu4471-fullscreen.desktop 768x768 yes
echo "package test: passed"
