#!/usr/bin/env bash
# Writes the seed corpora of the harnesses into corpus/<harness>/: a handful of small inputs
# each, well-formed ones and a few that are wrong in one way. Run it again after a change of
# what a harness reads; the files are kept in the repository, beside the inputs named found_*
# that fuzzing runs found faults with (this script leaves those alone).
set -euo pipefail
cd "$(dirname "$0")"
out=corpus

hex() { local s="" x; for x in "$@"; do s+="\\x$x"; done; printf "$s"; }
be16() { local v; v=$(printf '%04x' $(($1 & 0xffff))); hex "${v:0:2}" "${v:2:2}"; }
be32() { local v; v=$(printf '%08x' $(($1 & 0xffffffff))); hex "${v:0:2}" "${v:2:2}" "${v:4:2}" "${v:6:2}"; }
le32() { local v; v=$(printf '%08x' $(($1 & 0xffffffff))); hex "${v:6:2}" "${v:4:2}" "${v:2:2}" "${v:0:2}"; }
zeros() { head -c "$1" /dev/zero; }
# Pads standard input with zeros to $1 bytes.
padTo() { { cat; zeros "$1"; } | head -c "$1"; }

mkdir -p "$out"/{fuzz_text_pass,fuzz_binary_reader,fuzz_sgi_decoder,fuzz_image_reader}
mkdir -p "$out"/{fuzz_preferences,fuzz_resource,fuzz_ded_file,fuzz_scan_lines}

# Text grids: a header and rows, every number form, tokens at and beyond the length limit.
t=$out/fuzz_text_pass
printf 'ncols 3\nnrows 2\n1 2 3\n-4.5 5e2 6\n' >"$t/grid.txt"
printf '1.5D3 2d-2 -7.25E+01 .5 +.5 1e400 -1e400 1e-400 4.9e-324 -0\n' >"$t/numbers.txt"
printf '12-5 1.2.3 1e+ - . + 0x10 nan inf 3,4;5|6\r\n7\t8\r\n' >"$t/separators.txt"
printf '%038d %039d 1\n' 1 2 >"$t/long_tokens.txt"
printf '12345678901234567890123 0.1234567890123456789012345 9007199254740993\n' >"$t/digits.txt"

# Binary grids: width, height, offset, stride (int32 little-endian), type, order, signed,
# resampled size (two nibbles), then the file.
layout() { le32 "$1"; le32 "$2"; le32 "$3"; le32 "$4"; hex "$5" "$6" "$7" "$8"; }
b=$out/fuzz_binary_reader
{ layout 3 2 0 0 00 00 00 33; hex 01 02 03 fe ff 80; } >"$b/u8_3x2.bin"
{ layout 2 2 4 0 01 01 01 21; hex 48 44 52 00 00 01 ff fe 80 00 7f ff; } >"$b/i16_big_offset.bin"
{ layout 2 1 0 2 03 00 00 11; hex 00 00 c0 3f aa bb 00 00 80 ff cc dd; } >"$b/f32_stride.bin"
{ layout 1 2 0 0 04 01 00 12; hex 7f f8 00 00 00 00 00 00 7f f0 00 00 00 00 00 00; } >"$b/f64_nan_inf.bin"
{ layout 2 2 0 3 02 00 00 22; hex 01 00 00 00 00 00 00 ff ff ff ff; } >"$b/i32_stride_short.bin"
{ layout 65536 65536 0 0 00 00 00 ff; hex 00; } >"$b/huge_layout.bin"

# SGI: a 512-byte header (magic, storage, bytes per channel, dimension, width, height,
# channels), then the planes, or the run-length offset and length tables and the rows.
sgiHeader() { { be16 474; hex "$1" 01; be16 "$2"; be16 "$3"; be16 "$4"; be16 "$5"; } | padTo 512; }
s=$out/fuzz_sgi_decoder
{ sgiHeader 00 2 2 2 1; hex 00 40 80 ff; } >"$s/grey_verbatim.sgi"
{ sgiHeader 00 3 1 1 4; hex 10 20 30 40; } >"$s/rgba_verbatim.sgi"
{
  sgiHeader 01 3 2 1 3
  be32 536; be32 539; be32 542; be32 3; be32 3; be32 4
  hex 02 11 00 02 22 00 82 33 44 00
} >"$s/rgb_run_length.sgi"
{ sgiHeader 01 1 3 1 1; be32 520; be32 9; hex 83 01 02 03 00; } >"$s/row_run_length.sgi"
{ sgiHeader 01 2 2 2 1; be32 524; be32 527; be32 3; be32 9; hex 03 05 00; } >"$s/bad_run.sgi"
cp "$s/rgb_run_length.sgi" "$out/fuzz_image_reader/rgb_run_length.sgi"

