#!/usr/bin/env bash
# End-to-end figures of the two programs against the sample service on
# loopback, all from one run, side by side:
#   - `merravine --list` for the 1,000-lesson course against a plain libcurl
#     keep-alive loop making the same 1,001 requests (hyperfine medians, ratio);
#   - the TCP connections the service accepted for one --list run (/stats);
#   - peak memory of one --list run (/usr/bin/time -v, maximum resident set);
#   - the window program (Qt offscreen): the longest gap between turns of the
#     main thread's event loop while the 1,000 rows arrive;
#   - start-up to the exposed main window (Qt on Xvfb);
#   - the Windows exe: its size, and under Wine the --list wall time, peak
#     memory and connections for the same course.
#
#   scripts/bench-e2e.sh            # prints the figures and writes
#                                   # build/bench-results/e2e.md (table rows)
#
# Builds: MERRAVINE_BENCH_NATIVE (default build/bench: the bench preset, whose
# bench/ includes e2e) and MERRAVINE_BENCH_WINDOWS (default build/windows; the
# Windows figures are skipped when it has no merravine.exe).
# MERRAVINE_BENCH_RUNS sets the hyperfine runs (default 10).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
native="${MERRAVINE_BENCH_NATIVE:-$root/build/bench}"
windows="${MERRAVINE_BENCH_WINDOWS:-$root/build/windows}"
out="${MERRAVINE_BENCH_OUT:-$root/build/bench-results}"
runs="${MERRAVINE_BENCH_RUNS:-10}"
course="bench1000"

program="$native/src/app/merravine"
service="$native/tools/sample-service/merravine-sample-service"
curl_loop="$native/bench/e2e/merravine_bench_curl_loop"
window_bench="$native/bench/e2e/merravine_bench_window"
exe="$windows/src/app/merravine.exe"

for needed in "$program" "$service" "$curl_loop" "$window_bench"; do
  if [[ ! -x "$needed" ]]; then
    echo "bench-e2e: $needed is missing (cmake --preset bench && cmake --build --preset bench)" >&2
    exit 1
  fi
done

# Everything below runs beside one sample service.
if [[ -z "${MERRAVINE_SERVICE_HOST:-}" ]]; then
  export MERRAVINE_SAMPLE_SERVICE="$service"
  exec "$root/scripts/with-sample-service.sh" "$0" "$@"
fi

mkdir -p "$out"
host="$MERRAVINE_SERVICE_HOST"
page="http://$host/play_$course.shtml"
rows_file="$out/e2e.md"
: >"$rows_file"

# row FIGURE VALUE COMMAND: one line of the summary table.
row() {
  printf '| %s | %s | `%s` |\n' "$1" "$2" "$3" | tee -a "$rows_file"
}
# json_get FILE EXPRESSION: a value out of a JSON file, the expression in
# Python over `j` (python3 is there for the test script already).
json_get() { python3 -c "import json,sys; j=json.load(open(sys.argv[1])); print($2)" "$1"; }
stat_of() {
  curl -s "http://$host/stats" >"$out/stats.json"
  json_get "$out/stats.json" "j['$1']"
}
reset_stats() { curl -s "http://$host/stats/reset" >/dev/null; }
# Peak resident memory in MB of COMMAND (its largest process), from time -v.
peak_mb() {
  /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ {printf "%.1f", $2 / 1024}'
}
median_ms() { json_get "$1" "round(j['results'][$2]['median'] * 1000, 1)"; }

echo "== --list of the $course course against a plain libcurl keep-alive loop"
# The loop sends the routine's header lines, so both make the same requests on
# the wire; its --bare form (libcurl's own short headers) is a lower bound.
hyperfine -N --warmup 2 --runs "$runs" --export-json "$out/e2e-list.json" \
  -n "merravine --list" "$program --list $page" \
  -n "libcurl loop" "$curl_loop $host $course" \
  -n "libcurl loop, bare headers" "$curl_loop $host $course --bare" >"$out/e2e-list.txt"
