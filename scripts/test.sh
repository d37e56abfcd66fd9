#!/usr/bin/env bash
# Builds every configuration once and runs every test suite; ends with "N passed, N failed".
# On a fresh Debian 12 machine (root) it first installs what it lacks.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
logs="$root/build/test-logs"

"$root/scripts/setup.sh" all || { echo "set-up failed"; echo "0 passed, 1 failed"; exit 1; }
mkdir -p "$logs"

passed=0
failed=0
failures=()

build() {  # build PRESET
  local preset=$1
  echo "== build $preset"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"$logs/build-$preset.log" 2>&1; then
    tail -n 40 "$logs/build-$preset.log"
    failures+=("build $preset")
    failed=$((failed + 1))
    return 1
  fi
}

# Runs a GoogleTest binary and adds its counts; a run that ends without a summary counts
# as one failure.
suite() {  # suite NAME COMMAND...
  local name=$1
  shift
  echo "== test $name"
  local log="$logs/test-$name.log"
  "$@" >"$log" 2>&1
  local rc=$?
  local ok bad
  ok=$(grep -E '^\[  PASSED  \] [0-9]+ test' "$log" | grep -oE '[0-9]+' | head -n1)
  bad=$(grep -E '^\[  FAILED  \] [0-9]+ test' "$log" | grep -oE '[0-9]+' | head -n1)
  ok=${ok:-0}
  bad=${bad:-0}
  if [[ $rc -ne 0 && $bad -eq 0 ]]; then bad=1; fi
  passed=$((passed + ok))
  failed=$((failed + bad))
  echo "   $ok passed, $bad failed"
  if [[ $bad -ne 0 ]]; then
    failures+=("$name")
    # The lines after a failure say what was expected and what came, which a run on a
    # clean machine shows nowhere else.
    grep -A 8 'Failure$' "$log" | head -n 60
    grep -E '^\[  FAILED  \]|ERROR: (Address|Leak|Undefined)|runtime error|^==[0-9]+== [A-Z]' "$log" | head -n 40
  fi
}

wine_arch=$("$root/scripts/wine-arch.sh")
if [[ $wine_arch == 32 ]]; then
  windows_test_presets=(win-sim)
  windows_release_bin="$root/build/win-release/bin"
  windows_sim_bin="$root/build/win-sim/bin"
  windows_suites="Windows suites: 32-bit exe under 32-bit wine ($(/usr/lib/wine/wine --version 2>/dev/null))"
else
  # This machine cannot execute 32-bit code: the 32-bit products are built and checked,
  # and the same sources built for 64-bit Windows run under wine64.
  windows_test_presets=(win-sim win64-sim win64-release)
  windows_release_bin="$root/build/win64-release/bin"
  windows_sim_bin="$root/build/win64-sim/bin"
  windows_suites="Windows suites: 64-bit exe under wine64 ($(/usr/lib/wine/wine64 --version 2>/dev/null)); this machine cannot run 32-bit code, so the 32-bit exe is built and import-checked only"
fi
# Said first and last, so that a reader of any log knows which product the Windows suites tested.
echo "$windows_suites"

# No file includes a layer above its own (docs/architecture.md holds the layer list).
echo "== layers"
if python3 "$root/scripts/check-layers.py"; then
  passed=$((passed + 1))
  echo "   1 passed, 0 failed"
else
  failed=$((failed + 1))
  failures+=("layers")
fi

build host
build host-asan
build win-release
for preset in "${windows_test_presets[@]}"; do build "$preset"; done
build fuzz

# The product must import nothing but system DLLs.
echo "== imports of the release exe"
imports=$(i686-w64-mingw32-objdump -p build/win-release/bin/Tunewright.exe 2>/dev/null | awk '/DLL Name/ {print $3}')
unexpected=$(echo "$imports" | grep -viE '^(kernel32|user32|advapi32|gdi32|shell32|ole32|oleaut32|comctl32|comdlg32|setupapi|msvcrt|psapi|shlwapi|version|cfgmgr32)\.dll$' || true)
if [[ -z "$imports" || -n "$unexpected" ]]; then
  echo "   unexpected imports: ${unexpected:-none found}"
  failures+=("imports")
  failed=$((failed + 1))
