#include "file_output.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "errors.h"

namespace relievo::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kCopyChunk = 1 << 16;

[[noreturn]] void failWith(std::string_view name, std::string_view what, int error) {
  throw RunError(std::string(name) + ": " + std::string(what) + ": " + std::strerror(error));
}

// SIGPIPE ignored while it lives, so that a write to a closed pipe fails with EPIPE.
class PipeSignalIgnored {
 public:
  PipeSignalIgnored() {
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &before_);
  }
  ~PipeSignalIgnored() { ::sigaction(SIGPIPE, &before_, nullptr); }
  PipeSignalIgnored(const PipeSignalIgnored&) = delete;
  PipeSignalIgnored& operator=(const PipeSignalIgnored&) = delete;

 private:
  struct sigaction before_ = {};
};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

void copyFileTo(const std::string& path, std::FILE* out, std::string_view outName) {
  const std::unique_ptr<std::FILE, FileCloser> in(std::fopen(path.c_str(), "rb"));
  if (!in) failWith(path, "cannot be read", errno);
  const PipeSignalIgnored pipeSignal;
  const auto buffer = std::make_unique<char[]>(kCopyChunk);
  std::size_t n = 0;
  while ((n = std::fread(buffer.get(), 1, kCopyChunk, in.get())) > 0) {
    if (std::fwrite(buffer.get(), 1, n, out) != n) failWith(outName, "cannot be written", errno);
  }
  if (std::ferror(in.get()) != 0) failWith(path, "cannot be read", errno);
  if (std::fflush(out) != 0) failWith(outName, "cannot be written", errno);
}

TemporaryFolder::TemporaryFolder() {
  const char* base = std::getenv("TMPDIR");
  folder_ = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/relievo.XXXXXX";
  if (::mkdtemp(folder_.data()) == nullptr) {
    failWith(folder_.substr(0, folder_.rfind('/')), "no temporary folder can be made in it", errno);
  }
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

std::string TemporaryFolder::path(std::string_view name) const {
  return folder_ + "/" + std::string(name);
}

}  // namespace relievo::cli
