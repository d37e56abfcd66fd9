#!/usr/bin/env bash
# Installs what building and testing Tunewright needs on a Debian 12 machine (run as root).
# Usage: scripts/setup.sh host      -- the native build only
#        scripts/setup.sh all       -- also the Windows toolchain, wine and the fuzzing compiler
set -euo pipefail

want="${1:-all}"
packages=(cmake ninja-build g++ googletest python3)
if [[ "$want" == all ]]; then
  packages+=(mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
             clang libclang-rt-14-dev wine wine64 xvfb valgrind imagemagick)
  # Wine's own Tahoma (a recommendation of wine, which --no-install-recommends leaves out):
  # without it the window's font falls back to a wider one and labels run into their fields.
  packages+=(fonts-wine)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
need_wine32=0
if [[ "$want" == all ]]; then
  dpkg --print-foreign-architectures | grep -qx i386 || need_wine32=1
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" || need_wine32=1
fi

if (( ${#missing[@]} == 0 && need_wine32 == 0 )); then
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
if (( need_wine32 )); then
  dpkg --add-architecture i386
  missing+=(wine32:i386)
fi
echo "Installing: ${missing[*]}"
# A mirror in the middle of a sync can fail one index ("File has unexpected size") while
# everything needed is reachable: retry a few times, then let the install decide.
for attempt in 1 2 3; do
  apt-get update -q && break
  echo "apt-get update failed (attempt $attempt of 3)"
  sleep $((attempt * 5))
done

wine32_wanted=0
rest=()
for p in "${missing[@]}"; do
  if [[ $p == wine32:i386 ]]; then wine32_wanted=1; else rest+=("$p"); fi
done
if (( ${#rest[@]} )); then
  apt-get install -y -q --no-install-recommends "${rest[@]}"
fi
# Without the 32-bit wine the tests run the 64-bit build of the same sources under wine64
# (scripts/wine-arch.sh decides), so a failed wine32 install does not stop the set-up.
if (( wine32_wanted )) && ! apt-get install -y -q --no-install-recommends wine32:i386; then
  echo "wine32 could not be installed: the Windows tests will run the 64-bit build under wine64"
fi
