// ScratchFile: a file of this process's own, rewritten with every input, for harnesses whose
// code under test reads from a path. It lies in $TMPDIR (else /tmp) and goes when the process
// ends normally.
#ifndef RELIEVO_FUZZ_SCRATCH_FILE_H
#define RELIEVO_FUZZ_SCRATCH_FILE_H

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

namespace relievo::fuzz {

class ScratchFile {
 public:
  // The name ends in `suffix` (".tga": what some readers go by).
  explicit ScratchFile(std::string_view suffix) {
    const char* dir = std::getenv("TMPDIR");
    path_ = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/relievo-fuzz-XXXXXX";
    path_ += suffix;
    fd_ = mkstemps(path_.data(), static_cast<int>(suffix.size()));
    if (fd_ < 0) fail("cannot be created");
  }
  ~ScratchFile() {
    ::close(fd_);
    std::remove(path_.c_str());
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& path() const { return path_; }

  // Replaces the file's content; a failed write ends the process, since the input would not
  // be what the code under test reads. The file is overwritten and then cut to length rather
  // than emptied first: file systems flush a file that was emptied and written again when it
  // is closed, which would make each run wait for the disk.
  void write(std::span<const std::uint8_t> bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n =
          ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
      if (n <= 0) fail("cannot be written");
      done += static_cast<std::size_t>(n);
    }
    if (::ftruncate(fd_, static_cast<off_t>(bytes.size())) != 0) fail("cannot be cut to length");
  }

 private:
  [[noreturn]] void fail(const char* what) const {
    std::perror((path_ + ": " + what).c_str());
    std::abort();
  }

  std::string path_;
  int fd_ = -1;
};

}  // namespace relievo::fuzz

#endif  // RELIEVO_FUZZ_SCRATCH_FILE_H