list_ms="$(median_ms "$out/e2e-list.json" 0)"
loop_ms="$(median_ms "$out/e2e-list.json" 1)"
bare_ms="$(median_ms "$out/e2e-list.json" 2)"
ratio="$(json_get "$out/e2e-list.json" "round(j['results'][0]['median'] / j['results'][1]['median'], 2)")"
bare_ratio="$(json_get "$out/e2e-list.json" "round(j['results'][0]['median'] / j['results'][2]['median'], 2)")"
row "--list, 1,000 lessons: wall time (median of $runs)" "$list_ms ms" "scripts/bench-e2e.sh (hyperfine)"
row "libcurl keep-alive loop, the same 1,001 requests (median of $runs)" "$loop_ms ms" "scripts/bench-e2e.sh (hyperfine)"
row "--list / libcurl loop (goal ≤ 1.3)" "$ratio" "scripts/bench-e2e.sh"
row "libcurl loop with libcurl's short headers only (--bare; median of $runs)" "$bare_ms ms" "scripts/bench-e2e.sh (hyperfine)"
row "--list / bare libcurl loop (lower bound, no goal)" "$bare_ratio" "scripts/bench-e2e.sh"

reset_stats
lines="$("$program" --list "$page" | wc -l)"
row "--list: requests / TCP connections used (goal 1 connection)" \
  "$(stat_of requests) / $(stat_of request_connections) ($lines lines out)" \
  "merravine --list $page; then GET /stats"
row "--list: peak memory (goal < 30 MB)" "$(peak_mb "$program" --list "$page") MB" \
  "/usr/bin/time -v merravine --list $page"
row "libcurl loop: peak memory" "$(peak_mb "$curl_loop" "$host" "$course") MB" \
  "/usr/bin/time -v merravine_bench_curl_loop $host $course"

echo "== the window program, Qt offscreen: event-loop gaps while 1,000 rows arrive (3 runs)"
gaps=()
for _ in 1 2 3; do
  result="$(QT_QPA_PLATFORM=offscreen "$window_bench" rows "$page")"
  echo "$result" | tr '\n' ' '
  echo
  gaps+=("$(echo "$result" | awk '/^longest_gap_ms/ {print $2}')")
  rows_ms="$(echo "$result" | awk '/^rows_ms/ {print $2}')"
  rows_seen="$(echo "$result" | awk '/^rows / {print $2}')"
done
worst="$(printf '%s\n' "${gaps[@]}" | sort -g | tail -1)"
row "window: longest main-thread gap while $rows_seen rows arrive (worst of 3; goal ≤ 50 ms)" \
  "$worst ms (runs: ${gaps[*]}; rows took $rows_ms ms)" \
  "QT_QPA_PLATFORM=offscreen merravine_bench_window rows $page"

