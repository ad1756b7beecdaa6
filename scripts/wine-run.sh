#!/usr/bin/env bash
# Runs a Windows program under Wine with the settings the tests rely on: a
# prefix of our own under build/, code page 936 as the ANSI code page, and no
# Wine debug chatter. A 64-bit program (the windows64 build, for machines that
# cannot run 32-bit programs) gets the 64-bit loader and a 64-bit prefix.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# The machine field of the PE header: 8664 for x86-64.
pe_machine() {
  local offset
  offset="$(od -An -tu4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')" || return 1
  [[ -n "$offset" ]] || return 1
  od -An -tx2 -j $((offset + 4)) -N 2 "$1" 2>/dev/null | tr -d ' '
}

loader=wine
default_prefix="$root/build/wine-prefix"
# 64-bit Wine for a 64-bit program, and for everything (Wine's own commands such
# as "reg" included) where 32-bit Wine cannot run at all, so that they reach the
# same prefix as the program.
if [[ $# -gt 0 && -f "$1" && "$(pe_machine "$1" || true)" == "8664" ]] ||
  ! bash "$root/scripts/wine-runs-32bit.sh"; then
  loader=/usr/lib/wine/wine64
  export WINELOADER="$loader"
  default_prefix="$root/build/wine-prefix64"
fi
export WINEPREFIX="${MERRAVINE_WINEPREFIX:-$default_prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

# A new prefix is made by the first program started in it. Two started at once
# (ctest runs tests side by side) race there: Wine names its server folder
# after the prefix folder, which one of them may still be making ("chdir to
# /tmp/wine-…/server-…: no such file"). So the prefix is made once, under a
# lock, and its server waited for, before any program runs in it.
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
      "$loader" wineboot --init >/dev/null 2>&1 || true
      wineserver -w || true
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$loader" "$@"
