#!/usr/bin/env bash
# Installs what is missing, builds Marlix and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja
cmake --build build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Built build/bin/marlix; no display to show it on here."
  exit 0
fi
exec build/bin/marlix "$@"
