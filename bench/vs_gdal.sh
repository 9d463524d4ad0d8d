#!/usr/bin/env bash
# Whole conversions timed against the tools a user would otherwise reach for, in one run on
# one machine, so that the ratios hold whatever the machine:
#   binary  10801 x 10801 big-endian int16 raw grid -> DED, against gdal_translate to ENVI Int16
#   ascii   3601 x 3601 ASCII grid written by GDAL -> DED (--scan), against the same translate
#   fractal 4096 x 4096 fractal -> DED, against cp of a file of the DED's size (the floor)
# and the peak memory of the binary conversion against the size of its DED file.
#
#   bench/vs_gdal.sh [RUNS]      RUNS timed runs after one warm-up (default 3); medians printed
#
# Needs a built tree (build/bin/relievo). GDAL's command-line tools, GNU time and python3 are
# benchmark-only dependencies: this script installs them when they are missing. Inputs are
# made once in $RELIEVO_BENCH_DIR (default /tmp/relievo-bench) and kept for later runs.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
relievo=$PWD/build/bin/relievo
work=${RELIEVO_BENCH_DIR:-/tmp/relievo-bench}

[ -x "$relievo" ] || { echo "build first: cmake --preset default && cmake --build --preset default" >&2; exit 1; }
scripts/install-deps.sh bench
mkdir -p "$work"
cd "$work"

make_inputs() {
  if [ ! -f big.raw ]; then
    echo "making big.raw (10801 x 10801 big-endian int16, 233 MB)" >&2
    # Each row is a window into one long triangle wave, shifted by row, so that the grid has
    # a smooth relief of 0 ... 3000 m with every value in use.
    python3 - <<'EOF'
import struct
n = 10801
wave = [abs((i % 6000) - 3000) for i in range(3 * n)]
base = struct.pack('>%dh' % len(wave), *wave)
with open('big.raw', 'wb') as f:
    for r in range(n):
        s = (r * 3) % (2 * n)
        f.write(base[2 * s:2 * (s + n)])
EOF
  fi
  cat > big.hdr <<'EOF'
ENVI
samples = 10801
lines = 10801
bands = 1
header offset = 0
file type = ENVI Standard
data type = 2
interleave = bsq
byte order = 1
EOF
  if [ ! -f dem.asc ]; then
    echo "making dem.asc (3601 x 3601 ASCII grid of decimals, written by GDAL, 86 MB)" >&2
    gdal_translate -q -of AAIGrid -ot Float32 -scale 0 3000 0.5 3000.5 -srcwin 0 0 3601 3601 \
      -a_ullr 7 46 8 45 big.raw dem.asc
  fi
  [ -f floor.bin ] || head -c "$(( 4096 * 4096 * 2 + 4096 * 12 + 200 ))" /dev/zero > floor.bin
}

# Prints "seconds peak_kib" of one run of the command: the wall time from the shell's clock
# (GNU time's is in hundredths, too coarse for the copy), the peak from GNU time.
timed() {
  local start=$EPOCHREALTIME
  /usr/bin/time -f '%M' -o time.out "$@" > /dev/null 2> run.err ||
    { echo "failed: $*" >&2; cat run.err >&2; exit 1; }
  local end=$EPOCHREALTIME
  echo "$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f", e - s }') $(cat time.out)"
}

# Prints "median_seconds max_peak_kib" over $runs runs after one warm-up.
measure() {
  timed "$@" > /dev/null
  local times=() peak=0 t m
  for _ in $(seq "$runs"); do
    read -r t m < <(timed "$@")
    times+=("$t")
    (( m > peak )) && peak=$m
  done
  printf '%s\n' "${times[@]}" | sort -g | awk -v p="$peak" '{a[NR]=$1} END {print a[int((NR+1)/2)], p}'
}

row() {  # name relievo_s anchor_s goal anchor_name
  awk -v n="$1" -v r="$2" -v a="$3" -v g="$4" -v an="$5" 'BEGIN {
    printf "%-8s relievo %7.3f s   %-22s %7.3f s   ratio %6.2fx   goal <= %sx\n", n, r, an, a, r / a, g }'
}

make_inputs
rm -f out.*
read -r bin_t bin_mem < <(measure "$relievo" -q --source binary --file big.raw --width 10801 \
  --height 10801 --type i16 --byte-order big -o out.bin.ded)
read -r bin_gdal _ < <(measure gdal_translate -q -of ENVI -ot Int16 big.raw out.bin.envi)
read -r asc_t _ < <(measure "$relievo" -q --source ascii --file dem.asc --scan -o out.asc.ded)
read -r asc_gdal _ < <(measure gdal_translate -q -of ENVI -ot Int16 dem.asc out.asc.envi)
read -r frac_t _ < <(measure "$relievo" -q --size 4096 -o out.frac.ded)
read -r frac_cp _ < <(measure cp floor.bin out.floor)
ded_kib=$(( $(stat -c %s out.bin.ded) / 1024 ))

echo "relievo against its anchors, medians of $runs runs after a warm-up ($(nproc) cores)"
row binary "$bin_t" "$bin_gdal" 0.5 "gdal_translate ENVI"
row ascii "$asc_t" "$asc_gdal" 0.15 "gdal_translate ENVI"
row fractal "$frac_t" "$frac_cp" 10 "cp of 32 MB"
awk -v m="$bin_mem" -v d="$ded_kib" 'BEGIN {
  printf "memory   binary peak %7.1f MiB   DED file %7.1f MiB   ratio %6.2fx   goal <= 1.25x\n",
         m / 1024, d / 1024, m / d }'
rm -f out.* time.out run.err
