#!/usr/bin/env bash
# Installs, on Debian 12, whatever the build, the tests and the run script need
# and is not there yet. Quick when everything is installed already.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libicu-dev libcurl4-openssl-dev libcpp-httplib-dev qt6-base-dev
  g++-mingw-w64-i686 wine wine32:i386
  xvfb xdotool xclip x11-utils imagemagick fonts-wqy-microhei locales
  hyperfine curl zip
)

# not_installed PACKAGE...: the ones of them that are not installed, a line each.
not_installed() {
  local p status
  for p in "$@"; do
    status="$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)"
    [[ "$status" == "install ok installed" ]] || echo "$p"
  done
}

mapfile -t missing < <(not_installed "${packages[@]}")

if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}"
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine uses code page 936 as its ANSI code page only under a Chinese locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  if [[ -f /etc/locale.gen ]] && grep -q 'zh_CN.UTF-8' /etc/locale.gen; then
    $sudo sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  else
    echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  fi
  $sudo locale-gen >/dev/null
fi

# Where 32-bit programs cannot run, the Windows tests need 64-bit Wine and the
# 64-bit cross compiler (the windows64 preset).
if ! bash "$(dirname "${BASH_SOURCE[0]}")/wine-runs-32bit.sh"; then
  mapfile -t fallback < <(not_installed wine64 g++-mingw-w64-x86-64-posix)
  if ((${#fallback[@]})); then
    echo "install-deps: this machine cannot run 32-bit programs; installing ${fallback[*]}"
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${fallback[@]}"
  fi
fi
