#!/usr/bin/env bash
# Runs a Windows program under Wine with the settings the tests rely on: a
# prefix of our own under build/, code page 936 as the ANSI code page, and no
# Wine debug chatter.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${MERRAVINE_WINEPREFIX:-$root/build/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
exec wine "$@"
