#!/usr/bin/env bash
# Builds the fuzz targets with clang-14 (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz, then runs each one for a fixed
# number of inputs, starting from its seed corpus in fuzz/corpus/<target>.
#
#   FUZZ_BUILD_DIR  the build folder (build-fuzz)
#   FUZZ_SCALE      multiplies every target's runs (1); 0 only builds
#   FUZZ_SEED       libFuzzer's random seed (fixed, so a run can be repeated)
#   FUZZ_TARGETS    the targets to run (all)
#
# New inputs that reach new code go to <build>/fuzz-work/<target>, never into
# the repository. An input that breaks a property or trips a sanitizer is
# saved as <build>/fuzz-artifacts/<target>/crash-*; the script then prints the
# end of the log and fails. Fix the fault, then keep the input under a name
# that says what it holds in fuzz/corpus/<target>/regressions/, where the
# replay tests of the normal and sanitized builds run it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
scale=${FUZZ_SCALE:-1}
seed=${FUZZ_SEED:-20261207}

# Runs per target: some three and a half minutes for all of them on one core.
declare -A runs=(
  [projectfile]=120000
  [settingsfile]=190000
  [usercode]=36000
  [textforms]=190000
  [cp1251]=76000
  [actiontext]=190000
  [vjass]=33000
)
targets=(${FUZZ_TARGETS:-projectfile settingsfile usercode textforms cp1251 actiontext vjass})

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B "$build_dir" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELL_FUZZ=ON
fi
cmake --build "$build_dir" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"
[ "$scale" = 0 ] && exit 0

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/fuzz/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
export QT_QPA_PLATFORM=offscreen

logs="$build_dir/fuzz-logs"
mkdir -p "$logs"
failed=()
for t in "${targets[@]}"; do
  n=$((runs[$t] * scale))
  work="$build_dir/fuzz-work/$t"
  artifacts="$build_dir/fuzz-artifacts/$t"
  rm -rf "$work"
  mkdir -p "$work" "$artifacts"
  dict=()
  [ -f "fuzz/dict/$t.dict" ] && dict=("-dict=fuzz/dict/$t.dict")
  start=$SECONDS
  if "$build_dir/fuzz/fuzz_$t" -runs="$n" -seed="$seed" -max_len=4096 -timeout=20 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "${dict[@]}" \
      "$work" "fuzz/corpus/$t" >"$logs/$t.log" 2>&1; then
    units=$(find "$work" -type f | wc -l)
    cov=$(grep -o 'cov: [0-9]*' "$logs/$t.log" | tail -1)
    echo "fuzz_$t: $n runs, no fault, $cov, $units new corpus inputs, $((SECONDS - start)) s"
  else
    echo "fuzz_$t: FAULT after $((SECONDS - start)) s; the end of $logs/$t.log:"
    tail -40 "$logs/$t.log"
    failed+=("$t")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]} (inputs in $build_dir/fuzz-artifacts)"
  exit 1
fi
echo "fuzzing: ${#targets[@]} passed, 0 failed"
