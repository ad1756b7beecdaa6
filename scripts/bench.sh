#!/usr/bin/env bash
# Builds the benchmarks (optimised, without the test suites) and runs every
# benchmark executable under <build>/bench/, printing the median of several
# repetitions; the full results go to <build>/results/<name>.json.
#
# Every benchmark runs while the local sample service listens, for those that
# talk HTTP. Each subsystem adds bench/<subsystem>/ with a target whose name
# ends in "_bench"; only those targets (and the service) are built.
#
# Usage: scripts/bench.sh [Google Benchmark flags, e.g. --benchmark_filter=TextFind]
# Environment: MERRAVINE_BENCH_DIR (build folder, default build/bench),
#              MERRAVINE_BENCH_REPETITIONS (default 5).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${MERRAVINE_BENCH_DIR:-$root/build/bench}"
repetitions="${MERRAVINE_BENCH_REPETITIONS:-5}"
mkdir -p "$dir/results"

if ! cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMERRAVINE_WERROR=ON \
    -DMERRAVINE_BUILD_BENCH=ON -DMERRAVINE_BUILD_TESTS=OFF >"$dir/results/configure.log" 2>&1; then
  tail -40 "$dir/results/configure.log"
  echo "bench: configure failed" >&2
  exit 1
fi

help="$(cmake --build "$dir" --target help)"
mapfile -t targets < <(sed -n 's/^\([A-Za-z0-9_]*_bench\):.*/\1/p' <<<"$help")
if [[ ${#targets[@]} -eq 0 ]]; then
  echo "bench: no benchmark targets" >&2
  exit 1
fi
# Benchmarks that talk HTTP need the local sample service; each benchmark runs
# with it listening (scripts/with-sample-service.sh), the service from this build.
service="$dir/tools/sample-service/merravine-sample-service"
launcher=()
if grep -q '^merravine-sample-service:' <<<"$help"; then
  targets+=(merravine-sample-service)
  launcher=("$root/scripts/with-sample-service.sh")
  export MERRAVINE_SAMPLE_SERVICE="$service"
fi
cmake --build "$dir" --target "${targets[@]}" -j 2

status=0
while IFS= read -r exe; do
  name="$(basename "$exe")"
  echo "=== $name (median of $repetitions)"
  if ! "${launcher[@]}" "$exe" --benchmark_repetitions="$repetitions" --benchmark_display_aggregates_only=true \
      --benchmark_out="$dir/results/$name.json" --benchmark_out_format=json "$@" \
      >"$dir/results/$name.txt" 2>&1; then
    status=1
  fi
  grep -E '^Benchmark|_median' "$dir/results/$name.txt" || cat "$dir/results/$name.txt"
done < <(find "$dir/bench" -type f -perm -u+x -name '*_bench' | sort)

# End-to-end figures (bench/e2e, scripts/bench-e2e.sh): the command-line mode
# against a plain libcurl loop, the window's event-loop gaps and start-up, and
# the Windows program under Wine when build/windows has it. Its programs are
# not Google Benchmark executables, so they are built here by name.
e2e_targets=(merravine merravine-sample-service merravine_bench_curl_loop merravine_bench_window)
if grep -q '^merravine_bench_window:' <<<"$help"; then
  echo "=== end-to-end (scripts/bench-e2e.sh)"
  cmake --build "$dir" --target "${e2e_targets[@]}" -j 2
  if ! MERRAVINE_BENCH_NATIVE="$dir" MERRAVINE_BENCH_OUT="$dir/results" "$root/scripts/bench-e2e.sh"; then
    status=1
  fi
else
  echo "=== end-to-end: bench/e2e is not part of this build (bench/CMakeLists.txt)" >&2
fi
exit $status
