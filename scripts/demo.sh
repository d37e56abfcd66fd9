#!/usr/bin/env bash
# Tunewright's main job, end to end, on the host build: print every card's current values
# from the command line. Installs what it lacks and builds the host program first.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh" host
cmake --preset host >/dev/null
cmake --build --preset host >/dev/null

demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp "$root/build/host/bin/tunewright" "$demo/"
# The simulated display driver beside the program: the built-in default rig of four cards.
cp "$root/build/host/bin/atiadlxx.dll" "$root/build/host/bin/adlsim" "$demo/"
cp "$root/samples/Tunewright.ini" "$demo/"
cd "$demo"
set +e
./tunewright -consoleonly -getcurrent "$@"
status=$?
set -e
echo "(exit status $status)"
echo "(the simulated rig: $demo/adlsim show; the driver calls made: $demo/adlsim journal)"