else
  passed=$((passed + 1))
fi

# A library that is not on Windows' known-DLL list would be taken from the exe's folder at
# load time: setupapi.dll is bound at run time from the system folder instead. comctl32.dll
# is bound by the exe's manifest to the side-by-side Common Controls 6 assembly, which the
# loader resolves before it searches any folder; it counts only with that manifest present.
echo "== release exe loads no library from its own folder"
known='kernel32|user32|advapi32|gdi32|shell32|ole32|oleaut32|comdlg32|msvcrt|psapi|shlwapi'
if grep -qa 'Microsoft.Windows.Common-Controls' build/win-release/bin/Tunewright.exe; then known="$known|comctl32"; fi
planted=$(echo "$imports" | grep -viE "^($known)\.dll$" || true)
if [[ -n "$imports" && -z "$planted" ]] && grep -qa SetDefaultDllDirectories build/win-release/bin/Tunewright.exe &&
  grep -qa SetupDiGetClassDevsW build/win-release/bin/Tunewright.exe; then
  passed=$((passed + 1))
else
  echo "   load-time imports off the known-DLL list: ${planted:-none}"
  failures+=("load-time imports")
  failed=$((failed + 1))
fi

# The simulator's entry points are exported under their plain names, as GetProcAddress
# looks them up (no stdcall decoration, no leading underscore).
echo "== exports of the 32-bit simulator"
exports=$(i686-w64-mingw32-objdump -p build/win-sim/bin/atiadlxx.dll 2>/dev/null | grep -oE '\] (ADL2|adlsim)_[A-Za-z0-9_@]+' | awk '{print $2}')
if [[ $(echo "$exports" | grep -cE '^ADL2_[A-Za-z0-9_]+$') -eq 29 && -z $(echo "$exports" | grep '@') ]]; then
  passed=$((passed + 1))
else
  echo "   unexpected exports: $exports"
  failures+=("simulator exports")
  failed=$((failed + 1))
fi

export TW_E2E_WINE="$root/scripts/wine.sh"
export TW_E2E_WINDOWS_SIM_BIN="$windows_sim_bin"
export TW_E2E_WINDOWS_RELEASE_BIN="$windows_release_bin"

# The parsers' fuzz targets, for a bounded time; all of them together count as one check.
echo "== fuzz"
if "$root/scripts/fuzz.sh" 30 >"$logs/fuzz.log" 2>&1; then
  passed=$((passed + 1))
else
  tail -n 30 "$logs/fuzz.log"
  failures+=("fuzz")
  failed=$((failed + 1))
fi

suite unit-host build/host/bin/tw_unit_tests
suite unit-asan build/host-asan/bin/tw_unit_tests
# Memcheck sees what the sanitizers cannot: uninitialised reads in code they did not
# instrument (the test framework's printers included) and leaks at exit.
suite unit-valgrind valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect \
  --show-leak-kinds=definite,indirect build/host/bin/tw_unit_tests
suite unit-wine "$root/scripts/wine.sh" "$windows_sim_bin/tw_unit_tests.exe"
# The window tests (WindowsWindowTest) run within it and leave their screenshots, as PNG
# files, in build/gui-shots/; a folder of this run's pictures only.
rm -rf "$root/build/gui-shots"
TW_E2E_HOST_BIN="$root/build/host/bin" suite e2e build/host/bin/tw_e2e_tests
# The fault sweep runs whole in the plain build; under the sanitizers a narrower set of
# answers goes through the same code paths in a third of the time.
TW_E2E_SWEEP_ANSWERS=-1,null_list,5,1 TW_E2E_HOST_BIN="$root/build/host-asan/bin" \
  suite e2e-asan build/host-asan/bin/tw_e2e_tests --gtest_filter='-Windows*'

if (( ${#failures[@]} )); then
  echo "Failed: ${failures[*]}"
fi
echo "$windows_suites"
echo "Took $((SECONDS / 60)) min $((SECONDS % 60)) s"
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