# Other images: PNG, JPEG, BMP and TGA from stb_image_write; GIF and PNM by hand.
i=$out/fuzz_image_reader
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/write_images.c" <<'C'
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
int main(void) {
  unsigned char p[8 * 8 * 4];
  for (int k = 0; k < (int)sizeof p; ++k) p[k] = (unsigned char)(k * 37);
  int ok = stbi_write_png("rgb.png", 4, 3, 3, p, 12) && stbi_write_png("grey_alpha.png", 3, 2, 2, p, 6) &&
           stbi_write_jpg("rgb.jpg", 8, 8, 3, p, 50) && stbi_write_jpg("grey.jpg", 4, 4, 1, p, 90) &&
           stbi_write_bmp("rgb.bmp", 3, 2, 3, p) && stbi_write_tga("grey.tga", 3, 2, 1, p);
  stbi_write_tga_with_rle = 1;
  return ok && stbi_write_tga("rgba_rle.tga", 3, 2, 4, p) ? 0 : 1;
}
C
cc -O1 -o "$work/write_images" "$work/write_images.c" -lm
(cd "$work" && ./write_images)
cp "$work"/*.png "$work"/*.jpg "$work"/*.bmp "$work"/*.tga "$i/"
hex 47 49 46 38 39 61 01 00 01 00 80 00 00 ff ff ff 00 00 00 2c 00 00 00 00 01 00 01 00 00 \
  02 02 44 01 00 3b >"$i/one_pixel.gif"
{ printf 'P5\n3 2\n255\n'; hex 00 10 20 30 40 50; } >"$i/grey.pgm"
{ printf 'P6\n# comment\n2 1\n255\n'; hex ff 00 00 00 ff 00; } >"$i/rgb.ppm"
# 16384 x 16384 claimed in a few bytes: stb once worked through all of it before the host
# noticed the missing data (minutes for the BMP, gigabytes for the GIF).
hex 47 49 46 38 39 61 00 40 00 40 80 00 00 ff ff ff 00 00 00 2c 00 00 00 00 00 40 00 40 00 \
  02 02 44 01 00 3b >"$i/huge_claim.gif"
{ printf 'BM'; hex 00 00 00 00 00 00 00 00 36 00 00 00 28 00 00 00 00 40 00 00 00 40 00 00 \
  01 00 18 00; zeros 28; } >"$i/huge_claim.bmp"

# Preferences files.
p=$out/fuzz_preferences
cat >"$p/every_type.json" <<'JSON'
{ "version": 1,
  "tools": { "Relievo": { "Width": {"integer": 256}, "LatStart": {"float": 1.5},
                          "Fractal Noise": {"double": 0.25}, "FileName": {"text": "/data/grid.txt"},
                          "Low": {"double": "-inf"}, "Scale": {"float": "nan"} } } }
JSON
printf '{"version":1,"tools":{"T":{"f":{"float":1e39},"d":{"double":-1e308},"i":{"integer":-2147483648}}}}' \
  >"$p/limits.json"
printf '{"version":1,"tools":{"T":{"i":{"integer":2147483648}}}}' >"$p/out_of_range.json"
printf '{"version":1,"tools":{"T":{"x":{"text":"a","integer":1}}}}' >"$p/two_types.json"
printf '{"version":2,"tools":{}}' >"$p/version_2.json"
# A number beyond a double's range once escaped the parser's error handling.
printf '{"version":1,"tools":{"T":{"f":{"float":1e391}}}}' >"$p/number_overflow.json"

# Resource files.
r=$out/fuzz_resource
cat >"$r/every_kind.json" <<'JSON'
{ "dialogs": [
    { "id": 100, "caption": "Example", "size": [404, 428], "helpContext": "130022",
      "controls": [
        { "kind": "label", "label": "Source:", "rect": [8, 8, 40, 10], "pixmap": 109 },
        { "kind": "group", "label": "Layout", "rect": [4, 4, 300, 200], "visible": false },
        { "id": 1087, "kind": "option", "rect": [50, 8, 90, 12], "items": ["ASCII File", "Binary File"] },
        { "id": 1073, "kind": "list", "rect": [8, 30, 200, 80], "items": [] },
        { "id": 1014, "kind": "text", "label": "", "readOnly": true, "rect": [8, 120, 40, 12] },
        { "id": 1018, "kind": "radio", "label": "Rows", "group": "order", "rect": [8, 140, 40, 12] },
        { "id": 1019, "kind": "radio", "label": "Cols", "group": "order", "rect": [50, 140, 40, 12] },
        { "id": 1020, "kind": "check", "label": "Invert", "enabled": false, "rect": [8, 160, 40, 12] },
        { "id": 1096, "kind": "push", "label": "<<-", "pixmap": 109, "rect": [100, 160, 20, 12] },
        { "id": 1098, "kind": "scale", "range": [0, 1], "rect": [8, 180, 100, 12] },
        { "id": 1099, "kind": "progress", "range": [0, 100.5], "rect": [8, 195, 100, 8] },
        { "id": 1036, "kind": "gl", "view": [210, 260], "rect": [220, 8, 140, 160] },
        { "id": -1, "kind": "label", "label": "static", "rect": [-5, 0, 0, 0] } ] } ],
  "pixmaps": [
    { "id": 109, "palette": { ".": "#00000000", "#": "#000000", "o": "#FFaa11" },
      "rows": ["..#", ".#o", "..#"] } ] }
JSON
printf '{"dialogs":[{"id":1,"size":[1,1],"controls":[]}]}' >"$r/minimal.json"
printf '{"dialogs":[{"id":1,"size":[10,10],"controls":[{"id":3,"kind":"slider","rect":[0,0,1,1]}]}]}' \
  >"$r/unknown_kind.json"
printf '{"pixmaps":[{"id":1,"palette":{"a":"#010203"},"rows":["aa","a"]}]}' >"$r/ragged_pixmap.json"
printf '{"dialogs":[{"id":1,"size":[10,10],\n"controls":[{"kind":"gl","rect":[0,0,1,1],"view":[0,9000]}]}' \
  >"$r/cut_short.json"
printf '{"dialogs":[{"id":1e400}]}' >"$r/number_overflow.json"

# DED files: a 128-byte header, the range record to byte 160, the extents record to 200,
# then the posts, all big-endian.
dedPreamble() { # posts per record, records, as IEEE float bits
  { be32 128; printf 'KTLXDMA1    V1.0    Fri Dec  6 00:47:00 2024\n'; } | padTo 128
  { be32 1; be16 -5; be16 300; } | padTo 32
  be32 0; be32 0x3f800000; be32 0; be32 0x3f800000; be32 0x470ca000; be32 0x470ca000
  be32 "$1"; be32 "$2"; be32 0x3f800000; be32 0x3f800000
}
d=$out/fuzz_ded_file
{ dedPreamble 0x40000000 0x40000000; be16 -5; be16 -32768; be16 300; be16 0; } >"$d/two_by_two.ded"
{ dedPreamble 0x40000000 0x40000000; be16 1; be16 2; be16 3; } >"$d/one_post_short.ded"
{ dedPreamble 0x7fc00000 0x3f800000; be16 1; } >"$d/nan_count.ded"
{ dedPreamble 0x4f000000 0x3f800000; } >"$d/huge_count.ded"
head -c 199 "$d/two_by_two.ded" >"$d/short_preamble.ded"
head -c 240 "$i/rgb.png" | padTo 240 >"$d/png.ded"

# Text files for the Scan File listing: header lines of several styles, long and odd lines.
c=$out/fuzz_scan_lines
cat "$out/fuzz_text_pass/grid.txt" >"$c/grid_header.txt"
printf 'Image Width: 5\r\nImage Height: 2\r\n1 2 3 4 5\r\n6 7 8 9 10\r\n' >"$c/width_height.txt"
{ printf '%0200d\n' 7; printf 'rows and cols 99999999999\n1\n'; } >"$c/long_line.txt"
printf 'ncols -4\rnrows 3\r1 2\r3 4' >"$c/carriage_returns.txt"
printf 'no digits here\n\n\n' >"$c/no_numbers.txt"
