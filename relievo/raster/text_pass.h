// The reading pass of a text grid on every core.
//
// The text is read in rounds. Each round is cut into chunks at sync points (token_reader.h),
// where a reading is sure to be looking for a token whatever came before, so that every chunk
// holds the tokens a single reading would find there. Workers parse the chunks into values of
// their own; the calling thread then takes the chunks in order, as a single reading would take
// the tokens: values up to the grid's total, the range, the progress after every row (which
// may stop the reading), the end at a token that is too long.
#ifndef RELIEVO_RASTER_TEXT_PASS_H
#define RELIEVO_RASTER_TEXT_PASS_H

#include <cstdint>

#include "raster/ascii_reader.h"

namespace relievo {

struct TextPass {
  int fd;              // the file, read with pread
  std::int64_t start;  // where the grid's text starts
  std::int64_t size;   // the file's size
  int total;           // values wanted
  int width;           // values a row: progress after each row
  float* values;       // receives the values; null: the pass only counts and finds the range
  bool skipNull;       // values equal to nullValue are no part of the range
  double nullValue;
  ProgressCallback progress;  // may be null
  void* context;
};

// Reads the pass; sets result's valuesRead, minValue and maxValue as asciiReadText describes.
// Reads nothing when the host refuses the room the workers need.
void readTextInRounds(const TextPass& pass, AsciiTextResult& result);

}  // namespace relievo

#endif  // RELIEVO_RASTER_TEXT_PASS_H
