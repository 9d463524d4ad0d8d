// Checks of file structure that stb_image 2.27 leaves out, run before stb sees a file.
#ifndef SXAPI_IMAGE_FORMAT_CHECKS_H
#define SXAPI_IMAGE_FORMAT_CHECKS_H

#include "image_file.h"

namespace sxhost::image {

// A PNG is a signature and chunks of a 4-byte length, a 4-byte type, the data and a 4-byte
// check, up to the IEND chunk. True when every chunk up to IEND ends inside the file: stb
// stops at IEND's type and never notices a file cut in the tail of the last chunks.
bool pngChunksComplete(const ImageFile& file);

// True when stb takes the file for a JPEG: 0xFF, any number of 0xFF fill bytes, then the
// start-of-image code 0xD8. Such a file goes to stb's JPEG decoder whatever else it holds.
bool stbSeesJpeg(const ImageFile& file);

// True unless a number of a PNM header (width, height, largest value) passes INT_MAX: stb
// reads them into an int without a bound. Blanks and comments are skipped as stb skips them.
bool pnmHeaderNumbersFit(const ImageFile& file);

// Which part of a JPEG stb is about to read: the segments up to the frame header (for the
// size and channels), or the whole file (for decoding, with the tables that progressive files
// define between scans).
enum class JpegPart { kHeader, kWholeFile };

// True unless a Huffman table in that part of a JPEG declares more than 256 codes, a table
// segment does not end where its length says, or a scan decodes with a table that no segment
// before it defined. stb sizes its tables for 256 codes and writes past them otherwise, and
// decodes with a table it never built, reading past its code limits.
bool jpegHuffmanTablesFit(const ImageFile& file, JpegPart part);

}  // namespace sxhost::image

#endif  // SXAPI_IMAGE_FORMAT_CHECKS_H
