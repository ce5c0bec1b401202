#!/usr/bin/env bash
# The README's benchmark table, made from bench-novu's ratio report and a timed demo-capture run.
#   tools/bench-table.sh [--update-readme] [--readme FILE] [--bench PROGRAM] [--capture PROGRAM] [OUTPUT]
# Runs the benchmarks as ./dev bench does, or reads OUTPUT, a saved bench-novu output (its
# standard output and error). Prints the Markdown table; --update-readme also replaces the lines
# between the README's two bench-table markers with it.
set -euo pipefail
cd "$(dirname "$0")/.."

bench=build/bench/bin/bench-novu
capture=build/release/bin/demo-capture
readme=README.md
update=0
saved=
capture_frames=8000
capture_runs=5
begin_marker='<!-- bench-table:begin -->'
end_marker='<!-- bench-table:end -->'

fail() { echo "bench-table: $*" >&2; exit 1; }
usage() { sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; exit "$1"; }

while [[ $# -gt 0 ]]; do
  case "$1" in
    --update-readme) update=1 ;;
    --readme) readme=${2:?--readme needs a file}; shift ;;
    --bench) bench=${2:?--bench needs a program}; shift ;;
    --capture) capture=${2:?--capture needs a program}; shift ;;
    -h | --help) usage 0 ;;
    -*) echo "bench-table: unknown option $1" >&2; usage 2 >&2 ;;
    *) [[ -z "$saved" ]] || fail "only one saved output can be read"; saved=$1 ;;
  esac
  shift
done

# Check the README before spending minutes on measuring.
if [[ $update == 1 ]]; then
  [[ -f "$readme" ]] || fail "$readme does not exist"
  begins=$(grep -cxF -- "$begin_marker" "$readme" || true)
  ends=$(grep -cxF -- "$end_marker" "$readme" || true)
  [[ $begins == 1 && $ends == 1 ]] ||
    fail "$readme needs exactly one line '$begin_marker' and one line '$end_marker' (found $begins and $ends)"
  begin_line=$(grep -nxF -- "$begin_marker" "$readme" | cut -d: -f1)
  end_line=$(grep -nxF -- "$end_marker" "$readme" | cut -d: -f1)
  ((begin_line < end_line)) || fail "in $readme '$begin_marker' must come before '$end_marker'"
fi
[[ -x "$capture" ]] || fail "$capture is missing: build it first (./dev bench-table builds both programs)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [[ -n "$saved" ]]; then
  [[ -r "$saved" ]] || fail "cannot read $saved"
  cp -- "$saved" "$work/bench.txt"
else
  [[ -x "$bench" ]] || fail "$bench is missing: build it first (./dev bench-table builds both programs)"
  echo "bench-table: running $bench (a few minutes) ..." >&2
  # The arguments of ./dev bench: medians of repetitions in shuffled order.
  "$bench" --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true >"$work/bench.txt" 2>&1 ||
    { cat "$work/bench.txt" >&2; fail "$bench failed"; }
fi
grep -q '^CPU time as a multiple of memcpy_floor' "$work/bench.txt" ||
  fail "no ratio report in the benchmark output (did the run finish, with memcpy_floor?)"

# Whole runs, medians of several as the machine may be shared: CPU time like the benchmarks, and
# the wall clock.
echo "bench-table: timing $capture --frames $capture_frames, $capture_runs runs ..." >&2
TIMEFORMAT='%R %U %S'
for ((run = 0; run < capture_runs; ++run)); do
  { time "$capture" --frames "$capture_frames" >/dev/null 2>"$work/capture.err"; } 2>>"$work/times.txt" ||
    { cat "$work/capture.err" >&2; fail "$capture --frames $capture_frames failed"; }
done
# median_fps COLUMN_EXPRESSION: frames per second at the median of the runs' times.
median_fps() {
  awk "{ print $1 }" "$work/times.txt" | sort -n |
    awk -v frames="$capture_frames" '{ t[NR] = $1 }
      END { m = t[int((NR + 1) / 2)]; printf "%.0f\n", (m > 0 ? frames / m : 0) }'
}
fps_cpu=$(median_fps '$2 + $3')
fps_wall=$(median_fps '$1')

