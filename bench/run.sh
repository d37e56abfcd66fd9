#!/usr/bin/env bash
# Builds the host preset and prints the profile store's figures, then runs the command-line benchmark.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
cmake --preset host >/dev/null
cmake --build --preset host --target tw_profile_bench >/dev/null
build/host/bin/tw_profile_bench
# The command line's latency, driver calls and memory (arguments go to bench/cli.sh).
bash bench/cli.sh "$@"
