#include "ded/ded_file_writer.h"

#include <cerrno>

#include "ded/ded_writer.h"

namespace relievo {

int DedFileWriter::open(const char* path) {
  errno = 0;
  file_.reset(std::fopen(path, "wb"));
  if (file_ != nullptr) return 0;
  return errno != 0 ? errno : EIO;
}

int DedFileWriter::begin(const DedFrame& frame) {
  postsPerRecord_ = frame.postsPerRecord;
  dedWriteHeader(file_.get());
  dedWriteRange(file_.get(), frame.lowest, frame.highest);
  dedWriteExtents(file_.get(), frame.latSouthWest, frame.lonSouthWest, frame.latNorthEast,
                  frame.lonNorthEast, frame.latSpacing, frame.lonSpacing, frame.lonPosts,
                  frame.latPosts);
  return 0;
}

int DedFileWriter::write(std::int32_t firstRecord, std::span<std::int16_t> posts) {
  dedWriteColumn(file_.get(), firstRecord, posts, postsPerRecord_);
  return 0;
}

int DedFileWriter::finish(bool) {
  file_.reset();
  return 0;
}

}  // namespace relievo
