#!/usr/bin/env bash
# Runs a Windows program under wine in the project's own prefix. Picks the 32-bit wine
# where this machine can execute 32-bit code, and wine64 otherwise.
# Usage: scripts/wine.sh program.exe [args...]     (TW_WINE_ARCH=32|64 forces one)
#        scripts/wine.sh --end-server               ends the prefix's wine server, if any
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
arch="${TW_WINE_ARCH:-$("$root/scripts/wine-arch.sh")}"
if [[ "$arch" == 32 ]]; then
  loader=/usr/lib/wine/wine
  server=/usr/lib/wine/wineserver32
else
  loader=/usr/lib/wine/wine64
  server=/usr/lib/wine/wineserver64
  export WINELOADER=$loader
fi
if [[ "${1:-}" == --end-server ]]; then
  "$server" -k >/dev/null 2>&1 || true
  "$server" -w >/dev/null 2>&1 || true
  exit 0
fi
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  mkdir -p "$WINEPREFIX"
  "$loader" wineboot -i >/dev/null 2>&1 || true
fi
# The window's font is Tahoma. This wine does not load the Tahoma of its fonts-wine package
# from where the package puts it, so it goes into the prefix; without it a wider font stands
# in and labels run into their fields.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [[ -f /usr/share/wine/fonts/tahoma.ttf && -d "$fonts" && ! -f "$fonts/tahoma.ttf" ]]; then
  cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf "$fonts/" 2>/dev/null || true
fi
exec "$loader" "$@"
