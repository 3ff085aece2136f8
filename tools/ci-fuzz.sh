#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for FUZZ_SECONDS (60)
# on a copy of its seed corpus in fuzz/corpus/. A crash, a sanitizer report, a leak or a
# timeout fails the run; the input that caused it is left in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"
targets=(settings_reader connection_string table_script load_picture photo_metadata icc_profile
         load_heif)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DGALERION_BENCH=OFF -DGALERION_FUZZ=ON "${launcher[@]}"
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]/#/fuzz_}"
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p build-fuzz/findings
for target in "${targets[@]}"; do
  corpus="build-fuzz/corpus/$target"
  rm -rf "$corpus" && mkdir -p "$corpus" && cp fuzz/corpus/"$target"/* "$corpus"/
  echo "== fuzz_$target for ${seconds}s"
  build-fuzz/bin/"fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=65536 -artifact_prefix="build-fuzz/findings/$target-" -print_final_stats=1 \
      "$corpus"
done
