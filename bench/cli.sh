#!/usr/bin/env bash
# The command-line benchmark: builds the host program, the simulator, the floor program and
# the runner (and, where wine and mingw are installed, the simulated-hardware Windows exe),
# measures latency, driver calls and memory, prints the tables and records them with the
# machine they ran on in bench/README.md.
# Usage: bash bench/cli.sh [--host-only] [--runs N] [--delay-runs N] [--folders DIR] [--no-record]
# (--folders: where the rig folders are made; default /dev/shm, else the temporary folder)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

host_only=0 record=1 runs=31 delay_runs=11 folders=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --host-only) host_only=1 ;;
    --no-record) record=0 ;;
    --runs) runs="$2"; shift ;;
    --delay-runs) delay_runs="$2"; shift ;;
    --folders) folders=(--folders "$2"); shift ;;
    *) echo "usage: bash bench/cli.sh [--host-only] [--runs N] [--delay-runs N] [--folders DIR] [--no-record]" >&2; exit 2 ;;
  esac
  shift
done

# The load before the build says how busy the machine was with others.
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"

cmake --preset host >/dev/null
cmake --build --preset host --target tunewright adlsim_full tw_floor tw_floor_library tw_cli_bench >/dev/null

windows_args=()
windows_line=""
if [[ $host_only == 0 ]] && command -v x86_64-w64-mingw32-g++-posix >/dev/null && [[ -x /usr/lib/wine/wine64 ]]; then
  # The 32-bit product where this machine runs 32-bit code, else the 64-bit build of it.
  if [[ "$(scripts/wine-arch.sh)" == 32 ]]; then preset=win-sim; else preset=win64-sim; fi
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target Tunewright adlsim_full tw_floor tw_floor_library >/dev/null
  windows_args=(--windows-bin "build/$preset/bin" --wine "$root/scripts/wine.sh")
  scripts/wine.sh cmd /c exit >/dev/null 2>&1 || true  # the prefix exists before the first timed run
  windows_line="- Windows: preset $preset, $(x86_64-w64-mingw32-g++-posix --version | head -n1), $(/usr/lib/wine/wine64 --version)"
fi

machine="$(mktemp)"
trap 'rm -f "$machine"' EXIT
cpu="$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)"
os="$(. /etc/os-release && echo "$PRETTY_NAME")"
{
  echo "Recorded $(date -u '+%Y-%m-%d %H:%M UTC') by \`bash bench/cli.sh\` (it rewrites this section):"
  echo
  echo "- CPU: ${cpu:-unknown}, $(nproc) cores; load average $load_before before the build, $(cut -d' ' -f1-3 /proc/loadavg) before the runs"
  echo "- OS: $os, Linux $(uname -r)"
  echo "- host: $(g++ --version | head -n1), preset host (RelWithDebInfo, -O2)"
  [[ -n "$windows_line" ]] && echo "$windows_line"
} >"$machine"

record_args=()
[[ $record == 1 ]] && record_args=(--readme "$root/bench/README.md")
build/host/bin/tw_cli_bench --host-bin build/host/bin --bench bench --runs "$runs" --delay-runs "$delay_runs" \
  --machine "$machine" "${folders[@]}" "${windows_args[@]}" "${record_args[@]}"
