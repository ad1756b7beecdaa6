#!/usr/bin/env bash
# The one run command. On Debian 12 it installs what is missing, builds the
# program, starts the local sample course service on a free port and opens the
# program's window pointed at it (MERRAVINE_SERVICE_HOST), so that "下载" on
# the default address lists the sample course. The service stops when the
# window closes.
#
#   scripts/run.sh              the Linux program (Qt 6)
#   scripts/run.sh --windows    merravine.exe, the 32-bit Windows program, under Wine
#
# Without a display it says so and shows the main job all the same: the rows
# of `merravine --list` for the default address, and a screenshot of the
# filled window taken on a virtual X server (Xvfb), whose path it prints.
#
# MERRAVINE_BUILD_PREFIX (default build/) chooses where the build folders go:
# <prefix>native and <prefix>windows.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

usage() { echo "usage: scripts/run.sh [--windows]"; }
mode=native
case "${1:-}" in
  "") ;;
  --windows) mode=windows ;;
  -h | --help)
    usage
    exit 0
    ;;
  *)
    usage >&2
    exit 2
    ;;
esac

say() { echo "run: $*"; }
prefix="${MERRAVINE_BUILD_PREFIX:-$root/build/}"
native_dir="${prefix}native"
windows_dir="${prefix}windows"
logs="$root/build/run-logs"
artifacts="$root/build/artifacts"
mkdir -p "$logs" "$artifacts"

# --- Install and build ---------------------------------------------------------------
say "checking the packages this needs (Debian 12; sudo may ask for a password)"
bash scripts/install-deps.sh

# build PRESET DIR TARGET...: configures (once) and builds only what is needed.
build() {
  local preset="$1" dir="$2"
  shift 2
  say "building $* ($preset, in ${dir#"$root"/})"
  if [[ ! -f "$dir/build.ninja" ]] &&
    ! cmake --preset "$preset" -B "$dir" >"$logs/$preset-configure.log" 2>&1; then
    tail -30 "$logs/$preset-configure.log" >&2
    say "configuring failed; the whole log: $logs/$preset-configure.log" >&2
    exit 1
  fi
  if ! cmake --build "$dir" --target "$@" -j "$(nproc)" >"$logs/$preset-build.log" 2>&1; then
    grep -E 'error|Error' "$logs/$preset-build.log" | head -30 >&2
    say "building failed; the whole log: $logs/$preset-build.log" >&2
    exit 1
  fi
}

service="$native_dir/tools/sample-service/merravine-sample-service"
if [[ $mode == native ]]; then
  build native "$native_dir" merravine merravine-sample-service
  program=("$native_dir/src/app/merravine")
else
  build native "$native_dir" merravine-sample-service
  build windows "$windows_dir" merravine
  program=("$root/scripts/wine-run.sh" "$windows_dir/src/app/merravine.exe")
fi

# --- The sample service -------------------------------------------------------------
ports="$(mktemp)"
service_pid=""
xvfb_pid=""
app_pid=""
cleanup() {
  if [[ -n "$app_pid" ]] && kill -0 "$app_pid" 2>/dev/null; then
    kill "$app_pid" 2>/dev/null
    wait "$app_pid" 2>/dev/null || true
  fi
  if [[ -n "$xvfb_pid" ]]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  if [[ -n "$service_pid" ]] && kill -0 "$service_pid" 2>/dev/null; then
    kill -TERM "$service_pid" 2>/dev/null
    wait "$service_pid" 2>/dev/null || true
    say "sample service stopped"
  fi
  rm -f "$ports"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Port 0: the service picks a free port and prints it on its first line.
"$service" --port 0 >"$ports" 2>"$logs/sample-service.log" &
service_pid=$!
for _ in $(seq 100); do
  [[ -s "$ports" ]] && break
  kill -0 "$service_pid" 2>/dev/null || break
  sleep 0.1
done
port="$(head -1 "$ports")"
if ! [[ $port =~ ^[0-9]+$ ]]; then
  say "the sample service did not start; its log: $logs/sample-service.log" >&2
  exit 1
fi
export MERRAVINE_SERVICE_HOST="127.0.0.1:$port"
address="http://$MERRAVINE_SERVICE_HOST/play_400004169_19743.shtml"
say "sample service listening: MERRAVINE_SERVICE_HOST=$MERRAVINE_SERVICE_HOST"

# --- With a display: the window ------------------------------------------------------
if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1 || [[ -n "${WAYLAND_DISPLAY:-}" ]]; then
  say "starting ${program[*]##*/}: dismiss the notice, then press 下载 to list the sample course"
  "${program[@]}" || true
  exit 0
fi

# --- Without one: the main job all the same -----------------------------------------
if [[ -n "${DISPLAY:-}" ]]; then
  say "no display: DISPLAY=$DISPLAY is set, but no X server answers there"
else
  say "no display: DISPLAY is not set, so the window cannot be shown here"
fi
display=""
for n in $(seq 90 160); do
  if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then
    display=":$n"
    break
  fi
done
if [[ -z "$display" ]]; then
  say "no free X display number for Xvfb; no screenshot" >&2
  exit 1
fi
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$logs/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
unset WAYLAND_DISPLAY
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done

# Wine keeps one server per prefix for a few seconds after its last program;
# one started without a display would keep the window off the new one.
if [[ $mode == windows ]]; then
  WINEPREFIX="${MERRAVINE_WINEPREFIX:-$root/build/wine-prefix}" timeout 30 wineserver -w 2>/dev/null || true
fi

say "instead, the course list of $address, as 'merravine --list' writes it (title TAB video address):"
echo
"${program[@]}" --list "$address" 2>"$logs/list.log" || say "--list ended with status $?" >&2
echo

say "and a screenshot of the filled window, taken on a virtual X server (Xvfb)"
# Waits (bounded) for a visible window whose name matches; prints its id.
wait_window() {
  timeout "$2" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1 || true
}

QT_QPA_PLATFORM=xcb "${program[@]}" >"$logs/window.log" 2>&1 &
app_pid=$!
# Wine sets up a fresh prefix on its first start, which takes a while.
notice="$(wait_window '^Tovrela$' 180)"
if [[ -z "$notice" ]]; then
  say "the program's notice did not appear; its log: $logs/window.log" >&2
  exit 1
fi
main=""
for _ in $(seq 5); do
  xdotool windowfocus "$notice" 2>/dev/null || true
  xdotool key Return
  main="$(wait_window '^Merravine' 5)"
  [[ -n "$main" ]] && break
done
if [[ -z "$main" ]]; then
  say "the main window did not appear after the notice; its log: $logs/window.log" >&2
  exit 1
fi

# "下载" sits at 464,8 (56 x 24) in the client area; without a window manager
# the X window is the client area.
sleep 0.5
shot="$artifacts/run-$mode.png"
import -window "$main" "$shot" 2>/dev/null || true
empty="$(md5sum <"$shot" 2>/dev/null || true)"
xdotool mousemove --window "$main" 492 20 click 1
xdotool mousemove 5 5

# The rows come in one by one: wait until the picture has changed and two
# pictures a second apart agree.
previous="$empty"
for _ in $(seq 30); do
  sleep 1
  import -window "$main" "$shot" 2>/dev/null || continue
  current="$(md5sum <"$shot")"
  [[ "$current" == "$previous" && "$current" != "$empty" ]] && break
  previous="$current"
done
if [[ -s "$shot" ]]; then
  say "screenshot of the filled window: $shot"
else
  say "no screenshot could be taken" >&2
  exit 1
fi
