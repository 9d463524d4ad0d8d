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
    const int fd = mkstemps(path_.data(), static_cast<int>(suffix.size()));
    if (fd < 0) fail("cannot be created");
    ::close(fd);
  }
  ~ScratchFile() { std::remove(path_.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& path() const { return path_; }

  // Replaces the file's content; a failed write ends the process, since the input would not
  // be what the code under test reads.
  void write(std::span<const std::uint8_t> bytes) const {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    if (f == nullptr) fail("cannot be opened");
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !written) fail("cannot be written");
  }

 private:
  [[noreturn]] void fail(const char* what) const {
    std::perror((path_ + ": " + what).c_str());
    std::abort();
  }

  std::string path_;
};

}  // namespace relievo::fuzz

#endif  // RELIEVO_FUZZ_SCRATCH_FILE_H
