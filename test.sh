#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   ./test.sh          Release build with tests (preset "default")
#   ./test.sh asan     the same suite under address and undefined-behaviour sanitizers
#   ./test.sh fuzz     every libFuzzer harness for FUZZ_SECONDS seconds (default 60) each
set -euo pipefail
cd "$(dirname "$0")"
preset=${1:-default}

scripts/install-deps.sh
if [ "$preset" = fuzz ]; then
  scripts/install-deps.sh fuzz
fi
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
