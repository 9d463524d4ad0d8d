#!/usr/bin/env bash
# Installs the Debian packages a task needs, only those that are missing.
#   scripts/install-deps.sh          what the build and the test suite need
#   scripts/install-deps.sh bench    what bench/vs_gdal.sh needs besides
#   scripts/install-deps.sh fuzz     what the preset "fuzz" needs besides (clang, libFuzzer)
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev libstb-dev libosmesa6-dev
  libgdal-dev
  libfltk1.3-dev libx11-dev xvfb xdotool
)
case "${1:-}" in
  "") ;;
  bench) packages=(gdal-bin time python3) ;;
  fuzz) packages=(clang-14 libfuzzer-14-dev libclang-rt-14-dev) ;;
  *) echo "install-deps.sh: unknown group '$1'" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "need root or sudo to install ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}" ||
  { "${as_root[@]}" apt-get update && "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; }
