#!/usr/bin/env bash
# Prints 32 when this machine can run the 32-bit wine, 64 otherwise (some virtual machines
# cannot execute 32-bit code at all; the 64-bit build of the same sources is tested there).
if [[ -x /usr/lib/wine/wine ]] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo 32
else
  echo 64
fi
