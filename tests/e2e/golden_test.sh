#!/usr/bin/env bash
# The whole program against its recorded runs (tests/golden/runs.txt): every frame's hash and the
# sound of each scripted demo-capture run must be exactly as recorded.
#   golden_test.sh DEMO_CAPTURE            check
#   golden_test.sh DEMO_CAPTURE --record   record anew: only on purpose, after looking at the
#                                          pictures, with the reason in the commit message
set -euo pipefail
capture=${1:?demo-capture}
golden=$(cd "$(dirname "$0")/../golden" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=0
while read -r name arguments; do
  [[ -z $name || $name == \#* ]] && continue
  # shellcheck disable=SC2086  # the arguments are words
  "$capture" $arguments --hashes "$work/$name.hashes" --wav "$work/$name.wav"
  sha256sum <"$work/$name.wav" | cut -d' ' -f1 >"$work/$name.wav.sha256"
  if [[ ${2:-} == --record ]]; then
    cp "$work/$name.hashes" "$work/$name.wav.sha256" "$golden/"
    echo "recorded $name"
    continue
  fi
  if ! cmp -s "$work/$name.hashes" "$golden/$name.hashes"; then
    first=$(diff "$golden/$name.hashes" "$work/$name.hashes" | grep -m1 '^[<>]' || true)
    echo "golden run $name: the frames differ from the recording, first at: ${first:-(length)}" >&2
    failed=1
  fi
  cmp -s "$work/$name.wav.sha256" "$golden/$name.wav.sha256" ||
    { echo "golden run $name: the sound differs from the recording" >&2; failed=1; }
done <"$golden/runs.txt"
exit "$failed"
