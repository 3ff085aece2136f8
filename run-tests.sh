#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B build -G Ninja -DGALERION_WERROR="$werror" -DGALERION_TESTS=ON -DGALERION_BENCH=ON
cmake --build build -j "$(nproc)"
# The PostgreSQL tests run against a throw-away server of their own, stopped whatever happens.
tools/pg-test-cluster.sh run ctest --test-dir build --output-on-failure -j "$(nproc)"
