#!/usr/bin/env bash
# The window benchmark: time from process start to the main window's first paint under wine,
# on the 12-card rig (bench/cli/rig12.ini), against an empty window (tw_floor_window) built
# with the same toolchain, and against the same window holding the main window's controls and
# nothing else (tw_floor_controls: what any program pays for so many controls). Builds the simulated-hardware exe (win-sim, or win64-sim where
# this machine cannot run 32-bit code), runs tw_first_paint under a private Xvfb and prints
# the medians.
# Usage: bash bench/window.sh [RUNS]     (default 15)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
runs="${1:-15}"

if [[ "$(scripts/wine-arch.sh)" == 32 ]]; then preset=win-sim; else preset=win64-sim; fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Tunewright adlsim_full tw_floor_window tw_floor_controls tw_first_paint >/dev/null
bin="build/$preset/bin"

folder="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$folder"
}
trap cleanup EXIT
cp "$bin/Tunewright.exe" "$bin/tw_floor_window.exe" "$bin/tw_floor_controls.exe" "$bin/tw_first_paint.exe" "$bin/simvariants/full/atiadlxx.dll" "$folder/"
cp bench/cli/rig12.ini "$folder/adlsim.ini"
cp bench/cli/Tunewright.ini "$folder/Tunewright.ini"

# A display of its own, as the test suite has; the wine server must start on it.
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null & echo "pid $!")
read -r _ xvfb_pid <&3
read -r display <&3
export DISPLAY=":$display"
scripts/wine.sh --end-server
load="$(cut -d' ' -f1-3 /proc/loadavg)"
# One warm-up pair (the prefix's font cache, the first start of wine's own services).
(cd "$folder" && "$root/scripts/wine.sh" tw_first_paint.exe 1 TwFloorWindow tw_floor_window.exe TForm1 Tunewright.exe >/dev/null)
(cd "$folder" && "$root/scripts/wine.sh" tw_first_paint.exe 1 TwFloorControls tw_floor_controls.exe TForm1 Tunewright.exe >/dev/null)
results="$(cd "$folder" && "$root/scripts/wine.sh" tw_first_paint.exe "$runs" TwFloorWindow tw_floor_window.exe TForm1 Tunewright.exe)"
# The second floor: the same window holding the main window's controls, and nothing else.
results+=$'\n'"$(cd "$folder" && "$root/scripts/wine.sh" tw_first_paint.exe "$runs" TwFloorControls tw_floor_controls.exe TForm1 Tunewright.exe)"
scripts/wine.sh --end-server

median() { sort -n | awk '{v[NR]=$1} END {if (NR%2) print v[(NR+1)/2]; else printf "%.1f\n", (v[NR/2]+v[NR/2+1])/2}'; }
floor_painted=$(echo "$results" | awk '$2=="tw_floor_window.exe" {print $4}' | tr -d '\r' | median)
controls_painted=$(echo "$results" | awk '$2=="tw_floor_controls.exe" {print $4}' | tr -d '\r' | median)
program_visible=$(echo "$results" | awk '$2=="Tunewright.exe" {print $3}' | tr -d '\r' | median)
program_painted=$(echo "$results" | awk '$2=="Tunewright.exe" {print $4}' | tr -d '\r' | median)
echo "preset $preset, $runs runs of each floor, $((2 * runs)) of Tunewright, load average before the runs: $load"
echo "empty window, first paint:        $floor_painted ms"
echo "the same with the main window's controls, first paint: $controls_painted ms"
echo "Tunewright, window shown:         $program_visible ms"
echo "Tunewright, first paint:          $program_painted ms"
echo "ratio (first paint / floor):      $(echo "scale=2; $program_painted / $floor_painted" | bc)"
echo "ratio (first paint / floor with the controls): $(echo "scale=2; $program_painted / $controls_painted" | bc)"
