#!/usr/bin/env bash
# Drives merravine.exe under Wine and Xvfb as a user would: dismisses the
# start-up notice, presses the download button, waits for the rows, copies all
# titles and all addresses through the list's pop-up menu and reads the
# clipboard back with xclip; then checks the command-line mode. Compares both
# with the sample course and keeps screenshots under the artifacts folder.
#
#   window_e2e.sh MERRAVINE_EXE ARTIFACTS_DIR
#
# Run under scripts/with-sample-service.sh (MERRAVINE_SERVICE_HOST points at
# the sample service).
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
exe="$1"
artifacts="$2"
mkdir -p "$artifacts"
: "${MERRAVINE_SERVICE_HOST:?run this under scripts/with-sample-service.sh}"
wine_run="$root/scripts/wine-run.sh"
# A Wine prefix for this test alone: Wine's desktop process, which carries the
# clipboard to X, must belong to this test's display, not to another test's.
export MERRAVINE_WINEPREFIX="${MERRAVINE_WINEPREFIX:-$root/build/wine-prefix}-e2e"
stop_wine() { WINEPREFIX="$MERRAVINE_WINEPREFIX" timeout 20 wineserver -k >/dev/null 2>&1; }

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# --- The expected course: the sample service's default course --------------------------
course=400004169_19743
titles=(课程介绍与学习方法 开发环境的安装与配置 变量、数据类型与运算符 条件语句和循环语句
  函数的定义与调用 列表、字典与集合 文件读写与异常处理 综合练习：通讯录程序)
expected_titles=""
expected_addresses=""
expected_list=""
for i in "${!titles[@]}"; do
  address="http://$MERRAVINE_SERVICE_HOST/video/$course/$((i + 1)).mp4"
  expected_titles+="${titles[$i]}"$'\n'
  expected_addresses+="$address"$'\n'
  expected_list+="${titles[$i]}"$'\t'"$address"$'\n'
done

# --- A display of our own --------------------------------------------------------------
# Xvfb picks a free display number itself and writes it to the file.
display_file="$(mktemp)"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
app_pid=""
cleanup() {
  [[ -n "$app_pid" ]] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  stop_wine
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  rm -f "$display_file"
}
trap cleanup EXIT
display=""
for _ in $(seq 100); do
  display="$(head -1 "$display_file" 2>/dev/null)"
  [[ -n "$display" ]] && break
  sleep 0.1
done
[[ -n "$display" ]] || { echo "FAIL: Xvfb did not start" >&2; exit 1; }
display=":$display"
export DISPLAY="$display"
stop_wine  # what a broken earlier run may have left in this test's prefix
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || { echo "FAIL: Xvfb did not start" >&2; exit 1; }

# Waits (bounded) for a visible window whose name matches; prints its id.
wait_window() {
  timeout "${2:-60}" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1
}

# The visible windows, one id per line.
visible_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | sort; }

clipboard() { timeout 5 xclip -o -selection clipboard 2>/dev/null | tr -d '\r'; }

# Pops up the list's menu at a row and chooses item n (1 to 4) with the mouse.
choose_menu_item() {
  local window="$1" item="$2" before popup geometry top height
  before="$(visible_windows)"
  client_move "$window" 250 75
  xdotool click 3
  popup=""
  for _ in $(seq 50); do
    popup="$(comm -13 <(echo "$before") <(visible_windows) | head -1)"
    [[ -n "$popup" ]] && break
    sleep 0.1
  done
  [[ -n "$popup" ]] || return 1
  geometry="$(xwininfo -id "$popup")"
  top="$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$geometry")"
  height="$(awk '/Height:/ {print $NF}' <<<"$geometry")"
  local left
  left="$(awk '/Absolute upper-left X/ {print $NF}' <<<"$geometry")"
  # Four items of equal height, no separators.
  xdotool mousemove "$((left + 30))" "$((top + height * (2 * item - 1) / 8))" click 1
  # The item's command runs once the pop-up has closed.
  for _ in $(seq 50); do
    xwininfo -id "$popup" 2>/dev/null | grep -q IsViewable || return 0
    sleep 0.1
  done
  return 0
}

