#!/usr/bin/env bash
# Installs what is missing, builds the relievo command and runs the default conversion: the
# built-in fractal terrain into terrain.ded, with its preview in terrain.png. Options given
# to run.sh go to relievo (see build/bin/relievo --help).
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target relievo_cli
build/bin/relievo --preview terrain.png "$@"
