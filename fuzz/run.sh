#!/usr/bin/env bash
# fuzz/run.sh <bin dir> <runs>
# Replays every committed corpus through its target (fuzz-<name> uses corpus/<name>/), then fuzzes
# each target for exactly <runs> inputs. New inputs go to a scratch directory, never into the
# committed corpus; an input that crashes a target is kept under <bin dir>/../fuzz-artifacts/.
# Any crash, leak, hang or sanitizer report makes the script fail.
set -euo pipefail
bin_dir=${1:?usage: fuzz/run.sh <bin dir> <runs>}
runs=${2:?usage: fuzz/run.sh <bin dir> <runs>}
corpus_root="$(cd "$(dirname "$0")" && pwd)/corpus"
artifacts="$(cd "$bin_dir/.." && pwd)/fuzz-artifacts"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# -timeout turns a hang into a failure instead of a stalled run.
options=(-timeout=10 -rss_limit_mb=2048 -print_final_stats=1)

shopt -s nullglob
targets=("$bin_dir"/fuzz-*)
[[ ${#targets[@]} -gt 0 ]] || { echo "no fuzz targets in $bin_dir" >&2; exit 1; }

for target in "${targets[@]}"; do
  name=${target##*/fuzz-}
  corpus="$corpus_root/$name"
  [[ -d "$corpus" ]] || { echo "fuzz-$name has no corpus in $corpus" >&2; exit 1; }
  mkdir -p "$artifacts/$name" "$scratch/$name"
  echo "== fuzz-$name: replaying $(ls "$corpus" | wc -l) corpus inputs"
  "$target" "${options[@]}" "$corpus"/*
  echo "== fuzz-$name: $runs runs"
  "$target" "${options[@]}" -artifact_prefix="$artifacts/$name/" -runs="$runs" "$scratch/$name" "$corpus"
done
echo "== every target passed"
