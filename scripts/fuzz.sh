#!/usr/bin/env bash
# Runs every libFuzzer target of the "fuzz" preset for a bounded time (seconds, default 30)
# starting from its corpus in tests/fuzz/corpus/<target>/ (and its dictionary
# tests/fuzz/dict/<target>.dict when there is one). New inputs go to a working copy
# under build/fuzz, so the repository's corpus changes only by hand. Non-zero on a finding.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-30}"
status=0
for seeds in "$root"/tests/fuzz/corpus/*/; do
  target=$(basename "$seeds")
  binary="$root/build/fuzz/bin/$target"
  if [[ ! -x $binary ]]; then
    echo "$target: not built (cmake --preset fuzz && cmake --build --preset fuzz)"
    status=1
    continue
  fi
  work="$root/build/fuzz/corpus-work/$target"
  artifacts="$root/build/fuzz/artifacts/$target/"
  mkdir -p "$work" "$artifacts"
  dictionary=()
  if [[ -f $root/tests/fuzz/dict/$target.dict ]]; then dictionary=(-dict="$root/tests/fuzz/dict/$target.dict"); fi
  echo "== fuzz $target for ${seconds}s"
  if ! "$binary" -max_total_time="$seconds" -max_len=65536 "${dictionary[@]}" -artifact_prefix="$artifacts" "$work" "$seeds" \
      >"$root/build/fuzz/$target.log" 2>&1; then
    tail -n 30 "$root/build/fuzz/$target.log"
    status=1
  else
    tail -n 1 "$root/build/fuzz/$target.log"
  fi
done
exit $status