# Wine draws the frame and caption bar itself (no window manager runs here), so
# the screenshots show the whole window and its X window has the outer size.
"$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# The client area inside the outer window: the fixed frame (3 px) and the
# caption bar (19 px) of Wine's default metrics.
client_x=3
client_y=22

# Moves the mouse to a point of the main window's client area.
client_move() { xdotool mousemove --window "$1" "$((client_x + $2))" "$((client_y + $3))"; }

# --- The window ------------------------------------------------------------------------
MERRAVINE_SERVICE_HOST="$MERRAVINE_SERVICE_HOST" "$wine_run" "$exe" >/dev/null 2>&1 &
app_pid=$!

notice="$(wait_window '^Tovrela$' 120)"
if [[ -z "$notice" ]]; then
  fail "the start-up notice did not appear"
  exit 1
fi
sleep 0.5
if [[ -n "$(xdotool search --onlyvisible --name '^Merravine' 2>/dev/null)" ]]; then
  fail "the main window is visible while the notice is open"
fi
import -window root "$artifacts/e2e-notice.png" 2>/dev/null

main=""
for _ in $(seq 5); do
  xdotool windowfocus "$notice" 2>/dev/null
  xdotool key Return
  main="$(wait_window '^Merravine' 5)"
  [[ -n "$main" ]] && break
done
if [[ -z "$main" ]]; then
  fail "the main window did not appear after Return on the notice"
  exit 1
fi

# Outer size 535 x 446, centred on the 1024 x 768 screen.
geometry="$(xwininfo -id "$main")"
placed="$(awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
  /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x "," y " " w "x" h}' <<<"$geometry")"
[[ "$placed" == "244,161 535x446" ]] || fail "the main window is at $placed, expected 244,161 535x446"

# A right-click on the empty list still pops up the menu; copying all titles
# then puts an empty text on the clipboard.
sleep 0.5
echo -n "stale" | xclip -i -selection clipboard
choose_menu_item "$main" 2 || fail "no pop-up menu on the empty list"
[[ -z "$(clipboard)" ]] || fail "复制全部课程 on the empty list gave: $(clipboard)"

# The download button: client position 464,8, size 56 x 24.
client_move "$main" 492 20
xdotool click 1

# Wait for all the rows: copy all titles until the clipboard holds them all.
got_titles=""
for _ in $(seq 60); do
  sleep 1
  choose_menu_item "$main" 2 || continue
  got_titles="$(clipboard)"$'\n'
  [[ "$got_titles" == "$expected_titles" ]] && break
done
[[ "$got_titles" == "$expected_titles" ]] ||
  fail "复制全部课程 gave:"$'\n'"$got_titles"$'\n'"expected:"$'\n'"$expected_titles"

# A second use copies the same text, not the list twice over.
choose_menu_item "$main" 2 && got_titles="$(clipboard)"$'\n'
[[ "$got_titles" == "$expected_titles" ]] || fail "复制全部课程 used twice gave:"$'\n'"$got_titles"

choose_menu_item "$main" 4
got_addresses="$(clipboard)"$'\n'
[[ "$got_addresses" == "$expected_addresses" ]] ||
  fail "复制全部地址 gave:"$'\n'"$got_addresses"$'\n'"expected:"$'\n'"$expected_addresses"

# The right-click selected the first row: the selected-row commands copy it alone.
choose_menu_item "$main" 1
[[ "$(clipboard)" == "${titles[0]}" ]] || fail "复制选中课程 gave: $(clipboard)"
choose_menu_item "$main" 3
[[ "$(clipboard)" == "http://$MERRAVINE_SERVICE_HOST/video/$course/1.mp4" ]] ||
  fail "复制选中地址 gave: $(clipboard)"

xdotool mousemove 5 5
sleep 0.5
import -window root "$artifacts/e2e-window.png" 2>/dev/null ||
  fail "no screenshot of the window"

