#!/usr/bin/env bash
# The one test command: installs what is missing (Debian 12), builds the Linux
# and the Windows program, runs every suite, and ends with one summary line.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh || { echo "0 passed, 1 failed"; exit 1; }

jobs="$(nproc)"
passed=0
failed=0
results="$root/build/test-results"
mkdir -p "$results"

# ctest writes JUnit XML; the counts of every suite are added up from it.
count_junit() {
  local counts
  counts="$(python3 - "$1" <<'PY'
import sys, xml.etree.ElementTree as ET
try:
    suite = ET.parse(sys.argv[1]).getroot()
    total = int(suite.get("tests", 0))
    bad = int(suite.get("failures", 0)) + int(suite.get("errors", 0))
    skipped = int(suite.get("skipped", 0)) + int(suite.get("disabled", 0))
    print(total - bad - skipped, bad)
except Exception:
    print(0, 1)
PY
)"
  passed=$((passed + ${counts% *}))
  failed=$((failed + ${counts#* }))
}

# ctest's lines are padded to the longest test name; keep only what tells.
ctest_digest() {
  sed -E 's/ \.{4,}/ /' | grep -E 'Failed|Timeout|Not Run|Exception|\*\*\*|tests passed|tests failed' | tail -40
}

# suite PRESET [ctest arguments...]: configure, build and test one preset.
suite() {
  local preset="$1"
  shift
  echo "=== $preset: configure and build"
  if ! cmake --preset "$preset" >"$results/$preset-configure.log" 2>&1; then
    tail -40 "$results/$preset-configure.log"
    echo "$preset: configure failed"
    failed=$((failed + 1))
    return
  fi
  if ! cmake --build --preset "$preset" -j "$jobs" >"$results/$preset-build.log" 2>&1; then
    grep -E 'error|Error' "$results/$preset-build.log" | head -40
    echo "$preset: build failed"
    failed=$((failed + 1))
    return
  fi
  echo "=== $preset: tests"
  rm -f "$results/$preset.xml"
  ctest --preset "$preset" --output-junit "$results/$preset.xml" "$@" \
    >"$results/$preset-test.log" 2>&1
  ctest_digest <"$results/$preset-test.log"
  count_junit "$results/$preset.xml"
}

# fuzz_smoke: every libFuzzer target for a short fixed time; each target counts
# as one test.
fuzz_smoke() {
  echo "=== fuzz: build and short runs"
  MERRAVINE_FUZZ_BUILD="$root/build/fuzz" bash scripts/fuzz-smoke.sh >"$results/fuzz.log" 2>&1
  local rc=$? ok bad
  ok=$(grep -cE '^fuzz_[a-z_]+: ok' "$results/fuzz.log")
  bad=$(grep -cE '^fuzz_[a-z_]+: FAILED' "$results/fuzz.log")
  grep -E '^fuzz_|^fuzz:' "$results/fuzz.log"
  if [[ $rc -ne 0 && $bad -eq 0 ]]; then
    bad=1
  fi
  passed=$((passed + ok))
  failed=$((failed + bad))
}

# build_only PRESET: configure and build one preset; a failure counts as one.
build_only() {
  local preset="$1"
  echo "=== $preset: configure and build (no tests)"
  if ! cmake --preset "$preset" >"$results/$preset-configure.log" 2>&1 ||
    ! cmake --build --preset "$preset" -j "$jobs" >"$results/$preset-build.log" 2>&1; then
    grep -E 'error|Error' "$results/$preset-configure.log" "$results/$preset-build.log" | head -40
    echo "$preset: build failed"
    failed=$((failed + 1))
  fi
}

suite native
# The Windows tests talk to the Linux sample service of the native build.
if bash scripts/wine-runs-32bit.sh; then
  suite windows
else
  # The 32-bit program is still built; its tests run as the same sources built
  # for 64-bit Windows, under 64-bit Wine.
  echo "=== windows: this machine cannot run 32-bit programs (its kernel refuses them), so"
  echo "    neither 32-bit Wine nor the 32-bit program can run here: the 32-bit program is"
  echo "    built, and the Windows suite runs as the 64-bit build (windows64) under 64-bit Wine"
  build_only windows
  suite windows64
fi
suite asan
export TSAN_OPTIONS="suppressions=$root/tests/sanitizers/tsan.supp ignore_noninstrumented_modules=1 halt_on_error=0 exitcode=66"
# The tests that run more than one thread.
suite tsan -R 'merravine_course_tests|merravine_app_tests|merravine_web_request_test|merravine_fault_test|program_window_test|QtWindowTest|merravine_shutdown'
unset TSAN_OPTIONS
fuzz_smoke

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
