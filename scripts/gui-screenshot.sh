#!/usr/bin/env bash
# Makes docs/relievo-gui.png, the README's picture of relievo-gui: the Relievo dialog with
# the preview of the built-in fractal terrain, photographed from the real window on a
# private X server (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target relievo_gui relievo_gui_snapshot
mkdir -p docs
build/bin/relievo_gui_snapshot docs/relievo-gui.png
echo "docs/relievo-gui.png"
