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

# suite NAME: configure, build and test one preset.
suite() {
  local preset="$1"
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
  ctest --preset "$preset" --output-junit "$results/$preset.xml" 2>&1 | tail -25
  count_junit "$results/$preset.xml"
}

suite native
# The Windows tests start the Linux sample service, so the native build comes first.
suite windows

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
