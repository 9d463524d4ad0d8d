#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   ./test.sh          Release build with tests (preset "default")
#   ./test.sh asan     the same suite under address and undefined-behaviour sanitizers
set -euo pipefail
cd "$(dirname "$0")"
preset=${1:-default}

scripts/install-deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
