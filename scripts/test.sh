#!/usr/bin/env bash
# Installs what is missing, builds Marlix with its tests and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja
cmake --build build
ctest --test-dir build --output-on-failure -j2 --timeout 300
