#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UBSan) and runs each
# one for a while over its committed seed corpus.
#
#   scripts/fuzz.sh [seconds] [target...]   default 60 s each, every target
#   scripts/fuzz.sh --smoke [target...]     10 s each (scripts/fuzz-smoke.sh)
#
# New inputs go to a scratch corpus under the build folder, so fuzz/corpus
# stays small; a crash leaves its input in <build>/artifacts/ and makes the
# script fail. MERRAVINE_FUZZ_BUILD names the build folder
# (default build/fuzz-libfuzzer).
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

smoke=0
seconds=60
if [[ "${1:-}" == "--smoke" ]]; then
  smoke=1
  seconds=10
  shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
  seconds="$1"
  shift
fi

build="${MERRAVINE_FUZZ_BUILD:-$root/build/fuzz-libfuzzer}"
[[ "$build" = /* ]] || build="$root/$build"

mkdir -p "$build"
if [[ ! -f "$build/build.ninja" ]]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMERRAVINE_WERROR=ON -DMERRAVINE_FUZZ=ON \
    -DMERRAVINE_BUILD_TESTS=OFF \
    -DCMAKE_PROJECT_Merravine_INCLUDE="$root/cmake/Fuzzing.cmake" >"$build/configure.log" 2>&1 ||
    { tail -30 "$build/configure.log"; echo "fuzz: configure failed"; exit 1; }
fi
# Reconfigure if the list of targets changed.
cmake "$build" >/dev/null 2>&1 || { echo "fuzz: configure failed"; exit 1; }

mapfile -t targets < <(grep -v '^$' "$build/fuzz/targets.txt")
[[ $# -gt 0 ]] && targets=("$@")

build_targets=()
for t in "${targets[@]}"; do build_targets+=("fuzz_$t"); done
if ! cmake --build "$build" --target "${build_targets[@]}" -j "$(nproc)" >"$build/fuzz-build.log" 2>&1; then
  grep -E 'error|Error' "$build/fuzz-build.log" | head -30
  echo "fuzz: build failed"
  exit 1
fi

# Sanitizer reports end the run; libFuzzer's own limits catch hangs and
# runaway memory.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"

mkdir -p "$build/artifacts"
failed=()
for t in "${targets[@]}"; do
  seeds="$root/fuzz/corpus/$t"
  if [[ $smoke -eq 1 ]]; then
    scratch="$(mktemp -d "$build/smoke-$t.XXXXXX")"
  else
    scratch="$build/corpus/$t"
    mkdir -p "$scratch"
  fi
  log="$build/fuzz-$t.log"
  echo "=== fuzz_$t: ${seconds}s"
  # First every committed input once at its full length (the fuzzing run
  # below cuts inputs to -max_len), then the fuzzing itself.
  "$build/fuzz/fuzz_$t" -timeout=60 -rss_limit_mb=2048 -artifact_prefix="$build/artifacts/$t-" \
    "$seeds"/* >"$log" 2>&1 &&
    "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=8192 -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" \
      "$scratch" "$seeds" >>"$log" 2>&1
  rc=$?
  [[ $smoke -eq 1 ]] && rm -rf "$scratch"
  if [[ $rc -ne 0 ]]; then
    grep -E 'ERROR|MODEL MISMATCH|SUMMARY|got:|expected:|Test unit written' "$log" | head -20
    echo "fuzz_$t: FAILED (log: $log)"
    failed+=("$t")
  else
    echo "fuzz_$t: ok, $(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') runs"
  fi
done

echo "fuzz: ${#targets[@]} targets, ${#failed[@]} failed${failed:+: ${failed[*]}}"
[[ ${#failed[@]} -eq 0 ]]