awk -v fps_cpu="$fps_cpu" -v fps_wall="$fps_wall" -v frames="$capture_frames" -v runs="$capture_runs" '
  BEGIN {
    # entry, what it measures, goal (kind:limit; kind is the ratio or the absolute figure)
    n = split("memcpy_floor fade_screen blit_glyph spread_canvas part1 part2 part3 part4 part5 part6 part7 " \
              "music_event audio_callback startup present_xrgb32 present_rgb16", order, " ")
    what["memcpy_floor"] = "copy of one 256 × 256 screen (262,144 bytes)"
    what["fade_screen"] = "darkening the screen"
    what["blit_glyph"] = "keyed copy of a 32 × 32 glyph"
    what["spread_canvas"] = "a 288 × 144 canvas drawn 3 × 3"
    for (p = 1; p <= 7; ++p) {
      what["part" p] = "a whole frame of part " p
      goal["part" p] = "ratio:3"
    }
    what["music_event"] = "a music step that mixes a hit"
    what["audio_callback"] = "one 4096-frame audio request"
    what["startup"] = "demo_init through the headless seam"
    what["present_xrgb32"] = "presenting to a 32-bit surface"
    what["present_rgb16"] = "presenting to a 16-bit 5-6-5 surface"
    goal["fade_screen"] = "ratio:1.5"
    goal["audio_callback"] = "absolute:1"
    goal["startup"] = "absolute:20"
    goal_text["ratio"] = "≤ %s × floor"
    goal_text["audio_callback"] = "< %s %% of its 92.9 ms period"
    goal_text["startup"] = "< %s ms"
  }
  /^Run on \(/ { cpus = $3; sub(/\(/, "", cpus); machine = cpus " CPUs at " int($5) " MHz" }
  /^memcpy_floor(_median)? / { floor_time = $4 " " $5; repetitions = $6 }
  /^CPU time as a multiple of memcpy_floor/ {
    in_report = 1; kind = $0; sub(/.*\(/, "", kind); sub(/\).*/, "", kind); next
  }
  in_report && NF >= 2 && $2 ~ /^[0-9.]+$/ {
    ratio[$1] = $2
    if (NF >= 4) { absolute[$1] = $3; unit[$1] = $4 }
    seen[$1] = 1
  }
  function cell(name,    parts, limit, figure, text, ok) {
    if (!(name in goal)) return "| | |"
    split(goal[name], parts, ":"); limit = parts[2]
    if (parts[1] == "ratio") {
      text = sprintf(goal_text["ratio"], limit); figure = ratio[name]
    } else {
      text = sprintf(goal_text[name], limit); figure = absolute[name]
    }
    if (figure == "") return "| " text " | no figure |"
    ok = figure + 0 < limit + 0 || (parts[1] == "ratio" && figure + 0 == limit + 0)
    if (parts[1] == "absolute") figure = " (" figure " " unit[name] ")"; else figure = ""
    return "| " text " | " (ok ? "yes" : "**no**") figure " |"
  }
  function row(name) {
    printf "| `%s` | %s | %s %s\n", name, what[name], ratio[name], cell(name)
    done[name] = 1
  }
  END {
    if (!("memcpy_floor" in seen)) {
      print "bench-table: the ratio report has no memcpy_floor" > "/dev/stderr"
      exit 1
    }
    print "| Entry | What it measures | × memcpy_floor | Goal | Met |"
    print "|---|---|--:|---|---|"
    for (i = 1; i <= n; ++i) if (order[i] in seen) row(order[i])
    for (name in seen) if (!(name in done)) row(name)
    print ""
    basis = kind == "medians" ? ", medians of " repetitions " repetitions" : ""
    printf "CPU time%s; memcpy_floor takes %s%s.\n", basis, floor_time, machine == "" ? "" : " on " machine
    printf "`demo-capture --frames %d` (no outputs): %d frames per second of CPU time, %d by the wall clock " \
      "(medians of %d runs).\n", frames, fps_cpu, fps_wall, runs
  }
' "$work/bench.txt" >"$work/table.md"

cat "$work/table.md"

if [[ $update == 1 ]]; then
  awk -v begin="$begin_marker" -v end="$end_marker" -v table="$work/table.md" '
    $0 == begin { print; while ((getline line < table) > 0) print line; skipping = 1; next }
    $0 == end { skipping = 0 }
    !skipping
  ' "$readme" >"$work/readme"
  cat "$work/readme" >"$readme"  # in place: the file keeps its mode
  echo "bench-table: $readme updated" >&2
fi
