#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through ctest.
# Usage: tools/test.sh [build-dir] [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
shift || true
bash tools/deps.sh
werror=OFF
[ -n "${CI:-}" ] && werror=ON
cmake -S . -B "$build_dir" -G Ninja -DTOLQ_WERROR=$werror "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
