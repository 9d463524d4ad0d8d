// The DED file as a PostWriter, written with the record functions of ded_writer.h (big-endian,
// one write per batch of records) into a temporary file in the output's folder. The file
// takes the output's name only when every record was written and the file closed without
// error, so a failed or abandoned output leaves nothing behind and an existing file of that
// name exactly as it was. A replaced file's permissions carry over to the new one; a symbolic
// link keeps linking, its target being replaced.
//
// open refuses, with the error opening the output for writing would give, a folder (EISDIR)
// and an existing file that cannot be written; anything else that is not a regular file gives
// ESPIPE, as the records are written at fixed offsets. Every other error is the system's.
#ifndef RELIEVO_DED_DED_FILE_WRITER_H
#define RELIEVO_DED_DED_FILE_WRITER_H

#include <string>

#include "ded/post_writer.h"
#include "raster/file.h"

namespace relievo {

class DedFileWriter final : public PostWriter {
 public:
  DedFileWriter() = default;
  // An output not finished is removed.
  ~DedFileWriter() override;
  DedFileWriter(const DedFileWriter&) = delete;
  DedFileWriter& operator=(const DedFileWriter&) = delete;

  int open(const char* path) override;
  int begin(const DedFrame& frame) override;
  int write(std::int32_t firstRecord, std::span<const std::int16_t> posts) override;
  int finish(bool complete) override;

 private:
  // Closes and removes the temporary file.
  void discard();

  FilePtr file_;
  std::string target_;     // the file the output replaces or creates
  std::string temporary_;  // "" when there is none
  std::int32_t postsPerRecord_ = 0;
};

}  // namespace relievo

#endif  // RELIEVO_DED_DED_FILE_WRITER_H
