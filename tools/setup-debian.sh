#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests and the demo still need; with
# `web`, also what the browser build and its test need, with `pictures`, what the README's
# pictures are made with. Safe to run again: it asks apt only for what is missing.
#   tools/setup-debian.sh [web] [pictures]
set -euo pipefail

packages=(
  cmake make g++ pkg-config        # the build
  clang libclang-rt-14-dev         # libFuzzer targets
  libsdl1.2-compat-dev             # the SDL 1.2 API (on SDL2)
  libgtest-dev libbenchmark-dev    # tests and benchmarks
  xvfb xauth xdotool x11-apps      # the real-window test: a virtual X server, key presses, xwd
  netpbm                           # window screenshots to PPM, reference pictures for the codec
  dpkg-dev file desktop-file-utils # the Debian package: cpack's dependency scan, entry checks
  matchbox-window-manager          # the package test: grants the full-screen window
)
for extra in "$@"; do
  case "$extra" in
    web) packages+=(emscripten chromium chromium-driver) ;;  # the web build, its headless test
    pictures) packages+=(gifsicle) ;;                         # the README's animated loop
    *) echo "setup-debian.sh: unknown extra '$extra' (web, pictures)" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
