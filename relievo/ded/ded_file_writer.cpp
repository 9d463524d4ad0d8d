#include "ded/ded_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "ded/ded_writer.h"

namespace relievo {

namespace {

namespace fs = std::filesystem;

// Created as a new file would be, so that the process's umask applies.
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kPermissionBits = 07777;
// Names tried before giving up when leftovers of other runs hold them.
constexpr int kNameAttempts = 100;
// Room left for the temporary name's additions within a file name's limit of 255 bytes.
constexpr std::size_t kNameKept = 200;

// The error of the call that just failed; EIO when it set none.
int lastError() {
  return errno != 0 ? errno : EIO;
}

// The file the output names: a symbolic link's target, so that the link keeps linking.
std::string resolveTarget(const char* path) {
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(path, error))) {
    fs::path resolved = fs::canonical(path, error);
    if (!error) return resolved.string();
  }
  return path;
}

// Creates ".<name>.<pid>-<n>" beside target, open for reading and writing; the descriptor,
// or -1 with errno set.
int createTemporary(const std::string& target, std::string& temporary) {
  static std::atomic<unsigned> counter{0};
  const fs::path path(target);
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::string stem(1, '.');
  stem.append(path.filename().string(), 0, kNameKept).append(1, '.');
  stem.append(std::to_string(::getpid())).append(1, '-');
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    temporary = (folder / (stem + std::to_string(counter++))).string();
    const int fd = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Gives the finished file at `temporary` the name `target`; 0 or the error. An existing target
// trades names with it and is then removed: the swap is as atomic as a rename over it, and
// unlike that rename it does not make ext4 write the whole new file out before returning
// (its flush for replaced files, a tenth of a second for a large DED). Neither is durable
// against a power cut without a sync, which no output here asks for. Where names cannot be
// traded (no target, a file system without the swap), a plain rename does the work.
int moveIntoPlace(const std::string& temporary, const std::string& target) {
  if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) != 0) {
    return ::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : lastError();
  }
  if (::unlink(temporary.c_str()) == 0) return 0;
  // What held the name cannot be removed (a folder put there since open): it gets its name
  // back, as a failed rename would have left it.
  const int error = lastError();
  ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE);
  return error;
}

}  // namespace

DedFileWriter::~DedFileWriter() {
  discard();
}

void DedFileWriter::discard() {
  file_.reset();
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

int DedFileWriter::open(const char* path) {
  discard();
  target_ = resolveTarget(path);
  struct stat existing {};
  const bool exists = ::stat(target_.c_str(), &existing) == 0;
  if (exists) {
    if (S_ISDIR(existing.st_mode)) return EISDIR;
    if (!S_ISREG(existing.st_mode)) return ESPIPE;
    if (::access(target_.c_str(), W_OK) != 0) return lastError();
  }
  const int fd = createTemporary(target_, temporary_);
  if (fd < 0) {
    const int error = lastError();
    temporary_.clear();
    return error;
  }
  if (exists) ::fchmod(fd, existing.st_mode & kPermissionBits);
  // The file is written once, front to back, in record order.
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  file_.reset(::fdopen(fd, "w+b"));
  if (file_ == nullptr) {
    const int error = lastError();
    ::close(fd);
    discard();
    return error;
  }
  return 0;
}

int DedFileWriter::begin(const DedFrame& frame) {
  postsPerRecord_ = frame.postsPerRecord;
  std::FILE* f = file_.get();
  errno = 0;
  if (dedWriteHeader(f) == nullptr || dedWriteRange(f, frame.lowest, frame.highest) != 0 ||
      dedWriteExtents(f, frame.latSouthWest, frame.lonSouthWest, frame.latNorthEast,
                      frame.lonNorthEast, frame.latSpacing, frame.lonSpacing, frame.lonPosts,
                      frame.latPosts) != 0) {
    return lastError();
  }
  return 0;
}

int DedFileWriter::write(std::int32_t firstRecord, std::span<const std::int16_t> posts) {
  const auto bytes = static_cast<std::int64_t>(posts.size_bytes());
  errno = 0;
  if (dedWriteColumn(file_.get(), firstRecord, posts, postsPerRecord_) != bytes) {
    return lastError();
  }
  return 0;
}

int DedFileWriter::finish(bool complete) {
  if (!complete || file_ == nullptr) {
    discard();
    return 0;
  }
  errno = 0;
  int error = std::fflush(file_.get()) != 0 ? lastError() : 0;
  // The stream is gone whatever fclose answers; a failure there is a write that did not land.
  if (std::fclose(file_.release()) != 0 && error == 0) error = lastError();
  if (error == 0) error = moveIntoPlace(temporary_, target_);
  if (error == 0) temporary_.clear();
  discard();
  return error;
}

}  // namespace relievo
