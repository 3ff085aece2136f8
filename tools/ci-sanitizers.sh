#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ and runs
# the whole test suite there. Any report ends the program that made it, so it fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGALERION_BENCH=OFF \
      -DGALERION_SANITIZE=address,undefined "${launcher[@]}"
cmake --build build-asan -j "$(nproc)"
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp"
# The PostgreSQL tests run against a throw-away server of their own, as in run-tests.sh.
tools/pg-test-cluster.sh run ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