# A second retrieval appends its rows; a thousand addresses (some 50,000
# characters) pass through the accumulator box whole.
client_move "$main" 260 20
xdotool click 1
xdotool key End shift+Home
xdotool type --delay 5 "http://$MERRAVINE_SERVICE_HOST/play_gen_1000.shtml"
client_move "$main" 492 20
xdotool click 1
last="http://$MERRAVINE_SERVICE_HOST/video/gen_1000/1000.mp4"
lines=0
for _ in $(seq 40); do
  sleep 4
  choose_menu_item "$main" 4 || continue
  got="$(clipboard)"
  lines="$(grep -c '' <<<"$got")"
  [[ $lines -ge 1008 ]] && break
done
[[ $lines -eq 1008 ]] || fail "after the second retrieval 复制全部地址 gave $lines lines, expected 1008"
[[ "$(head -8 <<<"$got")"$'\n' == "$expected_addresses" ]] || fail "the first rows changed"
[[ "$(tail -1 <<<"$got")" == "$last" ]] || fail "the last address is $(tail -1 <<<"$got")"

# Closing the window (Alt+F4, the close command of the system menu) ends the program.
xdotool windowfocus "$main" 2>/dev/null
xdotool key alt+F4
for _ in $(seq 100); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
  fail "the program did not end when its window was closed"
  kill "$app_pid" 2>/dev/null
fi
wait "$app_pid" 2>/dev/null
app_pid=""

# --- Closing the window during a retrieval --------------------------------------------
# Each lesson answer of this course takes 10 s: the program must end at once,
# without waiting for the answer the worker is waiting for.
MERRAVINE_SERVICE_HOST="$MERRAVINE_SERVICE_HOST" "$wine_run" "$exe" >/dev/null 2>&1 &
app_pid=$!
notice="$(wait_window '^Tovrela$' 120)"
main=""
for _ in $(seq 5); do
  [[ -n "$notice" ]] && xdotool windowfocus "$notice" 2>/dev/null
  xdotool key Return
  main="$(wait_window '^Merravine' 5)"
  [[ -n "$main" ]] && break
done
if [[ -z "$main" ]]; then
  fail "the main window did not appear the second time"
else
  # The address box: client position 64,8, size 392 x 24.
  client_move "$main" 260 20
  xdotool click 1
  xdotool key End shift+Home
  xdotool type --delay 5 "http://$MERRAVINE_SERVICE_HOST/play_slow_5_10000.shtml"
  client_move "$main" 492 20
  xdotool click 1
  sleep 1.5
  import -window root "$artifacts/e2e-closing.png" 2>/dev/null
  xdotool windowfocus "$main" 2>/dev/null
  xdotool key alt+F4
  for _ in $(seq 50); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$app_pid" 2>/dev/null; then
    fail "closing the window during a retrieval did not end the program within 5 s"
    kill "$app_pid" 2>/dev/null
  fi
fi
wait "$app_pid" 2>/dev/null
app_pid=""

# --- The command-line mode ---------------------------------------------------------------
out="$artifacts/e2e-list.txt"
"$wine_run" "$exe" --list "http://$MERRAVINE_SERVICE_HOST/play_$course.shtml" >"$out" 2>/dev/null
status=$?
[[ $status -eq 0 ]] || fail "--list exited with $status"
[[ "$(cat "$out"; echo x)" == "${expected_list}x" ]] || {
  fail "--list wrote:"
  od -c "$out" | head -20 >&2
}
MERRAVINE_SERVICE_HOST=127.0.0.1:1 "$wine_run" "$exe" --list "x" >/dev/null 2>&1
status=$?
[[ $status -eq 1 ]] || fail "--list without an answer exited with $status, expected 1"
"$wine_run" "$exe" --bogus >/dev/null 2>"$artifacts/e2e-usage.txt"
status=$?
[[ $status -eq 2 ]] || fail "a usage error exited with $status, expected 2"
[[ "$(wc -l <"$artifacts/e2e-usage.txt")" -eq 1 ]] || fail "the usage error is not one line"

if ((failures)); then
  echo "window_e2e: $failures failure(s)" >&2
  exit 1
fi
echo "window_e2e: passed (screenshots in $artifacts)"