echo "== start-up to the exposed main window, Qt on Xvfb (10 runs)"
display=""
xvfb_pid=""
stop_xvfb() { [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null; true; }
trap stop_xvfb EXIT
# A display number that no other X server here holds.
for _ in $(seq 20); do
  number=$((200 + RANDOM % 1800))
  [[ -e "/tmp/.X$number-lock" ]] && continue
  # -noreset: the server would otherwise reset (and refuse connections for a
  # moment) each time its last client leaves.
  Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    if DISPLAY=":$number" xdotool getdisplaygeometry >/dev/null 2>&1; then display=":$number"; break; fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  [[ -n "$display" ]] && break
  stop_xvfb
  xvfb_pid=""
done
if [[ -n "$display" ]]; then
  starts=()
  # One run first, so that every measured run finds the libraries in the page cache.
  DISPLAY="$display" QT_QPA_PLATFORM=xcb MERRAVINE_BENCH_LAUNCH_NS="$(date +%s%N)" \
    "$window_bench" startup >/dev/null 2>&1 || true
  for _ in $(seq 10); do
    starts+=("$(DISPLAY="$display" QT_QPA_PLATFORM=xcb MERRAVINE_BENCH_LAUNCH_NS="$(date +%s%N)" \
      "$window_bench" startup 2>/dev/null | awk '/^startup_ms/ {print $2}')")
  done
  echo "start-up runs (ms): ${starts[*]}"
  median_start="$(printf '%s\n' "${starts[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')"
  row "start-up to the shown main window, native (median of 10; goal < 300 ms)" "$median_start ms" \
    "MERRAVINE_BENCH_LAUNCH_NS=\$(date +%s%N) merravine_bench_window startup (Xvfb)"
  stop_xvfb
  xvfb_pid=""
else
  echo "bench-e2e: Xvfb did not start; start-up figure skipped" >&2
fi

# wine_figures EXE LABEL PREFIX: --list under Wine: wall time, connections,
# peak memory.
wine_figures() {
  export WINEPREFIX="$3" MERRAVINE_WINEPREFIX="$3"
  # A persistent wineserver, started first, so that neither its start nor its
  # memory is counted in the runs below; it is stopped at the end.
  wineserver -p 60 || true
  "$root/scripts/wine-run.sh" "$1" --version >/dev/null 2>&1 || true
  hyperfine -N --warmup 1 --runs 3 --export-json "$out/e2e-wine.json" \
    -n "$2 --list (Wine)" "$root/scripts/wine-run.sh $1 --list $page" >"$out/e2e-wine.txt"
  row "$2 --list under Wine, 1,000 lessons (median of 3)" \
    "$(median_ms "$out/e2e-wine.json" 0) ms" "scripts/wine-run.sh merravine.exe --list $page"
  reset_stats
  wine_lines="$("$root/scripts/wine-run.sh" "$1" --list "$page" | wc -l)"
  row "$2 --list under Wine: requests / TCP connections" \
    "$(stat_of requests) / $(stat_of request_connections) ($wine_lines lines out)" \
    "scripts/wine-run.sh merravine.exe --list $page; then GET /stats"
  row "$2 --list under Wine: peak memory of the program's process" \
    "$(peak_mb "$root/scripts/wine-run.sh" "$1" --list "$page") MB" \
    "/usr/bin/time -v scripts/wine-run.sh merravine.exe --list $page (wineserver already running)"
  wineserver -k || true
}

if [[ -f "$exe" ]]; then
  echo "== the Windows program"
  row "merravine.exe size" "$(stat -c %s "$exe" | awk '{printf "%.2f MB (%d bytes)", $1 / 1048576, $1}')" \
    "stat -c %s build/windows/src/app/merravine.exe"
  if command -v i686-w64-mingw32-strip >/dev/null; then
    i686-w64-mingw32-strip -o "$out/merravine-stripped.exe" "$exe"
    row "merravine.exe size, stripped as the release package ships it" \
      "$(stat -c %s "$out/merravine-stripped.exe" | awk '{printf "%.2f MB (%d bytes)", $1 / 1048576, $1}')" \
      "i686-w64-mingw32-strip -o stripped.exe merravine.exe; stat -c %s stripped.exe"
  fi
  # The Wine figures: of the 32-bit program where this machine runs 32-bit
  # programs; where its kernel refuses them, of the same sources built for
  # 64-bit Windows (MERRAVINE_BENCH_WINDOWS64, default build/windows64) under
  # 64-bit Wine, labelled as such.
  wine_exe="$exe"
  label="merravine.exe"
  prefix="${MERRAVINE_WINEPREFIX:-$root/build/wine-prefix}"
  if ! bash "$root/scripts/wine-runs-32bit.sh"; then
    wine_exe="${MERRAVINE_BENCH_WINDOWS64:-$root/build/windows64}/src/app/merravine.exe"
    label="merravine.exe (64-bit build; this machine cannot run 32-bit programs)"
    prefix="${prefix}64"
    echo "bench-e2e: this machine cannot run 32-bit programs; the Wine figures are of $wine_exe"
  fi
  if [[ -f "$wine_exe" ]]; then
    wine_figures "$wine_exe" "$label" "$prefix"
  else
    echo "bench-e2e: no $wine_exe; Wine figures skipped" >&2
  fi
else
  echo "bench-e2e: no $exe; Windows figures skipped" >&2
fi

echo "== table rows written to $rows_file"
