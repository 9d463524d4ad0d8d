// The DED file as a PostWriter: the file at the path given to open, written with the record
// functions of ded_writer.h (big-endian, one write per batch of records).
//
// Creating the file is checked (the error is the system's); the records' writes are not, as
// the record functions report only missing streams and positions out of reach.
#ifndef RELIEVO_DED_DED_FILE_WRITER_H
#define RELIEVO_DED_DED_FILE_WRITER_H

#include "ded/post_writer.h"
#include "raster/file.h"

namespace relievo {

class DedFileWriter final : public PostWriter {
 public:
  int open(const char* path) override;
  int begin(const DedFrame& frame) override;
  int write(std::int32_t firstRecord, std::span<std::int16_t> posts) override;
  int finish(bool complete) override;

 private:
  FilePtr file_;
  std::int32_t postsPerRecord_ = 0;
};

}  // namespace relievo

#endif  // RELIEVO_DED_DED_FILE_WRITER_H
