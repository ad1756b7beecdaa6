#!/usr/bin/env bash
# The program's Qt module on Linux: the command-line mode runs without it and
# never maps Qt, and the window mode without a usable module ends at once with
# a message naming the file, instead of crashing or waiting.
#
#   window_module_test.sh PROGRAM
set -uo pipefail
program="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# A copy of the program in a folder of its own, where no module lies beside it.
cp "$program" "$work/merravine"

if ! out="$("$work/merravine" --version 2>&1)" || [[ "$out" != merravine\ * ]]; then
  fail "--version without the module: '$out'"
fi

# The dynamic loader lists every object it maps; Qt must not be among them.
mapped="$(LD_DEBUG=files "$program" --help 2>&1 >/dev/null)"
if grep -q 'libQt6' <<<"$mapped"; then
  fail "the command-line mode mapped Qt: $(grep -m1 'libQt6' <<<"$mapped")"
fi

expect_refusal() {
  local what="$1"
  local status=0
  err="$(QT_QPA_PLATFORM=offscreen timeout 20 "$work/merravine" 2>&1 >/dev/null)" || status=$?
  if [[ $status -ne 1 ]]; then
    fail "$what: exit status $status, expected 1"
  elif [[ "$err" != *"window module $work/merravine-window-qt.so could not be loaded"* ]]; then
    fail "$what: message '$err'"
  fi
}
expect_refusal "no module"
echo "not a shared object" >"$work/merravine-window-qt.so"
expect_refusal "a file that is no module"

if ((failures)); then
  exit 1
fi
echo "window module: all checks passed"
