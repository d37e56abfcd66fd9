#!/usr/bin/env bash
# Builds the host preset and prints the profile store's figures.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
cmake --preset host >/dev/null
cmake --build --preset host --target tw_profile_bench >/dev/null
build/host/bin/tw_profile_bench
